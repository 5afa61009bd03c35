// The logic of the model file commands: the open dialog's preview kind and text, the
// name the model file commands propose and save to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/model_test_parts.h"
#include "ui/logic/model_file_name.h"
#include "ui/logic/open_preview.h"

namespace {

TEST(OpenPreview, TheEndingInAnyLetterCaseChoosesTheKindOfPreview)
{
    const std::pair<const wchar_t*, PreviewKind> cases[] = {
        {L"C:\\data\\a.spc", PreviewKind::spectrum}, {L"b.SPC", PreviewKind::spectrum},
        {L"c.Txt", PreviewKind::spectrum},          {L"d.dat", PreviewKind::spectrum},
        {L"e.dlt", PreviewKind::spectrum},          {L"f.mdl", PreviewKind::model},
        {L"G.MDL", PreviewKind::model},             {L"h.spcx", PreviewKind::none},
        {L"i.mdl.bak", PreviewKind::none},          {L"spc", PreviewKind::none},
        {L"", PreviewKind::none},                   {L"C:\\folder.mdl\\", PreviewKind::none},
    };
    for (const auto& [path, kind] : cases) EXPECT_EQ(preview_kind(path), kind) << path;
}

TEST(OpenPreview, ASpectrumShowsItsCommentAndCalibrationKeysInOrderWhenTheyHaveValues)
{
    KeywordList keys;
    kwlist_set(keys, L"ChannelPrice(mm/s)", L"0.039", 0);
    kwlist_set(keys, L"Spectrum", L"1 2 3", 0);
    kwlist_set(keys, L"LastChannel", L"512", 0);
    kwlist_set(keys, L"FirstChannel", L"1", 0);
    kwlist_set(keys, L"ZeroChannel", L"", 0);  // empty: no line
    kwlist_set(keys, L"Comment", L"α-Fe, 295 K", 0);
    EXPECT_EQ(spectrum_preview_text(keys),
              L"Comment: α-Fe, 295 K\nFirstChannel: 1\nLastChannel: 512\nChannelPrice(mm/s): 0.039");
    EXPECT_EQ(spectrum_preview_text(KeywordList()), L"");
}

TEST(OpenPreview, AModelShowsItsCommentAndItsComponentsNumberedFromOne)
{
    SpectrumModel model = model_test::model_of({model_test::baseline(), model_test::lorentz()});
    const std::wstring first = model.components[0]->subspec->display_name();
    const std::wstring second = model.components[1]->subspec->display_name();
    EXPECT_EQ(model_preview_text(model), L"1. " + first + L"\n2. " + second);
    kwlist_set(model.keywords, L"Comment", L"Two phases", 0);
    EXPECT_EQ(model_preview_text(model), L"Comment: Two phases\n1. " + first + L"\n2. " + second);
    EXPECT_EQ(model_preview_text(SpectrumModel()), L"");
}

TEST(OpenPreview, ThePreviewSpansTheControlsAboveIt)
{
    const ScreenRect preview{10, 300, 10, 450};
    const ScreenRect above[] = {{20, 10, 400, 200}, {5, 250, 300, 300}, {0, 310, 900, 330}};  // the last is beside it
    EXPECT_EQ(preview_span(preview, above), (std::pair{5, 400}));
    const ScreenRect beside[] = {{0, 310, 900, 330}};
    EXPECT_FALSE(preview_span(preview, beside));  // nothing above: the preview stays
    EXPECT_FALSE(preview_span(preview, {}));
}

TEST(ModelFileName, QuickSaveWritesOnlyToAFileTheModelCameFrom)
{
    ModelFileName name;
    EXPECT_FALSE(name.quick_save_target());  // a new model asks for a name
    name.set_file(L"C:\\m\\a.mdl");
    EXPECT_EQ(name.quick_save_target(), L"C:\\m\\a.mdl");
    // An example's title names no file: saving it asks, proposing the title.
    name.set_example(L"α-Fe calibration sextet");
    EXPECT_EQ(name.name(), L"α-Fe calibration sextet");
    EXPECT_FALSE(name.quick_save_target());
    EXPECT_EQ(name.proposed_name(L"C:\\s\\b.spc"), L"α-Fe calibration sextet");
    name.clear();
    EXPECT_FALSE(name.quick_save_target());
}

TEST(ModelFileName, ANewModelProposesTheStemOfTheSpectrumName)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\data\\b.spc", L"b"},     {L"/data/run.3.spc", L"run.3"}, {L"b", L"b"},
        {L"C:\\d.x\\noext", L"noext"}, {L"", L""},
    };
    const ModelFileName name;
    for (const auto& [spectrum, proposed] : cases) EXPECT_EQ(name.proposed_name(spectrum), proposed) << spectrum;
}

TEST(ModelFileName, TheParentFolderIsThePathCutAtItsLastSeparator)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:\\data\\m\\a.mdl", L"C:\\data\\m"}, {L"C:\\data\\\\a.mdl", L"C:\\data"}, {L"/home/u/a.mdl", L"/home/u"},
        {L"C:\\a.mdl", L"C:\\"},                 {L"a.mdl", L""},
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(parent_folder(path), folder) << path;
}

}  // namespace

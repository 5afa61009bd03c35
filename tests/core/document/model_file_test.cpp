// Model files: what the writer puts down reads back to the same model, the keys in file
// order, links forward and to expressions, locks, colours and ranges, and a file that
// does not read leaves the document as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "core/document/change_records.h"
#include "core/document/model_file.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "tests/support/model_file_test_parts.h"
#include "tests/support/scripted_user_interface.h"

namespace {

using document_test::add;
using document_test::Snapshot;
using document_test::TestModelFileParts;

std::wstring temp_file(const std::string& name)
{
    return utf8_to_wide((std::filesystem::temp_directory_path() / ("vx_document_" + name)).string());
}

// Everything a model file carries, compared exactly; components by display name.
void expect_same_model(const ModelState& a, const ModelState& b)
{
    Snapshot sa(a), sb(b);
    ASSERT_EQ(sa.values.size(), sb.values.size());
    for (std::size_t i = 0; i < sa.values.size(); ++i)
        EXPECT_TRUE(document_test::same_bits(sa.values[i], sb.values[i])) << i << ": " << sa.values[i] << " " << sb.values[i];
    EXPECT_TRUE(document_test::same_doubles(sa.lower, sb.lower));
    EXPECT_TRUE(document_test::same_doubles(sa.upper, sb.upper));
    EXPECT_EQ(sa.flags, sb.flags);
    EXPECT_EQ(sa.expressions, sb.expressions);
    EXPECT_EQ(sa.xranges, sb.xranges);
    EXPECT_EQ(a.model.is_emission(), b.model.is_emission());
    ASSERT_EQ(sa.components.size(), sb.components.size());
    for (std::size_t k = 0; k < sa.components.size(); ++k) {
        EXPECT_EQ(a.model.components[k]->subspec->display_name(), b.model.components[k]->subspec->display_name());
        EXPECT_EQ(sa.components[k].links, sb.components[k].links) << k;
        EXPECT_EQ(sa.components[k].color, sb.components[k].color) << k;
        EXPECT_EQ(sa.components[k].points, sb.components[k].points) << k;
    }
}

TEST(ModelFile, WhatIsSavedLoadsBackTheSame)
{
    const TestModelFileParts parts;
    ModelState d;
    add(d, model_test::baseline());
    add(d, model_test::lorentz());
    add(d, document_test::distribution(5));
    add(d, model_test::lorentz());
    d.set_param(4, 0.1 + 0.2);  // not short in decimal
    d.add_expression(0, L"W", L"[1:δ]*2");
    d.add_link({3, 2, LinkToParam, 1, 2, 1.0 / 3.0});  // to a later component
    d.add_link({0, 0, LinkToExpr, 3, 2, 0.7});
    d.model_history.push(std::make_shared<ModelState::ChangeRecordBounds>(d, 3, 1e-7, 1e-7, -1.0 / 7.0, 2.0 / 3.0));
    d.set_flags(5, 6, ParamFree, 0);
    d.set_flags(d.model.components[2]->first, d.model.components[2]->first + 1, ParamLocked, ParamLocked);
    d.add_xrange({-1.0 / 3.0, 0.123456789012345678});
    d.add_xrange({4.0, 5.0});
    d.set_direction(true);
    d.accept_fit_values(d.values);  // linked values all up to date, as loading makes them
    ASSERT_TRUE(d.model_history.is_modified());

    const std::wstring path = temp_file("roundtrip.mdl");
    d.save_model_file(path, parts);
    EXPECT_FALSE(d.model_history.is_modified());
    ModelState e;
    e.load_model_file(nullptr, path, parts);
    // A lock covers its whole component.
    const SubModel& dist = *d.model.components[2];
    for (unsigned j = 0; j < dist.count; ++j)
        d.flags[dist.first + j] |= ParamLocked;
    expect_same_model(d, e);
    EXPECT_FALSE(e.model_history.is_modified());
    EXPECT_EQ(e.covariance.size1(), e.model.param_count());
    std::filesystem::remove(std::filesystem::path(path));
}

TEST(ModelFile, ExpressionNamesWithAnEqualsSignOrTheEscapeMarkReadBack)
{
    const TestModelFileParts parts;
    ModelState d;
    add(d, model_test::lorentz());
    d.add_expression(0, L"ratio I=2", L"[0:I]/2");
    d.add_expression(1, L"$$x", L"<ratio I=2>*3");
    d.add_expression(2, L"", L"1");
    d.add_expression(3, L"plain name", L"[0:Γ]=1");
    d.add_link({1, 0, LinkToExpr, 0, 1, 2.0});  // δ follows "ratio I=2"
    const std::wstring path = temp_file("expression_names.mdl");
    d.save_model_file(path, parts);
    // A name that needs nothing is written as it is.
    EXPECT_NE(read_text_file(path).find(L"plain name=[0:Γ]=1"), std::wstring::npos);
    ModelState back;
    back.load_model_file(nullptr, path, parts);
    std::filesystem::remove(std::filesystem::path(path));
    expect_same_model(d, back);
}

TEST(ModelFile, LinksThatWouldNotReadAreWrittenAsNotLinked)
{
    // A parameter linked to B, which used A; A deleted: B no longer compiles, and a
    // file with the link to it would not open again.
    const TestModelFileParts parts;
    ModelState d;
    add(d, model_test::lorentz());
    d.add_expression(0, L"A", L"[0:I]*2");
    d.add_expression(1, L"B", L"<A>+1");
    d.add_link({1, 0, LinkToExpr, 0, 2, 1.0});
    d.model_history.push(std::make_shared<ModelState::ChangeRecordDelExpr>(d, 0));
    ASSERT_EQ(d.model.components[0]->links[2].kind, LinkToExpr);
    const std::wstring path = temp_file("unreadable_link.mdl");
    d.save_model_file(path, parts);
    ModelState e;
    e.load_model_file(nullptr, path, parts);
    EXPECT_EQ(e.model.components[0]->links[2].kind, NotLinked);
    EXPECT_EQ(e.values(2), d.values(2));
    EXPECT_EQ(d.model.components[0]->links[2].kind, LinkToExpr);  // the document keeps it
    std::filesystem::remove(std::filesystem::path(path));
}

TEST(ModelFile, RangesAreWrittenVisibleAndReadHidden)
{
    const TestModelFileParts parts;
    SpectrumModel model;
    model.xranges = {{1, 2}, {3, 4}};
    write_model_keywords(model, DVector(), {}, DVector(), DVector(), parts);
    std::wstring value;
    ASSERT_TRUE(kwlist_find(model.keywords, L"XRange = 01", value));
    EXPECT_EQ(value, L"1 2");
    ASSERT_TRUE(kwlist_find(model.keywords, L"XRange = 02", value));
    for (const auto& [key, data] : model.keywords)
        if (key.rfind(L"XRange", 0) == 0)
            EXPECT_EQ(data.flags, 0);
    KeywordList list = model.keywords;
    list.emplace_back(L"Title", KWData{L"kept"});
    const LoadedModel loaded = read_model_keywords(list, SpectrumModel(), parts, L"m.mdl");
    EXPECT_EQ(loaded.model.xranges, model.xranges);
    for (const auto& [key, data] : list)
        EXPECT_EQ(data.flags, key == L"Title" ? 0 : KWHidden) << wide_to_utf8(key);
}

TEST(ModelFile, KeysInFileOrderWithColoursLocksAndForwardLinks)
{
    const TestModelFileParts parts;
    ModelState d;
    d.load_model_text(nullptr,
                      L"Component = 03-Lorentz singlet:I=1L2*3.0 δ=0.5 Γ=0.25\n"
                      L"Component = 01-Baseline:N₀=1000 c=0 v₀=0\n"
                      L"Component = 02-Lorentz singlet (57Fe):I=4 δ=-1 Γ=0.5\n"
                      L"Color = 02:00ff00\n"
                      L"GLock = 01:1 \n"
                      L"GLock = 02:2\n",
                      parts);
    ASSERT_EQ(d.model.component_count(), 3u);
    EXPECT_EQ(d.model.components[0]->subspec->display_name(), L"Lorentz singlet");
    EXPECT_EQ(d.model.components[1]->subspec->display_name(), L"Baseline");
    EXPECT_EQ(d.model.components[1]->color, 0x00ff00u);
    for (unsigned j = 0; j < 3; ++j) {
        EXPECT_TRUE(d.flags[j] & ParamLocked);
        EXPECT_FALSE(d.flags[3 + j] & ParamLocked);
    }
    // Component 1's I follows parameter 0 of the third component read, times 2.
    EXPECT_EQ(d.model.components[0]->links[0], (ParamLink{2, 0, LinkToParam, 2.0}));
    EXPECT_EQ(d.values(0), 8.0);
    EXPECT_LT(d.model.scale, 0.0);  // no "Direction"
}

TEST(ModelFile, AFileThatDoesNotReadChangesNothing)
{
    const TestModelFileParts parts;
    ModelState d;
    add(d, model_test::lorentz());
    d.add_xrange({0, 1});
    d.model.keywords.emplace_back(L"Title", KWData{L"before"});
    const Snapshot before(d);
    const KeywordList keys = d.model.keywords;
    const std::size_t model_records = d.model_history.records().size();

    struct Case {
        const wchar_t* text;
        const char* error;
    };
    const Case cases[] = {
        {L"Expression = 01:A=1\nComponent = 01-Lorentz singlet:I=1L1*2 δ=0 Γ=1\n", "Invalid reference"},
        {L"Component = 01-Lorentz singlet:I=1L1*5.0\n", "Invalid reference"},
        {L"Component = 01-Lorentz singlet:I=1L1*0.0\n", "Invalid reference"},
        {L"Component = 01-No such model:I=1\n", "Model not found (No such model)"},
        {L"Component = 01-Lorentz singlet (99Xx):I=1\n", "Isotope not found (99Xx)"},
        {L"Component = 01-Lorentz singlet:Q=1\n", "mismatch"},
        {L"Component = 01-[D] Lorentz singlet:\n", "Invalid distribution"},
    };
    for (const Case& c : cases) {
        try {
            d.load_model_text(nullptr, c.text, parts);
            ADD_FAILURE() << c.error;
        } catch (const std::runtime_error& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(c.error), std::string::npos) << what;
            EXPECT_NE(what.find("Component = 01-"), std::string::npos) << what;  // the entry
        }
        EXPECT_EQ(Snapshot(d).difference(before), "");
        EXPECT_EQ(d.model.keywords, keys);
        EXPECT_EQ(d.model_history.records().size(), model_records);
    }
    // A file names itself in the error.
    const std::wstring path = temp_file("bad.mdl");
    write_text_file(path, L"Component = 01-Nothing:\r\n");
    try {
        d.load_model_file(nullptr, path, parts);
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(wide_to_utf8(path)), std::string::npos) << e.what();
    }
    std::filesystem::remove(std::filesystem::path(path));
}

TEST(ModelFile, LoadingEmptiesTheModelHistoryAndDropsRangeRecords)
{
    const TestModelFileParts parts;
    ModelState d;
    add(d, model_test::lorentz());
    d.add_xrange({0, 1});
    d.load_model_text(nullptr, L"Component = 01-Baseline:N₀=5\nXRange = 01:2 3\n", parts);
    EXPECT_FALSE(d.model_history.can_undo());
    EXPECT_FALSE(d.spectrum_history.can_undo());
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{2, 3}}));
    EXPECT_TRUE(document_test::vectors_fit_model(d));
}

int flags_of(const KeywordList& list, const std::wstring& prefix)
{
    for (const auto& [key, data] : list)
        if (key.starts_with(prefix)) return data.flags;
    return -1;
}

TEST(ModelProperties, AConfirmedEditIsOneStepThatUndoesExactly)
{
    const TestModelFileParts parts;
    ModelState d;
    add(d, model_test::lorentz());
    d.add_xrange({0, 1});
    d.add_expression(0, L"W", L"[0:δ]*2");
    ASSERT_TRUE(d.model.expressions.at(0).expr);
    d.model.keywords.emplace_back(L"Title", KWData{L"before"});
    const Snapshot before(d);
    const KeywordList keys = d.model.keywords;
    const std::size_t records = d.model_history.records().size();

    // The keyword-list editor of the model's properties, played by the test.
    test_support::ScriptedUserInterface editor([](KeywordList& list) {
        // The model's own entries are hidden; the ranges are shown but cannot change here.
        EXPECT_EQ(flags_of(list, L"Component = "), KWHidden);
        EXPECT_EQ(flags_of(list, L"XRange = "), KWReadOnly);
        kwlist_set(list, L"Title", L"after");
        // What the component line says is what the model becomes.
        for (auto& [key, data] : list)
            if (key.starts_with(L"Component = ")) data.value = L"I=2 δ=0.25 Γ=1";
        return 1;
    });
    ASSERT_TRUE(d.edit_model_properties(parts));
    EXPECT_TRUE(editor.boxes.empty());
    EXPECT_EQ(d.model_history.records().size(), records + 1);
    std::wstring title;
    kwlist_find(d.model.keywords, L"Title", title);
    EXPECT_EQ(title, L"after");
    EXPECT_EQ(d.values(1), 0.25);
    EXPECT_EQ(d.model.xranges, (std::vector<XRange>{{0, 1}}));
    EXPECT_TRUE(document_test::vectors_fit_model(d));
    ASSERT_TRUE(d.model.expressions.at(0).expr);  // compiled again

    d.model_history.undo(d);
    EXPECT_EQ(Snapshot(d).difference(before), "");
    EXPECT_EQ(d.model.keywords, keys);
}

TEST(ModelProperties, CancelOrAnEditThatDoesNotReadChangesNothing)
{
    const TestModelFileParts parts;
    ModelState d;
    add(d, model_test::lorentz());
    const Snapshot before(d);
    const KeywordList keys = d.model.keywords;
    const std::size_t records = d.model_history.records().size();
    struct Case {
        const char* name;
        std::function<int(KeywordList&)> edit;
        bool error_shown;
    };
    const Case cases[] = {
        {"cancel", [](KeywordList& list) { kwlist_set(list, L"Title", L"x"); return 2; }, false},
        {"unknown model",
         [](KeywordList& list) {
             for (auto& entry : list)
                 if (entry.first.starts_with(L"Component = ")) entry.first = L"Component = 01-No such model";
             return 1;
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_support::ScriptedUserInterface editor(c.edit);
        EXPECT_FALSE(d.edit_model_properties(parts));
        ASSERT_EQ(editor.boxes.size(), c.error_shown ? 1u : 0u);
        if (c.error_shown) {
            const std::wstring shown = editor.boxes[0].caption + L": " + editor.boxes[0].text;
            EXPECT_EQ(shown.rfind(L"Error: Model not found", 0), 0u) << wide_to_utf8(shown);
        }
        EXPECT_EQ(Snapshot(d).difference(before), "");
        EXPECT_EQ(d.model.keywords, keys);
        EXPECT_EQ(d.model_history.records().size(), records);
    }
}

}  // namespace

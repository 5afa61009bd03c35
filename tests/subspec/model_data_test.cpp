// Model data of the types with numeric settings: defaults, loading with missing keys
// and clamping, the stored one-line text, the property editor, and that failures
// leave the data as it was.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>

#include "core/text/kwfile.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "subspec/model_data.h"
#include "subspec/subspec_impl.h"
#include "tests/support/scripted_user_interface.h"
#include "test_models.h"

namespace {

// The property editor is played by `editor`; it is always opened with option 0 and no
// title.
class ModelDataTest : public testing::Test {
protected:
    void TearDown() override
    {
        for (const test_support::ScriptedUserInterface::Edit& edit : editor.edits) {
            EXPECT_EQ(edit.option, 0);
            EXPECT_TRUE(edit.title.empty());
        }
    }

    test_support::ScriptedUserInterface editor;
};

std::wstring value_of(const KeywordList& list, const wchar_t* key)
{
    std::wstring value;
    EXPECT_TRUE(kwlist_find(list, key, value)) << wide_to_utf8(key);
    return value;
}

TEST_F(ModelDataTest, NewDataHoldsTheDefaultsBeforeAnyDataArrives)
{
    const AnharmonicData anisotropic(AnharmonicData::Variant::anisotropic);
    EXPECT_TRUE(anisotropic.model_data().empty());
    EXPECT_EQ(anisotropic.points(), 250);
    EXPECT_EQ(anisotropic.dpoints(), 500);
    EXPECT_EQ(anisotropic.hpoints(), 50000);
    EXPECT_EQ(LevelsData().levels(), 101);
    EXPECT_EQ(PointsData().description(), L"250");
}

TEST_F(ModelDataTest, SetDefaultsWritesEveryKeyInOrder)
{
    AnharmonicData anisotropic(AnharmonicData::Variant::anisotropic);
    EXPECT_TRUE(anisotropic.set_defaults(L"ignored"));
    EXPECT_EQ(anisotropic.save_extra(), L"0|Points|250|0|DPoints|500|0|HPoints|50000");
    EXPECT_EQ(anisotropic.description(), L"250");

    AnharmonicData isotropic(AnharmonicData::Variant::isotropic);
    isotropic.set_defaults(L"");
    EXPECT_EQ(isotropic.save_extra(), L"0|Points|250|0|DPoints|200|0|HPoints|50000");

    AnharmonicHamiltonData hamilton;
    hamilton.set_defaults(L"");
    EXPECT_EQ(hamilton.save_extra(), L"0|Points|250|0|HPoints|50000");

    LevelsData levels;
    levels.set_defaults(L"");
    EXPECT_EQ(levels.save_extra(), L"0|Levels$0020$00282S$002b1$0029|101");
    EXPECT_EQ(levels.description(), L"101");
}

TEST_F(ModelDataTest, LoadFillsMissingKeysWithTheirLoadValues)
{
    AnharmonicData anisotropic(AnharmonicData::Variant::anisotropic);
    EXPECT_TRUE(anisotropic.load_extra(L""));
    EXPECT_EQ(anisotropic.points(), 100);
    EXPECT_EQ(anisotropic.dpoints(), 200);
    EXPECT_EQ(anisotropic.hpoints(), 50000);
    EXPECT_EQ(anisotropic.save_extra(), L"0|Points|100|0|DPoints|200|0|HPoints|50000");

    // The level count has one default: the new component's 101.
    LevelsData levels;
    levels.load_extra(L"0|Other|1");
    EXPECT_EQ(levels.levels(), 101);
    EXPECT_EQ(levels.save_extra(), L"0|Other|1|0|Levels$0020$00282S$002b1$0029|101");
}

TEST_F(ModelDataTest, LoadClampsTheWorkingValueButKeepsTheText)
{
    struct Case {
        const wchar_t* text;
        int points;     // one-key set, 10 .. 10000
        int anharmonic; // three-key set, 2 .. 10000
    };
    for (const Case& c : {Case{L"0|Points|5", 10, 5}, Case{L"0|Points|1", 10, 2}, Case{L"0|Points|20000", 10000, 10000},
                          Case{L"0|Points|12abc", 12, 12}, Case{L"0|Points|99999999999", 10000, 10000}}) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        PointsData points;
        points.load_extra(c.text);
        EXPECT_EQ(points.points(), c.points);
        EXPECT_EQ(points.description(), std::to_wstring(c.points));
        EXPECT_EQ(points.save_extra(), c.text);

        AnharmonicData anharmonic(AnharmonicData::Variant::isotropic);
        anharmonic.load_extra(c.text);
        EXPECT_EQ(anharmonic.points(), c.anharmonic);
    }

    AnharmonicHamiltonData hamilton;
    hamilton.load_extra(L"0|Points|20000|0|HPoints|3");
    EXPECT_EQ(hamilton.points(), 10000);
    EXPECT_EQ(hamilton.hpoints(), 10);

    for (const auto& [text, count] : {std::pair{L"0", 2}, std::pair{L"1", 2}, std::pair{L"20000", 10000},
                                      std::pair{L"3x", 3}, std::pair{L"-7", 2}}) {
        LevelsData levels;
        levels.load_extra(std::wstring(L"0|Levels$0020$00282S$002b1$0029|") + text);
        EXPECT_EQ(levels.levels(), count) << wide_to_utf8(text);
        EXPECT_EQ(levels.description(), std::to_wstring(count));
    }
}

TEST_F(ModelDataTest, FirstEntryCountsAndForeignEntriesStay)
{
    PointsData twice;
    twice.load_extra(L"0|Points|300|0|Points|40");
    EXPECT_EQ(twice.points(), 300);

    PointsData foreign;
    foreign.load_extra(L"0|Other|x|0|Points|300");
    EXPECT_EQ(foreign.points(), 300);
    EXPECT_EQ(foreign.save_extra(), L"0|Other|x|0|Points|300");
}

TEST_F(ModelDataTest, UnreadableValueFailsTheLoadAndChangesNothing)
{
    PointsData points;
    try {
        points.load_extra(L"0|Other|1|0|Points|abc");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Invalid integer format for <Points>: abc");
    }
    EXPECT_EQ(points.points(), 250);
    EXPECT_EQ(points.save_extra(), L"");
}

TEST_F(ModelDataTest, EditorOkTakesTheClampedValues)
{
    AnharmonicData anharmonic(AnharmonicData::Variant::isotropic);
    anharmonic.set_defaults(L"");
    editor.edit = [](KeywordList& list) {
        kwlist_set(list, L"Points", L"0");
        kwlist_set(list, L"HPoints", L"777");
        return 1;
    };
    EXPECT_TRUE(anharmonic.edit_properties());
    EXPECT_EQ(anharmonic.points(), 2);
    EXPECT_EQ(anharmonic.hpoints(), 777);
    EXPECT_EQ(value_of(anharmonic.model_data(), L"Points"), L"0");

    PointsData points;
    points.set_defaults(L"");
    editor.edit = [](KeywordList& list) {
        kwlist_set(list, L"Points", L"99999");
        return 1;
    };
    EXPECT_TRUE(points.edit_properties());
    EXPECT_EQ(points.description(), L"10000");
}

// The Hamiltonian anharmonic model's editor takes its two keys like the others; no
// further entry is needed.
TEST_F(ModelDataTest, HamiltonEditorNeedsOnlyItsKeys)
{
    AnharmonicHamiltonData hamilton;
    hamilton.set_defaults(L"");
    editor.edit = [](KeywordList& list) {
        kwlist_set(list, L"HPoints", L"1234");
        return 1;
    };
    EXPECT_TRUE(hamilton.edit_properties());
    EXPECT_EQ(hamilton.hpoints(), 1234);
}

TEST_F(ModelDataTest, EditorCancelOrFailureChangesNothing)
{
    AnharmonicData anharmonic(AnharmonicData::Variant::isotropic);
    anharmonic.set_defaults(L"");
    const std::wstring before = anharmonic.save_extra();
    const auto unchanged = [&] {
        EXPECT_EQ(anharmonic.save_extra(), before);
        EXPECT_EQ(anharmonic.points(), 250);
        EXPECT_EQ(anharmonic.dpoints(), 200);
        EXPECT_EQ(anharmonic.hpoints(), 50000);
    };

    editor.edit = [](KeywordList& list) {
        kwlist_set(list, L"Points", L"77");
        return 2;  // cancelled
    };
    EXPECT_FALSE(anharmonic.edit_properties());
    unchanged();

    // A key removed in the editor: nothing is taken, not even the keys before it.
    editor.edit = [](KeywordList& list) {
        kwlist_set(list, L"Points", L"77");
        kwlist_remove(list, L"HPoints");
        return 1;
    };
    EXPECT_FALSE(anharmonic.edit_properties());
    unchanged();

    // A value without digits: the integer-format error, and the list keeps no text that
    // a later load of the saved model would fail on.
    editor.edit = [](KeywordList& list) {
        kwlist_set(list, L"Points", L"77");
        kwlist_set(list, L"DPoints", L"many");
        return 1;
    };
    EXPECT_THROW(anharmonic.edit_properties(), std::runtime_error);
    unchanged();
    EXPECT_EQ(editor.edits.size(), 3u);
}

// A component's clone is a new object with no model data and the default working
// values, which its formula can evaluate with.
TEST_F(ModelDataTest, CloneHasEmptyDataAndDefaultWorkingValues)
{
    const SubSpecPtr s = make_subspec<test_models::TestSampledLine>(nullptr);
    auto& data = dynamic_cast<ISubSpecData&>(*s);
    data.load_extra(L"0|Points|11");
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*s).description(), L"11");

    const SubSpecPtr copy = s->clone();
    EXPECT_EQ(dynamic_cast<const ISubSpecData&>(*copy).save_extra(), L"");
    EXPECT_EQ(dynamic_cast<const ISubSpecDesc&>(*copy).description(), L"250");
    EXPECT_EQ(dynamic_cast<const ISubSpecData&>(*s).save_extra(), L"0|Points|11");
}

}  // namespace

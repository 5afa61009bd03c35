// The document's spectrum edits: each is one record on the spectrum history that one
// undo takes back exactly (keyword list, points and the model's levels, bit for bit);
// the model's baseline level follows the counts as a record of its own; edits that
// change nothing record nothing, and an edit that fails leaves the document as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/document/change_records.h"
#include "core/model/expr.h"
#include "core/spectrum/poisson.h"
#include "core/text/messages.h"
#include "tests/support/document_test_parts.h"
#include "tests/support/lorentz_lines.h"
#include "tests/support/spectrum_texts.h"
#include "tests/subspec/test_models.h"

namespace {

using document_test::add;
using document_test::same_bits;
using document_test::same_doubles;
using Values = std::vector<double>;

using test_support::counts_text;
using test_support::deviations_key;

std::wstring comment_of(const ModelState& d)
{
    std::wstring comment;
    kwlist_find(d.data.keywords, L"Comment", comment);
    return comment;
}

// A baseline and a Lorentz line whose baseline level matches the spectrum.
void load(ModelState& d, const std::wstring& text, SubSpecPtr baseline = model_test::baseline())
{
    d.data.load_text(text);
    d.set_levels_from_spectrum();
    add(d, std::move(baseline));
    add(d, model_test::lorentz());
    d.adapt_to_spectrum();
}

// Everything a spectrum record restores.
struct SpectrumState {
    std::wstring keywords;
    Values x, y, deviations;
    double scale, level;

    explicit SpectrumState(ModelState& d)
        : x(d.data.x_data), y(d.data.y_data), deviations(d.data.std_dev_data), scale(d.model.scale),
          level(d.model.level)
    {
        d.data.store_keywords();
        keywords = kwlist_to_string(d.data.keywords);
    }

    bool operator==(const SpectrumState& o) const
    {
        return keywords == o.keywords && same_doubles(x, o.x) && same_doubles(y, o.y) &&
               same_doubles(deviations, o.deviations) && same_bits(scale, o.scale) && same_bits(level, o.level);
    }
};

TEST(SpectrumChanges, EachEditIsOneSpectrumStepThatUndoesExactly)
{
    const ExprPtr twice = Expr::create(L"$k*$I", SpectrumModel(), {L"k", L"v", L"I"});
    ASSERT_TRUE(twice);
    struct Edit {
        const char* name;
        std::wstring text;
        std::function<void(ModelState&)> apply;
        bool level_follows;  // a record on the model history for the new baseline level
    };
    const Edit edits[] = {
        {"clear", counts_text(), [](ModelState& d) { d.clear_spectrum(); }, false},
        {"filter", counts_text(L"Comment:raw\n"), [](ModelState& d) { d.filter_spectrum(0.4); }, true},
        {"filter with deviations", counts_text(deviations_key()), [](ModelState& d) { d.filter_spectrum(0.4); },
         true},
        {"invert", counts_text(), [](ModelState& d) { EXPECT_TRUE(d.invert_spectrum()); }, true},
        {"transform", counts_text(deviations_key()),
         [&](ModelState& d) { d.transform_spectrum({L"Twice", twice, {2.0}}); }, false},
        {"decimate", counts_text(deviations_key()), [](ModelState& d) { EXPECT_TRUE(d.decimate_spectrum()); },
         true},
        {"difference", counts_text(), [](ModelState& d) { d.use_difference_as_data(); }, false},
        {"simulate", counts_text(), [](ModelState& d) { d.simulate_spectrum(128, -4.0, 4.0, false); }, true},
        {"point", counts_text(), [](ModelState& d) { EXPECT_TRUE(d.set_spectrum_count(10, 5.0e5)); }, true},
        {"add", counts_text(),
         [](ModelState& d) {
             SpectrumData other;
             other.load_text(counts_text(deviations_key()));
             d.add_spectrum(other, L"second.spc");
             EXPECT_EQ(comment_of(d), L"Add(second.spc)");
         },
         true},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        ModelState d;
        load(d, e.text);
        const SpectrumState before(d);
        const document_test::Snapshot model_before(d);
        const std::size_t spectrum_records = d.spectrum_history.records().size();
        const std::size_t model_records = d.model_history.records().size();

        e.apply(d);
        EXPECT_EQ(d.spectrum_history.records().size(), spectrum_records + 1);
        // The level parameter follows the counts when they moved it, as a step of its own.
        const bool level_moved = e.level_follows && model_before.values[0] != d.data.analysis(false).N0;
        EXPECT_EQ(d.model_history.records().size(), model_records + (level_moved ? 1 : 0));
        if (e.level_follows) {
            EXPECT_EQ(d.values(0), d.data.analysis(false).N0);
        }
        const SpectrumState after(d);
        EXPECT_FALSE(after == before);

        d.spectrum_history.undo(d);
        EXPECT_TRUE(SpectrumState(d) == before);
        // Redo reads the list kept after the edit: the same list, the points as stored.
        d.spectrum_history.redo(d);
        EXPECT_EQ(SpectrumState(d).keywords, after.keywords);
        if (level_moved)
            d.model_history.undo(d);
        d.spectrum_history.undo(d);
        const document_test::Snapshot restored(d);
        EXPECT_TRUE(restored == model_before) << restored.difference(model_before);
    }
}

TEST(SpectrumChanges, FilterTable)
{
    // Price 0.05 mm/s: 0.1 mm/s is a half width of 1 channel, 0.2 of 2 (a 5-point kernel).
    struct Case {
        double width;
        bool changes;
        const wchar_t* comment;
    };
    const Case cases[] = {
        {0.1, false, L"raw"},
        {0.2, true, L"raw, Filter (0.20)"},
        {-0.2, true, L"raw, Filter (-0.20)"},
        {101.0, false, L"raw"},  // beyond 1000 channels either side
    };
    ModelState reference;
    load(reference, counts_text(L"Comment:raw\n"));
    reference.filter_spectrum(0.2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        ModelState d;
        load(d, counts_text(L"Comment:raw\n"));
        const SpectrumState before(d);
        d.filter_spectrum(c.width);
        EXPECT_EQ(d.spectrum_history.can_undo(), c.changes);
        EXPECT_EQ(comment_of(d), c.comment);
        if (c.changes)
            EXPECT_TRUE(same_doubles(d.data.y_data, reference.data.y_data));  // the sign only names it
        else
            EXPECT_TRUE(SpectrumState(d) == before);
    }

    // No price is taken as 1 mm/s per channel.
    ModelState unpriced;
    load(unpriced, L"VelocitySpectrum:-2 100 -1 90 0 80 1 90 2 100 3 100 4 100 5 100 6 100 7 100\n");
    unpriced.filter_spectrum(4.0);
    EXPECT_TRUE(unpriced.spectrum_history.can_undo());

    // Channels from high to low velocities smooth as wide as the other way round: the
    // same counts, mirrored on the axis; a price of 0 smooths nothing.
    const std::wstring counts = L"Spectrum:100 90 70 60 75 95 100 98 101 99 100 97 102 100\n";
    ModelState positive, negative, zero;
    load(positive, L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):0.05\n" + counts);
    load(negative, L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):-0.05\n" + counts);
    load(zero, L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):0\n" + counts);
    for (ModelState* d : {&positive, &negative, &zero})
        d->filter_spectrum(0.4);
    EXPECT_TRUE(positive.spectrum_history.can_undo());
    EXPECT_TRUE(negative.spectrum_history.can_undo());
    EXPECT_TRUE(same_doubles(negative.data.y_data, Values(positive.data.y_data.rbegin(), positive.data.y_data.rend())));
    EXPECT_FALSE(zero.spectrum_history.can_undo());
}

TEST(SpectrumChanges, InvertingTwiceRestoresTheCountsWithTwoEntries)
{
    ModelState d;
    load(d, counts_text());
    const Values counts = d.data.y_data;
    ASSERT_TRUE(d.invert_spectrum());
    EXPECT_EQ(d.data.y_data.front(), counts.back());
    ASSERT_TRUE(d.invert_spectrum());
    EXPECT_EQ(d.data.y_data, counts);
    EXPECT_EQ(comment_of(d), L"inverse, inverse");
    EXPECT_EQ(d.spectrum_history.records().size(), 2u);

    ModelState empty;
    EXPECT_FALSE(empty.invert_spectrum());
    EXPECT_FALSE(empty.spectrum_history.can_undo());
}

TEST(SpectrumChanges, TransformsTable)
{
    const SpectrumModel names;
    struct Case {
        const char* name;
        std::wstring text;
        std::vector<std::wstring> variables;
        Values values;
        std::function<double(double x, double y)> count;
        bool deviations_doubled;
    };
    const Case cases[] = {
        {"twice I", L"$k*$I", {L"k", L"v", L"I"}, {2.0}, [](double, double y) { return 2 * y; }, true},
        {"I plus v", L"$I+$v", {L"v", L"I"}, {}, [](double x, double y) { return y + x; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelState d;
        load(d, counts_text(deviations_key()));
        const Values x = d.data.x_data, y = d.data.y_data, sigma = d.data.std_dev_data;
        const std::size_t model_records = d.model_history.records().size();
        d.transform_spectrum({L"T", Expr::create(c.text, names, c.variables), c.values});
        for (std::size_t i = 0; i < x.size(); ++i) {
            EXPECT_DOUBLE_EQ(d.data.y_data[i], c.count(x[i], y[i]));
            EXPECT_DOUBLE_EQ(d.data.std_dev_data[i], c.deviations_doubled ? 2 * sigma[i] : sigma[i]);
        }
        EXPECT_EQ(comment_of(d), L"Transform(T)");
        EXPECT_EQ(d.model_history.records().size(), model_records);  // the values stay
    }

    // An expression that did not compile changes nothing.
    ModelState d;
    load(d, counts_text());
    EXPECT_THROW(d.transform_spectrum({L"T", nullptr, {}}), std::runtime_error);
    EXPECT_FALSE(d.spectrum_history.can_undo());
}

TEST(SpectrumChanges, DeletingPointsInTheExcludedRanges)
{
    ModelState d;
    load(d, counts_text());
    const std::size_t model_records = d.model_history.records().size();
    d.delete_points_in_xranges();  // no ranges: nothing recorded
    EXPECT_FALSE(d.spectrum_history.can_undo());
    EXPECT_EQ(d.model_history.records().size(), model_records);

    // Ranges over the line: the analysis is taken again, so no found line points past
    // the end of the shorter spectrum.
    const std::vector<XRange> ranges{{-1.0, -0.12}, {0.02, 1.0}};
    d.model.xranges = ranges;
    const Values x = d.data.x_data;
    d.delete_points_in_xranges();
    Values kept;
    for (double v : x)
        if (!((v >= -1.0 && v <= -0.12) || (v >= 0.02 && v <= 1.0)))
            kept.push_back(v);
    EXPECT_EQ(d.data.x_data, kept);
    for (const SpectrumLine& line : d.data.absorption.lines)
        EXPECT_LT(static_cast<std::size_t>(line.index), d.data.x_data.size());
    EXPECT_TRUE(d.model.xranges.empty());
    EXPECT_FALSE(kwlist_has(d.data.keywords, L"ChannelPrice(mm/s)"));

    // The ranges come back through the model history, the points through the spectrum's.
    d.model_history.undo(d);
    EXPECT_EQ(d.model.xranges, ranges);
    d.spectrum_history.undo(d);
    EXPECT_EQ(d.data.x_data, x);
}

TEST(SpectrumChanges, ClearingLeavesTheDefaultLevelsAndTheValues)
{
    ModelState d;
    load(d, counts_text());
    const Values values = document_test::as_vector(d.values);
    d.clear_spectrum();
    EXPECT_TRUE(d.data.x_data.empty());
    EXPECT_EQ(d.model.scale, -300000 * std::numbers::pi);
    EXPECT_EQ(d.model.level, 1e7);
    EXPECT_TRUE(same_doubles(document_test::as_vector(d.values), values));
    EXPECT_EQ(d.data.absorption.lines.size(), 0u);
}

TEST(SpectrumChanges, TheBaselineLevelFollowsOnlyWhenItDiffers)
{
    ModelState d;
    load(d, counts_text());
    const std::size_t records = d.model_history.records().size();
    d.adapt_to_spectrum();  // already at N0
    EXPECT_EQ(d.model_history.records().size(), records);

    d.set_param(0, 5.0);
    d.adapt_to_spectrum();
    EXPECT_EQ(d.values(0), d.data.absorption.N0);
    d.model_history.undo(d);
    EXPECT_EQ(d.values(0), 5.0);

    // An automatic baseline keeps the level itself; its parameter is the change from it.
    ModelState automatic;
    load(automatic, counts_text(), model_test::auto_baseline());
    EXPECT_EQ(automatic.values(0), 0.0);
    EXPECT_EQ(automatic.model.level, automatic.data.absorption.N0);
}

TEST(SpectrumChanges, DecimatingTooFewPointsOrAFailingEditChangesNothing)
{
    ModelState one;
    load(one, L"FirstChannel:1\nZeroChannel:1\nChannelPrice(mm/s):0.05\nSpectrum:7\n");
    const SpectrumState single(one);
    EXPECT_FALSE(one.decimate_spectrum());
    EXPECT_TRUE(SpectrumState(one) == single);
    EXPECT_FALSE(one.spectrum_history.can_undo());

    // An edit that fails halfway leaves the spectrum and the levels as they were.
    ModelState failing;
    load(failing, counts_text());
    const SpectrumState before(failing);
    EXPECT_THROW(failing.edit_spectrum([&failing]() -> bool {
        failing.data.decimate_by_2();
        failing.model.level = 1.0;
        throw std::runtime_error("Invalid integer format for <LastChannel>: last");
    }),
                 std::runtime_error);
    EXPECT_TRUE(SpectrumState(failing) == before);
    EXPECT_FALSE(failing.spectrum_history.can_undo());
}

TEST(SpectrumChanges, AModelWithoutFiniteCountsIsRefusedAndChangesNothing)
{
    // A line of width 0 gives 0/0 at its position, or an infinite count on a grid point.
    const std::vector<std::function<void(ModelState&)>> edits = {
        [](ModelState& d) { d.use_difference_as_data(); },
        [](ModelState& d) { d.simulate_spectrum(9, -4.0, 4.0, false); },
        [](ModelState& d) { d.simulate_spectrum(9, -4.0, 4.0, true); },
    };
    for (std::size_t k = 0; k < edits.size(); ++k) {
        for (double area : {1.0, 1e308}) {
            SCOPED_TRACE(k);
            ModelState d;
            load(d, counts_text());
            d.set_param(d.model.components[1]->first + 2, 0.0);
            // On a point of the spectrum, and on the simulation's grid point 0.
            d.set_param(d.model.components[1]->first + 1, k == 0 ? d.data.x_data[10] : 0.0);
            d.set_param(d.model.components[1]->first, area);
            const SpectrumState before(d);
            const document_test::Snapshot model_before(d);
            const std::size_t model_records = d.model_history.records().size();
            try {
                edits[k](d);
                ADD_FAILURE() << "accepted";
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(std::string(e.what()), MessageText(50230).to_utf8());
            }
            EXPECT_TRUE(SpectrumState(d) == before);
            EXPECT_EQ(document_test::Snapshot(d).difference(model_before), "");
            EXPECT_FALSE(d.spectrum_history.can_undo());
            EXPECT_EQ(d.model_history.records().size(), model_records);
        }
    }
}

TEST(SpectrumChanges, DeconvolutionChangesTheSpectrumOnlyWhenItSucceeds)
{
    auto deconvolution_model = [](ModelState& d) {
        load(d, counts_text(L"Comment:raw\n"));
        add(d, SubSpecPtr(new model_test::LorentzLines(0.5)));
        d.set_param(6, 1.0);  // after the baseline's 3 and the line's 3 parameters
        d.set_param(7, 0.3);
    };
    ModelState wide;
    deconvolution_model(wide);
    DeconvolutionRequest too_wide{false, 0.7, 1.0, 0.5};
    EXPECT_EQ(wide.deconvolve_spectrum(too_wide), -2);
    EXPECT_EQ(too_wide.model_width, 0.5);
    EXPECT_FALSE(wide.spectrum_history.can_undo());

    ModelState d;
    deconvolution_model(d);
    random_engine().seed(5);
    const std::size_t model_records = d.model_history.records().size();
    DeconvolutionRequest request{false, 0.7, 1.0, 0.2};
    ASSERT_EQ(d.deconvolve_spectrum(request), 0);
    EXPECT_EQ(d.spectrum_history.records().size(), 1u);
    EXPECT_EQ(comment_of(d), L"raw (Deconvolution f\u209B=0.70000, \u03C7=1.00000, \u0393\u209B=0.20000)");
    EXPECT_EQ(d.values(0), d.data.absorption.N0);
    EXPECT_LE(d.model_history.records().size(), model_records + 1);
    for (std::size_t i = 0; i < d.data.y_data.size(); ++i)
        EXPECT_EQ(d.data.std_dev_data[i], std::sqrt(d.data.y_data[i]));

    // No absorption anywhere (a line of area 0): the counts are the baseline's.
    ModelState flat;
    deconvolution_model(flat);
    flat.set_param(6, 0.0);
    DeconvolutionRequest flat_request{false, 0.7, 1.0, 0.2};
    ASSERT_EQ(flat.deconvolve_spectrum(flat_request), 0);
    for (double y : flat.data.y_data)
        EXPECT_TRUE(std::isfinite(y));
}

TEST(SpectrumChanges, SimulatingWithoutNoiseGivesTheModel)
{
    ModelState d;
    load(d, counts_text());
    SpectrumData axis;
    axis.make_velocity_axis(200, -3.0, 3.0);
    DVector x(200), expected(200);
    std::copy(axis.x_data.begin(), axis.x_data.end(), x.begin());
    d.model.evaluate(x, 0, 200, d.values, expected);
    d.simulate_spectrum(200, -3.0, 3.0, false);
    ASSERT_EQ(d.data.x_data, axis.x_data);
    for (std::size_t i = 0; i < 200; ++i)
        EXPECT_EQ(d.data.y_data[i], expected(i));
}

TEST(SpectrumChanges, TheDifferenceSitsOnTheBaselineLevel)
{
    ModelState d;
    load(d, counts_text());
    const Values y = d.data.y_data;
    DVector x(y.size()), m(y.size());
    std::copy(d.data.x_data.begin(), d.data.x_data.end(), x.begin());
    d.model.evaluate(x, 0, y.size(), d.values, m);
    d.use_difference_as_data();
    for (std::size_t i = 0; i < y.size(); ++i)
        EXPECT_DOUBLE_EQ(d.data.y_data[i], d.values(0) - m(i) + y[i]);
}

TEST(SpectrumChanges, AnIndexOutsideTheCountsChangesNoPoint)
{
    ModelState d;
    load(d, counts_text());
    const std::size_t records = d.spectrum_history.records().size();
    EXPECT_FALSE(d.set_spectrum_count(64, 1.0));
    EXPECT_EQ(d.spectrum_history.records().size(), records);
}

// Generate from model ends by giving the model the spectrum's area: the total area times
// the scale equals S, every area in proportion, as one step of its own.
TEST(SpectrumChanges, AreasScaleToTheSpectrumsAreaAsOneModelStep)
{
    ModelState d;
    d.data.load_text(counts_text());
    d.set_levels_from_spectrum();
    add(d, model_test::baseline());
    Isotope isotope;
    isotope.Γτ = 0.1;
    for (int k = 0; k < 2; ++k)
        add(d, make_subspec<test_models::TestLorentz>(&isotope));
    d.adapt_to_spectrum();
    // The two lines' areas.
    const std::vector<int> areas{static_cast<int>(d.model.components[1]->first),
                                 static_cast<int>(d.model.components[2]->first)};
    ASSERT_TRUE(d.model.area_exprs.back().expr);
    d.set_param(static_cast<unsigned>(areas[0]), 0.3);
    d.set_param(static_cast<unsigned>(areas[1]), 0.1);
    const document_test::Snapshot before(d);
    const std::size_t records = d.model_history.records().size();

    d.scale_areas_to_spectrum();
    EXPECT_EQ(d.model_history.records().size(), records + 1);
    const double total = d.model.area_exprs.back().expr->value(d.values);
    EXPECT_NEAR(std::fabs(d.model.scale) * total, d.data.analysis(d.model.is_emission()).S, 1e-9 * total);
    EXPECT_NEAR(d.values(areas[0]) / d.values(areas[1]), 3.0, 1e-12);
    EXPECT_EQ(d.values(0), d.data.analysis(false).N0);  // the baseline's level is no area
    d.model_history.undo(d);
    EXPECT_EQ(document_test::Snapshot(d).difference(before), "");

    // Scaled already: no second step.
    d.model_history.redo(d);
    d.scale_areas_to_spectrum();
    EXPECT_EQ(d.model_history.records().size(), records + 1);

    // A model without an area has nothing to scale.
    ModelState bare;
    load(bare, counts_text());
    const std::size_t bare_records = bare.model_history.records().size();
    bare.scale_areas_to_spectrum();
    EXPECT_EQ(bare.model_history.records().size(), bare_records);
}

}  // namespace

// The velocity calibration: spectra of the standards simulated on a channel axis with a
// known zero channel and price (and a stored price that is off) must give back both
// within their reported errors; the choice of the standard's model by the number of
// lines; the arithmetic of the zero channel; and every way a run can fail.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/calibration/document_calibration.h"
#include "core/calibration/velocity_calibration.h"
#include "core/model/spectrum_operations.h"
#include "core/spectrum/poisson.h"
#include "core/spectrum/spectrum_file.h"
#include "core/text/messages.h"
#include "core/text/text.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"
#include "tests/support/calibration_catalogue.h"
#include "tests/support/program_isotopes.h"

namespace {

using test_support::iron;

constexpr double level = 1e6;

// The α-iron field whose outer lines lie the standard's 10.624 mm/s apart.
double iron_field()
{
    return 10.624 / std::fabs(iron().K);
}

std::vector<double> iron_sextet(double shift)
{
    return {1.0, 0.667, 0.333, shift, 0.0, iron_field(), 0.0, 0.0, 0.25, 1.0, 1.0, 1.0, 1.0, 1.0, 0.0};
}

std::vector<double> nitroprusside()
{
    return {1.0, 1.0, -0.257, 0.856, 0.25, 1.0, 0.0};
}

struct Truth {
    SubSpecPtr component;
    std::vector<double> params;
    unsigned channels;
    double zero;   // channel of zero velocity
    double price;  // mm/s per channel; a multiple of 1e-6, so "%f" keeps it exactly
};

// Counts on channels 1 … n with the true axis, then re-read with the stored price
// `stored_price`, as a spectrometer whose price is off would give them.
// With `emission`, peaks of 3% of the absorption's size above a level of 1e4.
SpectrumData standard_spectrum(const Truth& t, bool noise, double stored_price, bool emission = false)
{
    SpectrumModel model;
    model.insert_component(0, make_subspec<BaseLine>(nullptr));
    model.insert_component(1, t.component);
    model.scale = emission ? 6e3 : -2e5;
    DVector values(model.param_count());
    values(0) = emission ? 1e4 : level, values(1) = 0.0, values(2) = 0.0;
    for (std::size_t k = 0; k < t.params.size(); ++k)
        values(3 + k) = t.params[k];

    SpectrumData s;
    random_engine().seed(57);
    simulate(s, t.channels, (1.0 - t.zero) * t.price, (t.channels - t.zero) * t.price, noise, model, values);
    s.store_keywords();
    KeywordList list = s.keywords;
    kwlist_set_double(list, L"ChannelPrice(mm/s)", stored_price, L"%f");
    s.load_keywords(list);
    s.keywords = std::move(list);
    return s;
}

// Runs with growing smoothing widths, as the user would, until the analysis finds
// `lines` lines and the fit runs.
void run_with_lines(VelocityCalibration& c, std::size_t lines)
{
    for (int w = 2; w <= 60; ++w) {
        const CalibrationOutcome o = c.run(w);
        if (o == CalibrationOutcome::fitted && c.analysis().lines.size() == lines)
            return;
    }
    FAIL() << "no smoothing width finds " << lines << " lines";
}

struct RecoveryCase {
    const char* name;
    const wchar_t* standard;
    Truth truth;
    double stored_price;
    std::size_t lines;
};

TEST(VelocityCalibration, RecoversZeroChannelAndPriceOfSimulatedStandards)
{
    const Isotope* fe = &iron();
    const RecoveryCase cases[] = {
        {"α-Fe, 6 lines", L"α-Fe", {make_subspec<PseudoVoigtSextet>(fe), iron_sextet(0.0), 1024, 512.25, 0.0205}, 0.0209, 6},
        {"α-Fe, 4 lines", L"α-Fe", {make_subspec<PseudoVoigtSextet>(fe), iron_sextet(0.0), 1024, 498.75, 0.0082}, 0.0081, 4},
        {"α-Fe, 2 lines", L"α-Fe", {make_subspec<PseudoVoigtSextet>(fe), iron_sextet(0.0), 1024, 530.5, 0.0039}, 0.0040, 2},
        {"SNP", L"SNP", {make_subspec<PseudoVoigtDoublet>(fe), nitroprusside(), 1024, 505.4, 0.006}, 0.00606, 2},
    };
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    for (const RecoveryCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SpectrumData s = standard_spectrum(c.truth, true, c.stored_price);
        VelocityCalibration calibration(*fe, c.standard, document, s, catalogue);
        run_with_lines(calibration, c.lines);
        ASSERT_NE(calibration.variant(), nullptr);
        EXPECT_EQ(calibration.variant()->line_count, c.lines);
        EXPECT_TRUE(calibration.success()) << calibration.message();
        ASSERT_TRUE(calibration.spread());

        // Errors of a thousandth of a mm/s and of the price's last digits.
        EXPECT_GT(calibration.offset_error(), 0.0);
        EXPECT_LT(calibration.offset_error() * c.truth.price, 1e-3);
        EXPECT_NEAR(calibration.zero_channel(), c.truth.zero, 3.5 * calibration.offset_error());
        EXPECT_GT(calibration.new_price_error(), 0.0);
        EXPECT_LT(calibration.new_price_error(), 0.002 * c.truth.price);
        EXPECT_NEAR(calibration.new_price(), c.truth.price, 3.5 * calibration.new_price_error());
    }
}

TEST(VelocityCalibration, AnEmissionSpectrumIsCalibratedOnItsPeaks)
{
    const test_support::CalibrationCatalogue catalogue;
    SpectrumModel document;
    document.scale = 1.0;
    const SpectrumData s =
        standard_spectrum({make_subspec<PseudoVoigtSextet>(&iron()), iron_sextet(0.0), 1024, 512.25, 0.0205}, true,
                          0.0209, true);
    VelocityCalibration c(iron(), L"α-Fe", document, s, catalogue);
    run_with_lines(c, 6);
    EXPECT_TRUE(c.success()) << c.message();
    EXPECT_GT(c.model().scale, 0.0);
    EXPECT_NEAR(c.zero_channel(), 512.25, 3.5 * c.offset_error());
    EXPECT_NEAR(c.new_price(), 0.0205, 3.5 * c.new_price_error());
}

TEST(VelocityCalibration, ZeroChannelArithmetic)
{
    // FirstChannel 1, price 0.1, first x −10: the standard's δ of 0.05 lies 100.5
    // channels on, so zero velocity is channel 101.5.
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    const SpectrumData s = standard_spectrum({make_subspec<PseudoVoigtSextet>(&iron()), iron_sextet(0.05), 256, 101.0, 0.1},
                                             false, 0.1);
    ASSERT_DOUBLE_EQ(s.x_data.front(), -10.0);
    VelocityCalibration c(iron(), L"α-Fe", document, s, catalogue);
    run_with_lines(c, 6);
    EXPECT_TRUE(c.success());
    EXPECT_NEAR(c.offset(), 100.5, 1e-6);
    EXPECT_NEAR(c.zero_channel(), 101.5, 1e-6);
    EXPECT_NEAR(c.new_price(), 0.1, 1e-9);
}

// A spectrometer whose channels run from positive to negative velocities: the zero
// channel counts from the first channel, which then holds the highest velocity.
TEST(VelocityCalibration, ANegativePriceCountsTheZeroChannelFromTheFirstChannel)
{
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    const SpectrumData s = standard_spectrum(
        {make_subspec<PseudoVoigtSextet>(&iron()), iron_sextet(0.05), 512, 260.0, -0.04}, false, -0.04);
    ASSERT_NEAR(s.x_data.back(), (1 - 260.0) * -0.04, 1e-9);
    VelocityCalibration c(iron(), L"α-Fe", document, s, catalogue);
    run_with_lines(c, 6);
    EXPECT_TRUE(c.success()) << c.message();
    // δ = 0.05 mm/s lies 1.25 channels past zero velocity, towards the first channel.
    EXPECT_NEAR(c.zero_channel(), 260.0 - 1.25, 1e-5);
    EXPECT_TRUE(c.corrects_price());
    EXPECT_NEAR(c.new_price(), -0.04, 1e-9);
    EXPECT_GT(c.new_price_error(), 0.0);

    // Applied, the axis moves by that δ and no further.
    SpectrumData applied = s;
    apply_calibration_keys(applied, iron(), c.offset(), c.new_price());
    ASSERT_EQ(applied.x_data.size(), s.x_data.size());
    for (std::size_t i = 0; i < s.x_data.size(); ++i)
        ASSERT_NEAR(applied.x_data[i], s.x_data[i] - 0.05, 1e-5) << i;
}

// The standard fixes what its model does not vary (for α-iron ε = 0): a noise-free
// spectrum of it is matched exactly, whatever the found lines suggest for those values.
TEST(VelocityCalibration, TheStandardsFixedValuesHold)
{
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    struct Case {
        const char* name;
        Truth truth;
        std::size_t lines;
    };
    const Case cases[] = {
        {"6 lines", {make_subspec<PseudoVoigtSextet>(&iron()), iron_sextet(0.1), 1024, 505.6, 0.0213}, 6},
        {"4 lines", {make_subspec<PseudoVoigtSextet>(&iron()), iron_sextet(0.1), 1024, 498.75, 0.0082}, 4},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const SpectrumData s = standard_spectrum(k.truth, false, k.truth.price);
        VelocityCalibration c(iron(), L"α-Fe", document, s, catalogue);
        run_with_lines(c, k.lines);
        EXPECT_TRUE(c.success()) << c.message();
        const unsigned epsilon = c.model().components[1]->first + 4;
        EXPECT_EQ(c.flags()[epsilon], 0);
        EXPECT_EQ(c.start_values()(epsilon), 0.0);
        EXPECT_EQ(c.fitted_values()(epsilon), 0.0);
        // Zero velocity is where the sample's δ of 0.1 mm/s lies.
        EXPECT_NEAR(c.zero_channel(), k.truth.zero + 0.1 / k.truth.price, 1e-5);
        EXPECT_NEAR(c.new_price(), k.truth.price, 1e-9);
        EXPECT_LT(c.reduced_chi_square(), 1e-6);
    }
}

// A flat spectrum on 64 channels: the analysis finds no lines, so the marks alone
// decide how many lines there are.
SpectrumData flat_spectrum(unsigned n = 64)
{
    SpectrumData s;
    s.make_velocity_axis(n, -3.2, 3.1);
    s.y_data.assign(n, level);
    s.compute_std_dev(s.keywords);
    s.update_analysis();
    return s;
}

std::vector<double> marks(std::size_t n)
{
    std::vector<double> m;
    for (std::size_t i = 0; i < n; ++i)
        m.push_back(-2.5 + 0.8 * static_cast<double>(i));
    return m;
}

TEST(VelocityCalibration, ChoosesTheStandardsModelByTheNumberOfLines)
{
    Isotope iso = iron();
    std::erase_if(iso.variants, [](const CalibrationVariant& v) { return v.standard == L"α-Fe" && v.line_count == 4; });
    iso.variants.push_back({L"S", 0, 0.0, L"PseudoVoigt singlet", L"I=1 δ=0 Γ=0.8 α=0F"});
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    const SpectrumData s = flat_spectrum();

    struct Case {
        const wchar_t* standard;
        std::size_t marked;
        bool found;
        unsigned line_count;
    };
    for (const Case& k : {Case{L"α-Fe", 6, true, 6}, Case{L"α-Fe", 2, true, 2}, Case{L"α-Fe", 4, false, 0},
                          Case{L"S", 1, true, 0}, Case{L"S", 2, true, 0}, Case{L"S", 3, false, 0}}) {
        SCOPED_TRACE(k.marked);
        VelocityCalibration c(iso, k.standard, document, s, catalogue);
        c.marked = marks(k.marked);
        const CalibrationOutcome outcome = c.run(3);
        ASSERT_EQ(c.analysis().lines.size(), k.marked);
        if (k.found) {
            EXPECT_EQ(outcome, CalibrationOutcome::fitted);
            ASSERT_NE(c.variant(), nullptr);
            EXPECT_EQ(c.variant()->line_count, k.line_count);
            EXPECT_EQ(c.model().component_count(), 2u);
        } else {
            EXPECT_EQ(outcome, CalibrationOutcome::no_variant);
            EXPECT_EQ(c.message(), L"Can't find the required number of lines for this model (found " +
                                       std::to_wstring(k.marked) + L"), please change filter width");
            EXPECT_EQ(c.model().component_count(), 0u);
        }
    }
}

TEST(VelocityCalibration, PriceAndZeroOnlyWhereTheStandardGivesThem)
{
    Isotope iso = iron();
    iso.variants = {{L"nodistance", 6, 0.0, L"PseudoVoigt sextet", iso.variants[0].param_text},
                    {L"noshift", 2, 5.0, L"Baseline", L""}};
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    const SpectrumData sextet = standard_spectrum({make_subspec<PseudoVoigtSextet>(&iron()), iron_sextet(0.1), 512, 260.0, 0.04},
                                                  false, 0.04);

    VelocityCalibration without_distance(iso, L"nodistance", document, sextet, catalogue);
    run_with_lines(without_distance, 6);
    EXPECT_FALSE(without_distance.corrects_price());
    EXPECT_EQ(without_distance.new_price(), 0.0);
    EXPECT_EQ(without_distance.new_price_error(), 0.0);
    EXPECT_NEAR(without_distance.zero_channel(), 262.5, 1e-5);

    // Without a shift parameter zero velocity stays at the first channel.
    const SpectrumData flat = flat_spectrum();
    VelocityCalibration without_shift(iso, L"noshift", document, flat, catalogue);
    without_shift.marked = marks(2);
    ASSERT_EQ(without_shift.run(3), CalibrationOutcome::fitted);
    EXPECT_EQ(without_shift.offset(), 0.0);
    EXPECT_EQ(without_shift.zero_channel(), 1.0);
    EXPECT_EQ(without_shift.new_price(), 0.0);
}

TEST(VelocityCalibration, RunsThatStopBeforeTheFit)
{
    Isotope iso = iron();
    iso.variants = {{L"missing", 2, 0.0, L"No such model", L""}, {L"malformed", 2, 0.0, L"PseudoVoigt singlet", L"I=x"}};
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    const SpectrumData s = flat_spectrum();

    VelocityCalibration c(iso, L"missing", document, s, catalogue);
    c.marked = marks(2);
    EXPECT_EQ(c.run(1), CalibrationOutcome::invalid_filter_width);
    EXPECT_EQ(c.message(), L"Invalid filter width");
    EXPECT_EQ(c.run(2), CalibrationOutcome::model_not_found);
    EXPECT_EQ(c.message(), L"Model not found (No such model)");
    EXPECT_FALSE(c.success());

    VelocityCalibration m(iso, L"malformed", document, s, catalogue);
    m.marked = marks(2);
    EXPECT_EQ(m.run(2), CalibrationOutcome::failed);
    EXPECT_EQ(m.message(), L"a value that is not a number");
}

TEST(VelocityCalibration, OnlySpectraOnChannelsAreCalibrated)
{
    // Velocity pairs carry no channel price: calibrating them would invent channels.
    SpectrumData pairs;
    pairs.load_text(L"VelocitySpectrum:-1 100 -0.5 90 0 80 0.5 90 1 100\n");
    const KeywordList before = pairs.keywords;
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;
    VelocityCalibration c(iron(), L"α-Fe", document, pairs, catalogue);
    EXPECT_EQ(c.run(3), CalibrationOutcome::no_channels);
    EXPECT_EQ(c.message(), MessageText(msg_calibration_needs_channels).str());
    EXPECT_THROW(apply_calibration_keys(pairs, iron(), 10.0, 0.1), std::runtime_error);
    EXPECT_EQ(kwlist_to_string(pairs.keywords), kwlist_to_string(before));
}

TEST(VelocityCalibration, FitsThatDidNotRunAreNoCalibration)
{
    const test_support::CalibrationCatalogue catalogue;
    const SpectrumModel document;

    // A deviation of 0: the fit stops before its first step.
    SpectrumData zero = standard_spectrum({make_subspec<PseudoVoigtSextet>(&iron()), iron_sextet(0.0), 512, 256.5, 0.04},
                                          true, 0.04);
    zero.std_dev_data[3] = 0.0;
    VelocityCalibration c(iron(), L"α-Fe", document, zero, catalogue);
    run_with_lines(c, 6);
    EXPECT_EQ(c.stop_code(), FitStopZeroStdDev);
    EXPECT_FALSE(c.success());

    // Fewer points than varied parameters: no fit and no degree of freedom, so no spread.
    SpectrumData few = flat_spectrum(6);
    VelocityCalibration f(iron(), L"α-Fe", document, few, catalogue);
    f.marked = {-3.0, -2.0, -1.0, 0.0, 1.0, 2.0};
    ASSERT_EQ(f.run(2), CalibrationOutcome::fitted);
    EXPECT_EQ(f.stop_code(), FitStopTooManyVariables);
    EXPECT_FALSE(f.success());
    EXPECT_FALSE(f.spread());
    EXPECT_EQ(f.message().find(L'±'), std::wstring::npos);
    EXPECT_EQ(f.message().find(L"nan"), std::wstring::npos);
}

TEST(ApplyCalibrationKeys, WritesZeroChannelAndPriceAndKeepsTheCounts)
{
    SpectrumData s;
    s.load_text(L"FirstChannel:1\nZeroChannel:3\n(mm/s)PerChannel:0.1\nChannelPrice(mm/s):0.3\n"
                L"ChannelPrice(kOe):5\nStdDev:2\nData:10 20 30 40 50\n");
    apply_calibration_keys(s, iron(), 1.5, 0.2);
    double v = 0.0;
    ASSERT_TRUE(kwlist_get_double(s.keywords, L"ZeroChannel", v));
    EXPECT_EQ(v, 2.5);
    // The price goes where the axis reads it from.
    ASSERT_TRUE(kwlist_get_double(s.keywords, L"(mm/s)PerChannel", v));
    EXPECT_EQ(v, 0.2);
    ASSERT_TRUE(kwlist_get_double(s.keywords, L"ChannelPrice(kOe)", v));
    EXPECT_NEAR(v, 0.2 / std::fabs(iron().K), 1e-6);
    EXPECT_FALSE(kwlist_has(s.keywords, L"Data"));
    EXPECT_EQ(s.y_data, (std::vector<double>{10, 20, 30, 40, 50}));
    EXPECT_EQ(s.std_dev_data, (std::vector<double>(5, 2.0)));
    EXPECT_DOUBLE_EQ(s.x_data.front(), (1 - 2.5) * 0.2);

    // A price of 0 leaves the price alone; a negative price keeps the channel order.
    SpectrumData r;
    r.load_text(L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):-0.1\nStdDevSpectrum:1 2 3 4 5\nSpectrum:10 20 30 40 50\n");
    const std::vector<double> y = r.y_data, sigma = r.std_dev_data;
    apply_calibration_keys(r, iron(), 0.5, 0.0);
    ASSERT_TRUE(kwlist_get_double(r.keywords, L"ChannelPrice(mm/s)", v));
    EXPECT_EQ(v, -0.1);
    EXPECT_EQ(r.y_data, y);
    EXPECT_EQ(r.std_dev_data, sigma);
    EXPECT_DOUBLE_EQ(r.x_data.back(), (1 - 1.5) * -0.1);
}

TEST(ApplyCalibration, OneSpectrumStepOnTheDocumentOnlyForChannels)
{
    ModelState d;
    d.data.load_text(L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):0.1\nSpectrum:100 90 80 90 100\n");
    d.data.store_keywords();
    const std::wstring before = kwlist_to_string(d.data.keywords);
    const std::vector<double> x = d.data.x_data;
    apply_calibration(d, iron(), 1.5, 0.2);
    EXPECT_DOUBLE_EQ(d.data.x_data.front(), (1 - 2.5) * 0.2);
    EXPECT_EQ(d.model.level, d.data.absorption.N0);
    d.spectrum_history.undo(d);
    d.data.store_keywords();
    EXPECT_EQ(kwlist_to_string(d.data.keywords), before);
    EXPECT_EQ(d.data.x_data, x);

    // Velocity pairs: refused, nothing recorded.
    ModelState pairs;
    pairs.data.load_text(L"VelocitySpectrum:-1 100 -0.5 90 0 80 0.5 90 1 100\n");
    EXPECT_THROW(apply_calibration(pairs, iron(), 1.5, 0.2), std::runtime_error);
    EXPECT_FALSE(pairs.spectrum_history.can_undo());
    EXPECT_EQ(pairs.data.x_data.front(), -1.0);
}

SpectrumData spectrum_text(const std::wstring& text)
{
    SpectrumData s;
    s.load_text(text);
    return s;
}

TEST(LoadCalibration, TheStoredCalibrationOrWhyThereIsNone)
{
    struct Case {
        const wchar_t* text;
        double offset, price;
        unsigned message;  // 0: read
    };
    const Case cases[] = {
        {L"FirstChannel:1\nZeroChannel:256.5\nChannelPrice(mm/s):0.05\nSpectrum:1 2 3 4 5\n", 255.5, 0.05, 0},
        {L"FirstChannel:0\nZeroChannel:3\n(mm/s)PerChannel:-0.1\nSpectrum:1 2 3 4 5\n", 3.0, -0.1, 0},
        {L"ChannelPrice(mm/s):0.1\nSpectrum:1 2 3 4 5\n", -1.0, 0.1, 0},  // zero channel 0, first channel 1
        {L"ZeroChannel:3\nChannelPrice(mm/s):1\nSpectrum:1 2 3 4 5\n", 0, 0, 50039},  // uncalibrated
        {L"VelocitySpectrum:-1 100 0 90 1 100 2 90 3 80\n", 0, 0, 50039},
        {L"ZeroChannel:3\nChannelPrice(mm/s):0.1\nSpectrum:1 2 3 4\n", 0, 0, 50038},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        const SpectrumData source = spectrum_text(c.text);
        if (c.message != 0) {
            try {
                stored_calibration(source, 5);
                ADD_FAILURE() << "read";
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(e.what(), MessageText(c.message).to_utf8());
            }
            continue;
        }
        const StoredCalibration calibration = stored_calibration(source, 5);
        EXPECT_DOUBLE_EQ(calibration.offset, c.offset);
        EXPECT_DOUBLE_EQ(calibration.price, c.price);
    }
}

// The spectrum ends on the calibration file's axis, channel for channel, as one step.
TEST(LoadCalibration, TheSpectrumTakesTheFilesAxisAsOneUndoableStep)
{
    ModelState d;
    d.data.load_text(L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):1\nSpectrum:100 90 80 90 100\n");
    d.data.store_keywords();
    const std::wstring before = kwlist_to_string(d.data.keywords);
    const SpectrumData source =
        spectrum_text(L"FirstChannel:1\nZeroChannel:2.5\nChannelPrice(mm/s):0.2\nSpectrum:7 7 7 7 7\n");
    load_calibration(d, iron(), source);
    EXPECT_EQ(d.data.y_data, (std::vector<double>{100, 90, 80, 90, 100}));
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(d.data.x_data[i], source.x_data[i], 1e-12) << i;
    d.spectrum_history.undo(d);
    d.data.store_keywords();
    EXPECT_EQ(kwlist_to_string(d.data.keywords), before);

    EXPECT_THROW(load_calibration(d, iron(), spectrum_text(L"ChannelPrice(mm/s):1\nSpectrum:1 2 3 4 5\n")),
                 std::runtime_error);
    EXPECT_FALSE(d.spectrum_history.can_undo());
}

}  // namespace

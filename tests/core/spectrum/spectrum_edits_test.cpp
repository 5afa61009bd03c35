// The in-place spectrum edits: their tables, the calibration keys they keep in step, the
// deviations they carry, and undo through the keyword list: the list stored before an
// edit reads back into exactly the spectrum before it, and the list after it into the
// edited spectrum.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/spectrum/fir_filter.h"
#include "core/spectrum/savitzky_golay.h"
#include "core/spectrum/spectrum_data.h"
#include "core/text/kwfile.h"
#include "core/text/text.h"
#include "tests/support/spectrum_texts.h"

namespace {

using Values = std::vector<double>;

SpectrumData from_text(const std::wstring& text)
{
    SpectrumData s;
    s.load_text(text);
    return s;
}

std::wstring value_of(const KeywordList& list, const std::wstring& key)
{
    std::wstring value;
    EXPECT_TRUE(kwlist_find(list, key, value)) << wide_to_utf8(key);
    return value;
}

using test_support::counts_text;
using test_support::deviations_key;

std::wstring triples_text()
{
    std::wstring text = L"VelocitySpectrumStdDev:";
    for (int i = 0; i < 40; ++i)
        text += std::to_wstring(-2.0 + 0.1 * i) + L" " + std::to_wstring(1000 - 300 * std::exp(-(i - 20) * (i - 20) / 8.0)) +
                L" " + std::to_wstring(10 + i % 7) + L"\n";
    return text;
}

TEST(SpectrumEdits, RemoveXIntervalKeepsThePointsOutsideAndWritesPairs)
{
    SpectrumData s = from_text(L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):1\nSpectrum:5 4 3 4 5\n");
    s.remove_x_interval(-1, 1);
    EXPECT_EQ(s.x_data, (Values{-2, 2}));
    EXPECT_EQ(s.y_data, (Values{5, 5}));
    EXPECT_EQ(s.std_dev_data, (Values{std::sqrt(5.0), std::sqrt(5.0)}));
    for (const wchar_t* key : {L"ChannelPrice(mm/s)", L"(mm/s)PerChannel", L"Spectrum", L"Data"})
        EXPECT_FALSE(kwlist_has(s.keywords, key)) << wide_to_utf8(key);
    s.store_keywords();
    EXPECT_TRUE(kwlist_has(s.keywords, L"VelocitySpectrum"));

    SpectrumData untouched = from_text(L"VelocitySpectrum:-1 10 0 9 1 10\n");
    untouched.remove_x_interval(1, -1);
    EXPECT_EQ(untouched.x_data, (Values{-1, 0, 1}));
}

TEST(SpectrumEdits, RemovingPointsAnalysesAgain)
{
    // The line sits near the end; cutting the end must not leave it behind.
    SpectrumData s = from_text(counts_text());
    ASSERT_FALSE(s.absorption.lines.empty());
    s.remove_x_interval(-0.5, 2.0);
    for (const SpectrumLine& line : s.absorption.lines)
        EXPECT_LT(static_cast<std::size_t>(line.index), s.x_data.size());
    EXPECT_EQ(s.emission.N0, s.absorption.N0_e);
    EXPECT_LT(s.absorption.depth, 5000.0);  // the line went with the points
}

TEST(SpectrumEdits, DecimateMergesPairsAndRescalesTheCalibration)
{
    SpectrumData s = from_text(L"FirstChannel:1\nLastChannel:5\nZeroChannel:256.5\nChannelPrice(mm/s):0.05\n"
                               L"ChannelPrice(kOe):1.5\nSpectrum:1 2 3 4 5\n");
    const Values x = s.x_data;
    ASSERT_TRUE(s.decimate_by_2());
    EXPECT_EQ(s.x_data, (Values{(x[0] + x[1]) / 2, (x[2] + x[3]) / 2}));
    EXPECT_EQ(s.y_data, (Values{3, 7}));
    ASSERT_EQ(s.std_dev_data.size(), 2u);
    EXPECT_DOUBLE_EQ(s.std_dev_data[0], std::sqrt(3.0));
    EXPECT_DOUBLE_EQ(s.std_dev_data[1], std::sqrt(7.0));
    EXPECT_EQ(value_of(s.keywords, L"ChannelPrice(mm/s)"), L"0.100000");
    EXPECT_EQ(value_of(s.keywords, L"ZeroChannel"), L"128.500000");
    EXPECT_EQ(value_of(s.keywords, L"ChannelPrice(kOe)"), L"3.000000");
    EXPECT_EQ(value_of(s.keywords, L"LastChannel"), L"2");
    // The merged points stand where the new keys put their channels.
    SpectrumData reread;
    KeywordList list = s.keywords;
    reread.load_keywords(list);
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_NEAR(reread.x_data[i], s.x_data[i], 1e-12);
    EXPECT_EQ(reread.y_data, s.y_data);
}

TEST(SpectrumEdits, DecimateReadsThePriceWhereTheAxisDoes)
{
    // Both price keys: the axis reads "(mm/s)PerChannel", so that one doubles.
    SpectrumData s = from_text(L"FirstChannel:1\nZeroChannel:2\n(mm/s)PerChannel:0.2\nChannelPrice(mm/s):0.7\n"
                               L"Spectrum:1 2 3 4\n");
    ASSERT_TRUE(s.decimate_by_2());
    EXPECT_EQ(value_of(s.keywords, L"(mm/s)PerChannel"), L"0.400000");
    EXPECT_EQ(value_of(s.keywords, L"ChannelPrice(mm/s)"), L"0.7");
    EXPECT_EQ(value_of(s.keywords, L"ZeroChannel"), L"1.250000");

    // A price of exactly 1 leaves every calibration key alone.
    SpectrumData uncalibrated = from_text(L"FirstChannel:1\nZeroChannel:2\nChannelPrice(mm/s):1\nSpectrum:1 2 3 4\n");
    ASSERT_TRUE(uncalibrated.decimate_by_2());
    EXPECT_EQ(value_of(uncalibrated.keywords, L"ChannelPrice(mm/s)"), L"1");
    EXPECT_EQ(value_of(uncalibrated.keywords, L"ZeroChannel"), L"2");
}

// Neighbouring channels merge, in the order of the channels: with a negative price the
// first channel holds the highest velocity, and an odd last channel is the one dropped.
TEST(SpectrumEdits, DecimateMergesNeighbouringChannelsOnAFallingAxis)
{
    SpectrumData s = from_text(L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):-0.5\nSpectrum:1 2 3 4 5\n");
    ASSERT_TRUE(s.decimate_by_2());
    EXPECT_EQ(value_of(s.keywords, L"ChannelPrice(mm/s)"), L"-1.000000");
    EXPECT_EQ(value_of(s.keywords, L"ZeroChannel"), L"1.750000");
    EXPECT_EQ(s.y_data, (Values{7, 3}));  // channels 3 + 4 at −0.25 mm/s, 1 + 2 at 0.75 mm/s
    EXPECT_EQ(s.x_data, (Values{-0.25, 0.75}));
}

TEST(SpectrumEdits, DecimateIsAllOrNothing)
{
    SpectrumData one = from_text(L"FirstChannel:1\nZeroChannel:1\nChannelPrice(mm/s):0.05\nSpectrum:7\n");
    const std::wstring before = kwlist_to_string(one.keywords);
    EXPECT_FALSE(one.decimate_by_2());
    EXPECT_EQ(kwlist_to_string(one.keywords), before);
    EXPECT_EQ(one.y_data, (Values{7}));

}

TEST(SpectrumEdits, AGeneratedAxisWritesItsPriceWhereTheAxisIsRead)
{
    SpectrumData s = from_text(L"FirstChannel:1\nZeroChannel:2\n(mm/s)PerChannel:0.7\nSpectrum:1 2 3 4\n");
    s.make_velocity_axis(5, -1.0, 1.0);
    s.y_data.assign(5, 10.0);
    s.store_keywords();
    SpectrumData reread;
    KeywordList list = s.keywords;
    reread.load_keywords(list);
    EXPECT_EQ(reread.x_data, s.x_data);

    // An axis from high to low velocities: a negative price, and the points still in x order.
    SpectrumData falling = from_text(L"Spectrum:1 2 3 4\n");
    falling.make_velocity_axis(5, 1.0, -1.0);
    EXPECT_EQ(falling.x_data, (Values{-1.0, -0.5, 0.0, 0.5, 1.0}));
    falling.y_data = {10, 20, 30, 40, 50};
    falling.store_keywords();
    KeywordList stored = falling.keywords;
    reread.load_keywords(stored);
    EXPECT_EQ(reread.x_data, falling.x_data);
    EXPECT_EQ(reread.y_data, falling.y_data);
    EXPECT_EQ(value_of(stored, L"ChannelPrice(mm/s)"), L"-0.500000");
}

TEST(SpectrumEdits, FilterHalfWidthFromTheWidthAndThePrice)
{
    struct Case {
        const wchar_t* keys;
        double width;
        unsigned half_width;
    };
    const Case cases[] = {
        {L"ChannelPrice(mm/s):0.05\n", 0.1, 0},   // one channel: nothing to smooth
        {L"ChannelPrice(mm/s):0.05\n", 0.2, 2},   // the 5-point kernel
        {L"ChannelPrice(mm/s):0.05\n", -0.2, 2},  // the sign does not matter
        {L"ChannelPrice(mm/s):0.05\n", 100.1, 0},  // above 1000 channels
        {L"ChannelPrice(mm/s):0.05\n", 100.0, 1000},
        {L"ChannelPrice(mm/s):0\n", 1.0, 0},
        {L"ChannelPrice(mm/s):-0.05\n", 1.0, 10},  // channels from high to low velocities
        {L"(mm/s)PerChannel:0.1\nChannelPrice(mm/s):0.01\n", 1.0, 5},  // the axis's price
        {L"", 7.0, 3},                                                    // no price: 1
    };
    for (const Case& c : cases) {
        KeywordList parsed;
        kwfile_load_from_memory(c.keys, parsed);
        EXPECT_EQ(filter_half_width(parsed, c.width), c.half_width) << wide_to_utf8(c.keys) << c.width;
    }
}

TEST(SpectrumEdits, FilterSmoothsTheCountsAndCarriesStoredDeviations)
{
    std::vector<double> kernel;
    savitzky_golay_coefficients(2, 3, 0, kernel);

    SpectrumData counts = from_text(counts_text());
    Values expected;
    fir_filter_vector(kernel, counts.y_data, expected);
    counts.apply_filter(kernel);
    EXPECT_EQ(counts.y_data, expected);
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_DOUBLE_EQ(counts.std_dev_data[i], std::sqrt(std::fabs(expected[i])));
    EXPECT_NE(value_of(counts.keywords, L"Spectrum").find(L"."), std::wstring::npos);

    // Stored deviations go through the filter: Σ wⱼ²σⱼ² inside, the padded ends weighing
    // their end value with the summed weights.
    SpectrumData triples = from_text(triples_text());
    const Values sigma = triples.std_dev_data;
    const std::vector<double> mean3{1.0 / 3, 1.0 / 3, 1.0 / 3};
    triples.apply_filter(mean3);
    const std::size_t n = sigma.size();
    EXPECT_DOUBLE_EQ(triples.std_dev_data[0], std::sqrt(4 * sigma[0] * sigma[0] + sigma[1] * sigma[1]) / 3);
    EXPECT_DOUBLE_EQ(triples.std_dev_data[5],
                     std::sqrt(sigma[4] * sigma[4] + sigma[5] * sigma[5] + sigma[6] * sigma[6]) / 3);
    EXPECT_DOUBLE_EQ(triples.std_dev_data[n - 1],
                     std::sqrt(4 * sigma[n - 1] * sigma[n - 1] + sigma[n - 2] * sigma[n - 2]) / 3);
    SpectrumData reread;
    KeywordList list = triples.keywords;
    reread.load_keywords(list);
    EXPECT_EQ(reread.std_dev_data.size(), n);
    for (std::size_t i = 0; i < n; ++i)
        EXPECT_NEAR(reread.std_dev_data[i], triples.std_dev_data[i], 1e-6);
}

TEST(SpectrumEdits, FilteredDeviationsMatchTheSpreadOfFilteredNoise)
{
    // An independent check of the propagation: filter many noise draws and compare the
    // spread at an end point and inside with the propagated deviation.
    const std::vector<double> kernel{-0.1, 0.3, 0.4, 0.3, 0.1};
    const Values sigma{1.0, 2.0, 0.5, 1.5, 1.0, 3.0};
    Values propagated;
    fir_filter_deviations(kernel, sigma, propagated);
    std::mt19937 engine(7);
    std::normal_distribution<double> normal;
    Values sum_sq(sigma.size(), 0.0), noise(sigma.size()), filtered;
    const int draws = 40000;
    for (int d = 0; d < draws; ++d) {
        for (std::size_t i = 0; i < sigma.size(); ++i)
            noise[i] = sigma[i] * normal(engine);
        fir_filter_vector(kernel, noise, filtered);
        for (std::size_t i = 0; i < sigma.size(); ++i)
            sum_sq[i] += filtered[i] * filtered[i];
    }
    for (std::size_t i = 0; i < sigma.size(); ++i)
        EXPECT_NEAR(std::sqrt(sum_sq[i] / draws), propagated[i], 0.02 * propagated[i]) << i;
}

TEST(SpectrumEdits, ReverseCountsMirrorsTheSpectrum)
{
    SpectrumData s = from_text(triples_text());
    const SpectrumData original = s;
    ASSERT_TRUE(s.reverse_counts());
    EXPECT_EQ(s.x_data, original.x_data);
    for (std::size_t i = 0; i < s.y_data.size(); ++i) {
        EXPECT_EQ(s.y_data[i], original.y_data[s.y_data.size() - 1 - i]);
        EXPECT_EQ(s.std_dev_data[i], original.std_dev_data[s.y_data.size() - 1 - i]);
    }
    ASSERT_TRUE(s.reverse_counts());
    EXPECT_EQ(s.y_data, original.y_data);

    SpectrumData empty;
    EXPECT_FALSE(empty.reverse_counts());
}

// Channels meet channels, whatever the velocities: a negative price sorts the points
// the other way round, and the sum still adds channel k to channel k.
TEST(SpectrumEdits, AddCountsAddsChannelByChannelWithDeviationsInQuadrature)
{
    const std::wstring axis = L"FirstChannel:1\nZeroChannel:2.5\n";
    SpectrumData s = from_text(axis + L"ChannelPrice(mm/s):1.5\nSpectrum:100 200 300 400\n");
    const SpectrumData reversed = from_text(axis + L"ChannelPrice(mm/s):-0.5\nSpectrum:1 2 3 4\n");
    ASSERT_EQ(reversed.y_data, (Values{4, 3, 2, 1}));  // sorted by increasing velocity
    s.add_counts(reversed);
    EXPECT_EQ(s.y_data, (Values{101, 202, 303, 404}));
    EXPECT_NEAR(s.std_dev_data[0], std::sqrt(101.0), 1e-12);
    EXPECT_NEAR(s.x_data[0], -2.25, 1e-12);  // this spectrum's velocities stay

    // Deviations that one side stores add in quadrature to the other's, and are stored.
    SpectrumData counted = from_text(axis + L"ChannelPrice(mm/s):1\nSpectrum:100 100 100 100\n");
    counted.add_counts(from_text(axis + L"ChannelPrice(mm/s):1\nSpectrum:1 1 1 1\nStdDevSpectrum:20 20 20 20\n"));
    EXPECT_NEAR(counted.std_dev_data[3], std::hypot(10.0, 20.0), 1e-12);
    counted.store_keywords();
    KeywordList list = counted.keywords;
    SpectrumData reread;
    reread.load_keywords(list);
    EXPECT_NEAR(reread.std_dev_data[3], std::hypot(10.0, 20.0), 1e-6);
}

TEST(SpectrumEdits, AddCountsRefusesAnotherChannelCount)
{
    SpectrumData s = from_text(L"ChannelPrice(mm/s):1\nSpectrum:1 2 3\n");
    const SpectrumData original = s;
    for (const wchar_t* other : {L"ChannelPrice(mm/s):1\nSpectrum:1 2\n", L"ChannelPrice(mm/s):1\nSpectrum:1 2 3 4\n"}) {
        try {
            s.add_counts(from_text(other));
            ADD_FAILURE() << "accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("channels number"), std::string::npos) << e.what();
        }
        EXPECT_EQ(s.y_data, original.y_data);
    }
    SpectrumData empty;
    EXPECT_THROW(empty.add_counts(SpectrumData()), std::runtime_error);
}

// What the document's undo record does: the keyword list before the edit, read back,
// gives the spectrum before it exactly; the list after it gives the edited spectrum.
TEST(SpectrumEdits, EveryEditIsUndoneAndRedoneThroughItsKeywordLists)
{
    std::vector<double> kernel;
    savitzky_golay_coefficients(4, 3, 0, kernel);
    struct Edit {
        const char* name;
        std::wstring text;
        std::function<void(SpectrumData&)> apply;
    };
    const Edit edits[] = {
        {"remove", counts_text(), [](SpectrumData& s) { s.remove_x_interval(-0.3, 0.4); }},
        {"remove triples", triples_text(), [](SpectrumData& s) { s.remove_x_interval(-0.3, 0.4); }},
        {"decimate", counts_text(deviations_key()),
         [](SpectrumData& s) { s.decimate_by_2(); }},
        {"decimate counts", counts_text(), [](SpectrumData& s) { s.decimate_by_2(); }},
        {"decimate uncalibrated", L"FirstChannel:1\nZeroChannel:2\nChannelPrice(mm/s):1\nSpectrum:9 8 7 6 5 4 3\n",
         [](SpectrumData& s) { s.decimate_by_2(); }},
        {"decimate without a price", L"Spectrum:9 8 7 6 5 4 3\n", [](SpectrumData& s) { s.decimate_by_2(); }},
        {"decimate a falling axis", L"FirstChannel:1\nZeroChannel:3\nChannelPrice(mm/s):-0.5\nSpectrum:9 8 7 6 5 4 3\n",
         [](SpectrumData& s) { s.decimate_by_2(); }},
        {"filter", counts_text(), [&](SpectrumData& s) { s.apply_filter(kernel); }},
        {"filter triples", triples_text(), [&](SpectrumData& s) { s.apply_filter(kernel); }},
        {"reverse", counts_text(L"StdDev:300\n"), [](SpectrumData& s) { s.reverse_counts(); }},
        {"add", counts_text(), [](SpectrumData& s) { s.add_counts(from_text(counts_text(deviations_key()))); }},
        {"counts", counts_text(), [](SpectrumData& s) {
             Values y = s.y_data, sigma = s.std_dev_data;
             for (double& v : y)
                 v *= 2;
             s.set_counts_and_std_dev(y, sigma);
         }},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        SpectrumData s = from_text(e.text);
        s.store_keywords();
        const KeywordList before = s.keywords;
        const SpectrumData original = s;

        e.apply(s);
        s.store_keywords();
        const KeywordList after = s.keywords;

        KeywordList undo = before;
        s.load_keywords(undo);
        s.keywords = undo;
        EXPECT_EQ(s.x_data, original.x_data);
        EXPECT_EQ(s.y_data, original.y_data);
        EXPECT_EQ(s.std_dev_data, original.std_dev_data);

        SpectrumData edited = from_text(e.text);
        e.apply(edited);
        KeywordList redo = after;
        s.load_keywords(redo);
        ASSERT_EQ(s.x_data.size(), edited.x_data.size());
        for (std::size_t i = 0; i < s.x_data.size(); ++i) {
            EXPECT_NEAR(s.x_data[i], edited.x_data[i], 1e-9);
            EXPECT_NEAR(s.y_data[i], edited.y_data[i], 1e-6 * std::fabs(edited.y_data[i]));
            EXPECT_NEAR(s.std_dev_data[i], edited.std_dev_data[i], 1e-6 * edited.std_dev_data[i]);
        }
    }
}

}  // namespace

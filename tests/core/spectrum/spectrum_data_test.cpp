#include "core/spectrum/spectrum_data.h"

#include <cctype>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/text/kwfile.h"
#include "core/spectrum/report_text.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "tests/support/scripted_user_interface.h"

namespace {

using Values = std::vector<double>;

std::wstring fixture(const char* name)
{
    return utf8_to_wide(std::string(VX_TEST_DATA_DIR "/spectra/") + name);
}

std::wstring value_of(const KeywordList& list, const std::wstring& key)
{
    std::wstring value;
    EXPECT_TRUE(kwlist_find(list, key, value)) << wide_to_utf8(key);
    return value;
}

int flags_of(const KeywordList& list, const std::wstring& key)
{
    for (const auto& [k, data] : list)
        if (k == key)
            return data.flags;
    ADD_FAILURE() << "no key " << wide_to_utf8(key);
    return -1;
}

void expect_same_lists(const KeywordList& a, const KeywordList& b)
{
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].first, b[i].first);
        EXPECT_EQ(a[i].second.value, b[i].second.value) << wide_to_utf8(a[i].first);
        EXPECT_EQ(a[i].second.flags, b[i].second.flags) << wide_to_utf8(a[i].first);
    }
}

void expect_same_points(const SpectrumData& a, const SpectrumData& b)
{
    EXPECT_EQ(a.x(), b.x());
    EXPECT_EQ(a.y(), b.y());
    EXPECT_EQ(a.std_dev(), b.std_dev());
}

SpectrumData from_text(const std::wstring& text)
{
    SpectrumData s;
    s.load_text(text);
    return s;
}

// Saves through the keyword writer and reads the text back into a new spectrum.
SpectrumData saved_and_reloaded(SpectrumData& s)
{
    s.store_keywords();
    return from_text(kwfile_save_to_memory(s.keywords));
}

Values square_roots(const Values& y)
{
    Values r;
    for (double v : y)
        r.push_back(std::sqrt(std::fabs(v)));
    return r;
}

// ---- Reading ----

TEST(SpectrumFile, EveryLayoutAndEncodingGivesTheSameFourPoints)
{
    // The axis example: channels 1 to 4, zero channel 2.5, price 0.5.
    const Values x{-0.75, -0.25, 0.25, 0.75};
    const Values y{10, 20, 30, 40};
    const struct {
        const char* file;
        Values std_dev;
    } cases[] = {
        {"four_counts.spc", square_roots(y)},        // "Data", UTF-8 with mark, CR LF
        {"four_counts_utf16.spc", square_roots(y)},  // "Spectrum", UTF-16LE with mark, CR LF
        {"four_pairs_lf.spc", square_roots(y)},      // unsorted pairs, no mark, LF
        {"four_pairs_bom_lf.spc", square_roots(y)},  // pairs separated by commas, mark, LF
        {"four_triples_crlf.spc", {1, 2, 3, 4}},     // triples, no mark, CR LF
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SpectrumData s;
        s.load_file(fixture(c.file));
        EXPECT_EQ(s.x(), x);
        EXPECT_EQ(s.y(), y);
        EXPECT_EQ(s.std_dev(), c.std_dev);
        EXPECT_TRUE(s.absorption.valid);
    }
}

TEST(SpectrumFile, DataKeysAndCalibrationKeysByPrecedence)
{
    const struct {
        const wchar_t* text;
        Values x, y;
    } cases[] = {
        {L"Spectrum:1 2\nData:5 6\n", {1, 2}, {1, 2}},
        {L"Data:5 6\nVelocitySpectrum:0 1 1 2\n", {1, 2}, {5, 6}},
        {L"VelocitySpectrumStdDev:0 9 1\nVelocitySpectrum:0 1 1 2\n", {0, 1}, {1, 2}},
        {L"VelocitySpectrumStdDev:1 10 1 0 20 2\n", {0, 1}, {20, 10}},
        {L"VelocitySpectrum:3 30 1 10 2 20\n", {1, 2, 3}, {10, 20, 30}},
        {L"(mm/s)PerChannel:2\nChannelPrice(mm/s):3\nSpectrum:1 2\n", {2, 4}, {1, 2}},
        {L"(mm/s)PerChannel: \nChannelPrice(mm/s):3\nSpectrum:1 2\n", {3, 6}, {1, 2}},  // blank: absent
        {L"ChannelPrice(mm/s):0.5 mm/s\nZeroChannel:\nSpectrum:1 2\n", {0.5, 1}, {1, 2}},
        {L"ChannelPrice(mm/s):3\nZeroChannel:1\nFirstChannel:0\nSpectrum:1 2\n", {-3, 0}, {1, 2}},
        {L"Spectrum:\n1, 2,\n3\nEndSpectrum:\n", {1, 2, 3}, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        const SpectrumData s = from_text(c.text);
        EXPECT_EQ(s.x(), c.x);
        EXPECT_EQ(s.y(), c.y);
    }
}

TEST(SpectrumFile, CountsWithoutCalibrationGetTransientKeysAndAKeptNonresonantPart)
{
    SpectrumData s = from_text(L"Comment:plain counts\nSpectrum:1 2 3\n");
    EXPECT_EQ(s.x(), (Values{1, 2, 3}));
    EXPECT_EQ(value_of(s.keywords, L"ChannelPrice(mm/s)"), L"1.000000");
    EXPECT_EQ(flags_of(s.keywords, L"ChannelPrice(mm/s)"), KWTransient);
    EXPECT_EQ(value_of(s.keywords, L"ZeroChannel"), L"0.000000");
    EXPECT_EQ(flags_of(s.keywords, L"ZeroChannel"), KWTransient);
    EXPECT_EQ(value_of(s.keywords, L"NonresonantPart"), L"0.000000");
    EXPECT_EQ(flags_of(s.keywords, L"NonresonantPart"), 0);
    EXPECT_EQ(flags_of(s.keywords, L"Spectrum"), KWHidden);

    s.store_keywords();
    const std::wstring text = kwfile_save_to_memory(s.keywords);
    EXPECT_NE(text.find(L"Spectrum:      1       2       3\n"), std::wstring::npos) << wide_to_utf8(text);
    EXPECT_NE(text.find(L"NonresonantPart:0.000000\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"ChannelPrice"), std::wstring::npos);
    EXPECT_EQ(text.find(L"ZeroChannel"), std::wstring::npos);
}

TEST(SpectrumFile, ItemAndMultipleTransformTheCountsOnceAndVanish)
{
    const struct {
        const wchar_t* text;
        Values y;
    } cases[] = {
        {L"Item:10\nMultiple:2\nSpectrum:1 2\n", {22, 24}},
        {L"Multiple:0\nItem:1\nSpectrum:1 2\n", {0, 0}},
        {L"Item: \nMultiple:\nSpectrum:1 2\n", {1, 2}},
        {L"Item:1\nItem:5\nVelocitySpectrum:0 1 1 2\n", {2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        SpectrumData s = from_text(c.text);
        EXPECT_EQ(s.y(), c.y);
        EXPECT_FALSE(kwlist_has(s.keywords, L"Item"));
        EXPECT_FALSE(kwlist_has(s.keywords, L"Multiple"));
        // Saved and read again, the counts are not transformed a second time.
        EXPECT_EQ(saved_and_reloaded(s).y(), c.y);
    }
}

TEST(SpectrumFile, DeviationsFromFileSingleValueOrPoisson)
{
    const struct {
        const wchar_t* text;
        Values std_dev;
    } cases[] = {
        {L"StdDevSpectrum:0.5 0.25\nStdDev:3\nSpectrum:4 9\n", {0.5, 0.25}},
        {L"StdDev:3\nSpectrum:4 9\n", {3, 3}},
        {L"StdDev:\nSpectrum:4 9\n", {2, 3}},
        {L"Spectrum:4 -9\n", {2, 3}},
        {L"StdDevSpectrum:1\nVelocitySpectrumStdDev:0 4 7\n", {7}},  // triples carry their own
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        EXPECT_EQ(from_text(c.text).std_dev(), c.std_dev);
    }
}

TEST(SpectrumFile, AFailedLoadLeavesTheSpectrumAsItWas)
{
    const struct {
        const wchar_t* text;
        const char* message;
    } cases[] = {
        {L"Comment:no data\nNumbers:1 2 3\n",
         "The file contains no data points: a spectrum file needs one of the keys Spectrum, Data, VelocitySpectrum "
         "or VelocitySpectrumStdDev"},
        {L"Spectrum:1 x 3\n", "Invalid floating point format for <Spectrum>: x 3"},
        {L"FirstChannel:abc\nVelocitySpectrum:0 1\n", "Invalid integer format for <FirstChannel>: abc"},
        {L"Item:5\nStdDevSpectrum:1 y\nSpectrum:1 2\n", "Invalid floating point format for <StdDevSpectrum>: y"},
        // Numbers the reader needs are refused when they do not read.
        {L"ChannelPrice(mm/s):abc\nSpectrum:1 2\n", "Invalid floating point format for <ChannelPrice(mm/s)>: abc"},
        {L"(mm/s)PerChannel:x\nChannelPrice(mm/s):3\nSpectrum:1 2\n",
         "Invalid floating point format for <(mm/s)PerChannel>: x"},
        {L"ZeroChannel:middle\nData:1 2\n", "Invalid floating point format for <ZeroChannel>: middle"},
        {L"StdDev:abc\nSpectrum:4 9\n", "Invalid floating point format for <StdDev>: abc"},
        {L"Item:abc\nSpectrum:1 2\n", "Invalid floating point format for <Item>: abc"},
        // Every point needs all its numbers.
        {L"VelocitySpectrum:0 1 1 2 2\n", "The number of values in <VelocitySpectrum> (5) is not a multiple of 2"},
        {L"VelocitySpectrumStdDev:0 1 1 1\n",
         "The number of values in <VelocitySpectrumStdDev> (4) is not a multiple of 3"},
        {L"StdDevSpectrum:0.5\nStdDev:3\nSpectrum:4 9\n",
         "The number of values in <StdDevSpectrum> (1) differs from the number of points (2)"},
        // Numbers that are not finite, as written or as they come out.
        {L"Spectrum:1 nan 3\n", "Value 2 of <Spectrum> is not a finite number"},
        {L"VelocitySpectrum:0 1 inf 2\n", "Value 3 of <VelocitySpectrum> is not a finite number"},
        {L"VelocitySpectrumStdDev:0 1 1e400\n", "Value 3 of <VelocitySpectrumStdDev> is not a finite number"},
        {L"ChannelPrice(mm/s):-inf\nSpectrum:1 2\n", "Value 1 of <ChannelPrice(mm/s)> is not a finite number"},
        {L"ZeroChannel:nan\nData:1 2\n", "Value 1 of <ZeroChannel> is not a finite number"},
        {L"StdDevSpectrum:1 nan\nSpectrum:1 2\n", "Value 2 of <StdDevSpectrum> is not a finite number"},
        {L"StdDev:1e999\nSpectrum:1 2\n", "Value 1 of <StdDev> is not a finite number"},
        {L"Multiple:1e308\nSpectrum:1 1e308\n", "Value 2 of <Spectrum> is not a finite number"},
        {L"Item:1e308\nVelocitySpectrum:0 1e308 1 1\n", "Value 2 of <VelocitySpectrum> is not a finite number"},
        {L"ChannelPrice(mm/s):1e300\nZeroChannel:-1e300\nSpectrum:1\n", "Value 1 of <Spectrum> is not a finite number"},
        // Channel numbers that "FirstChannel" and "LastChannel" cannot carry.
        {L"FirstChannel:-6\nSpectrum:1 2 3\n",
         "<FirstChannel> -6 does not suit 3 points: channel numbers must lie between 0 and 2147483647"},
        {L"FirstChannel:2147483647\nVelocitySpectrum:0 1 1 2\n",
         "<FirstChannel> 2147483647 does not suit 2 points: channel numbers must lie between 0 and 2147483647"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        SpectrumData s;
        s.load_file(fixture("four_counts.spc"));
        const SpectrumData before = s;
        try {
            s.load_text(c.text);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        expect_same_points(s, before);
        expect_same_lists(s.keywords, before.keywords);
        EXPECT_EQ(s.absorption.N0, before.absorption.N0);
        EXPECT_EQ(s.absorption.lines.size(), before.absorption.lines.size());

        // Reading a list in place: on an error the list keeps every entry as it was.
        KeywordList list;
        kwfile_load_from_memory(c.text, list);
        const KeywordList copy = list;
        EXPECT_THROW(s.load_keywords(list), std::runtime_error);
        expect_same_lists(list, copy);
        expect_same_points(s, before);
    }
    SpectrumData s;
    EXPECT_THROW(s.load_file(fixture("no_such_file.spc")), std::runtime_error);
}

// ---- Writing ----

TEST(SpectrumFile, DataBlocksAreWrittenInTheirFormats)
{
    const struct {
        const wchar_t* text;
        const wchar_t* key;
        const wchar_t* stored;
    } cases[] = {
        {L"Spectrum:1 2\n", L"Spectrum", L"      1       2"},
        {L"Spectrum:1 -2.5\n", L"Spectrum", L"1.0000000 -2.5000000"},
        {L"StdDev:1\nSpectrum:1 2\n", L"Spectrum", L"1.0000000 2.0000000"},
        {L"Data:1 2 3 4 5 6 7 8 9\n", L"Data",
         L"      1       2       3       4       5       6       7       8\n      9"},
        {L"VelocitySpectrum:1 10 2 20 3 30\n", L"VelocitySpectrum",
         L"1.0000000 10.0000000 2.0000000 20.0000000\n3.0000000 30.0000000"},
        {L"VelocitySpectrumStdDev:2 20 2 1 10 1\n", L"VelocitySpectrumStdDev",
         L"1.0000000 10.0000000 1.0000000\n2.0000000 20.0000000 2.0000000"},
        {L"StdDevSpectrum:0.5 0.25\nSpectrum:1 2\n", L"StdDevSpectrum", L"0.5000000 0.2500000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        SpectrumData s = from_text(c.text);
        s.store_keywords();
        EXPECT_EQ(value_of(s.keywords, c.key), c.stored);
        EXPECT_EQ(flags_of(s.keywords, c.key), KWHidden);
        EXPECT_EQ(value_of(s.keywords, L"Vexmoor"), L"1.0");
        EXPECT_EQ(flags_of(s.keywords, L"Vexmoor"), KWHidden);
        EXPECT_EQ(value_of(s.keywords, L"NumberChannel"), std::to_wstring(s.x().size()));
    }
}

TEST(SpectrumFile, SavedCountsFileIsByteExact)
{
    SpectrumData s;
    s.load_file(fixture("four_counts.spc"));
    s.store_keywords();
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("vx_spectrum_saved_" + std::to_string(std::random_device{}()) + ".spc");
    kwfile_save(path.wstring(), s.keywords);
    EXPECT_EQ(read_binary_file(path.wstring()), read_binary_file(fixture("four_counts_saved.spc")));
    std::filesystem::remove(path);
}

TEST(SpectrumFile, ChannelKeysFollowThePointCount)
{
    SpectrumData s = from_text(L"FirstChannel:5\nLastChannel:1\nSpectrum:1 2 3\n");
    s.store_keywords();
    EXPECT_EQ(value_of(s.keywords, L"LastChannel"), L"7");
    EXPECT_EQ(value_of(s.keywords, L"NumberChannel"), L"3");

    // The last channel is computed wide: up to the largest channel number and no further.
    SpectrumData top = from_text(L"FirstChannel:2147483646\nSpectrum:1 2\n");
    top.store_keywords();
    EXPECT_EQ(value_of(top.keywords, L"LastChannel"), L"2147483647");
    top.x_data.push_back(3);
    top.y_data.push_back(3);
    top.std_dev_data.push_back(1);
    top.store_keywords();  // a third point has no channel number: no last channel is written
    EXPECT_FALSE(kwlist_has(top.keywords, L"LastChannel"));
    EXPECT_EQ(value_of(top.keywords, L"NumberChannel"), L"3");

    SpectrumData empty = from_text(L"FirstChannel:1\nLastChannel:4\nNumberChannel:4\nSpectrum:\n");
    EXPECT_TRUE(empty.x().empty());
    EXPECT_FALSE(empty.absorption.valid);
    empty.store_keywords();
    EXPECT_FALSE(kwlist_has(empty.keywords, L"NumberChannel"));
    EXPECT_FALSE(kwlist_has(empty.keywords, L"FirstChannel"));
    EXPECT_FALSE(kwlist_has(empty.keywords, L"LastChannel"));
}

// Every layout reads back as the same spectrum after a save: the counts of a negative
// channel price stay in channel order, deviations stay with their points, velocities
// stay velocities when a price key is present, and the key the reader takes is the
// one written.
TEST(SpectrumFile, SaveAndReloadGiveTheSameSpectrum)
{
    const struct {
        const wchar_t* text;
        Values x, y, std_dev;
        const wchar_t* key;  // the data block after the save
    } cases[] = {
        {L"ChannelPrice(mm/s):-0.5\nZeroChannel:2.5\nFirstChannel:1\nStdDevSpectrum:1 2 3 4\nSpectrum:10 20 30 40\n",
         {-0.75, -0.25, 0.25, 0.75}, {40, 30, 20, 10}, {4, 3, 2, 1}, L"Spectrum"},
        {L"ChannelPrice(mm/s):0.5\nZeroChannel:2.5\nStdDevSpectrum:1 2 3 4\nData:10 20 30 40\n",
         {-0.75, -0.25, 0.25, 0.75}, {10, 20, 30, 40}, {1, 2, 3, 4}, L"Data"},
        {L"StdDevSpectrum:3 1 2\nVelocitySpectrum:0.5 30 -0.5 10 0 20\n", {-0.5, 0, 0.5}, {10, 20, 30}, {1, 2, 3},
         L"VelocitySpectrum"},
        {L"ChannelPrice(mm/s):0.1\nVelocitySpectrum:-1 10 0.3 20 2 30\n", {-1, 0.3, 2}, {10, 20, 30},
         square_roots({10, 20, 30}), L"VelocitySpectrum"},
        {L"(mm/s)PerChannel:0.1\nVelocitySpectrumStdDev:2 30 3 -1 10 1 0.3 20 2\n", {-1, 0.3, 2}, {10, 20, 30},
         {1, 2, 3}, L"VelocitySpectrumStdDev"},
        {L"Data:5 6\nSpectrum:1 2\n", {1, 2}, {1, 2}, square_roots({1, 2}), L"Spectrum"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(wide_to_utf8(c.text));
        SpectrumData s = from_text(c.text);
        EXPECT_EQ(s.x(), c.x);
        EXPECT_EQ(s.y(), c.y);
        EXPECT_EQ(s.std_dev(), c.std_dev);
        // Deviations reread from the list as loaded keep their points too (triples carry
        // theirs only into the load).
        if (!kwlist_has(s.keywords, L"VelocitySpectrumStdDev")) {
            s.compute_std_dev(s.keywords);
            EXPECT_EQ(s.std_dev(), c.std_dev);
        }

        const SpectrumData again = saved_and_reloaded(s);
        expect_same_points(again, s);
        std::wstring key;
        for (const wchar_t* k : {L"Spectrum", L"Data", L"VelocitySpectrum", L"VelocitySpectrumStdDev"})
            if (key.empty() && kwlist_has(s.keywords, k))
                key = k;
        EXPECT_EQ(key, c.key);
        // A second save writes the same list.
        SpectrumData third = again;
        third.store_keywords();
        EXPECT_EQ(kwfile_save_to_memory(third.keywords), kwfile_save_to_memory(s.keywords));
    }
}

TEST(SpectrumFile, NegativePriceCountsAreStoredInChannelOrder)
{
    SpectrumData s = from_text(L"ChannelPrice(mm/s):-0.5\nStdDevSpectrum:1 2 3\nSpectrum:10 20 30\n");
    s.store_keywords();
    EXPECT_EQ(value_of(s.keywords, L"Spectrum"), L"10.0000000 20.0000000 30.0000000");
    EXPECT_EQ(value_of(s.keywords, L"StdDevSpectrum"), L"1.0000000 2.0000000 3.0000000");

    // Replacing counts and deviations keeps the block order as well.
    s.set_counts_and_std_dev({7, 8, 9}, {0.7, 0.8, 0.9});
    EXPECT_EQ(value_of(s.keywords, L"StdDevSpectrum"), L"0.9000000 0.8000000 0.7000000");
    s.compute_std_dev(s.keywords);
    EXPECT_EQ(s.std_dev(), (Values{0.7, 0.8, 0.9}));
}

// Counts or deviations of another length than the velocities are refused where they
// are set, and the writer reads no vector past its end, whatever the layout.
TEST(SpectrumData, VectorsOfAnotherLengthAreRefused)
{
    SpectrumData s = from_text(L"Spectrum:1 2 3\n");
    EXPECT_THROW(s.set_y({1, 2, 3, 4, 5, 6, 7, 8, 9}), std::invalid_argument);
    EXPECT_THROW(s.set_y({1}), std::invalid_argument);
    EXPECT_EQ(s.y(), (Values{1, 2, 3}));
    s.set_y({4, 5, 6});
    EXPECT_EQ(s.y(), (Values{4, 5, 6}));

    for (const wchar_t* text : {L"Spectrum:1 2 3\n", L"VelocitySpectrum:0 1 1 2 2 3\n",
                                L"StdDevSpectrum:1 1 1\nVelocitySpectrumStdDev:0 1 1 1 2 1 2 3 1\n"}) {
        SCOPED_TRACE(wide_to_utf8(text));
        for (int which = 0; which < 2; ++which) {
            SpectrumData bad = from_text(text);
            bad.store_keywords();
            const KeywordList before = bad.keywords;
            (which == 0 ? bad.y_data : bad.std_dev_data).resize(1000, 1.0);
            EXPECT_THROW(bad.store_keywords(), std::logic_error);
            (which == 0 ? bad.y_data : bad.std_dev_data).resize(1);
            EXPECT_THROW(bad.store_keywords(), std::logic_error);
            expect_same_lists(bad.keywords, before);
        }
    }
}

// ---- Operations ----

TEST(SpectrumData, SetCountsAndStdDevKeepsStoredDeviationsOnly)
{
    SpectrumData stored = from_text(L"StdDev:1\nSpectrum:1 2\n");
    stored.set_counts_and_std_dev({4, 9}, {0.5, 0.25});
    EXPECT_EQ(stored.y(), (Values{4, 9}));
    EXPECT_EQ(stored.std_dev(), (Values{0.5, 0.25}));
    EXPECT_EQ(value_of(stored.keywords, L"StdDevSpectrum"), L"0.5000000 0.2500000");
    EXPECT_EQ(flags_of(stored.keywords, L"StdDevSpectrum"), KWHidden);

    SpectrumData poisson = from_text(L"Spectrum:1 2\n");
    poisson.set_counts_and_std_dev({4, 9}, {0.5, 0.25});
    EXPECT_EQ(poisson.std_dev(), (Values{2, 3}));
    EXPECT_FALSE(kwlist_has(poisson.keywords, L"StdDevSpectrum"));
    EXPECT_THROW(poisson.set_counts_and_std_dev({1}, {1}), std::invalid_argument);
}

TEST(SpectrumData, GeneratedAxisIsDescribedByItsCalibrationKeys)
{
    SpectrumData s = from_text(L"VelocitySpectrum:0 1 1 2\n");
    s.make_velocity_axis(5, -2, 2);
    EXPECT_EQ(s.x(), (Values{-2, -1, 0, 1, 2}));
    EXPECT_EQ(s.y(), Values(5, 0.0));
    EXPECT_EQ(value_of(s.keywords, L"FirstChannel"), L"1");
    EXPECT_EQ(value_of(s.keywords, L"LastChannel"), L"5");
    EXPECT_EQ(value_of(s.keywords, L"ChannelPrice(mm/s)"), L"1.000000");
    EXPECT_EQ(value_of(s.keywords, L"ZeroChannel"), L"3.000000");
    EXPECT_THROW(s.make_velocity_axis(1, 0, 1), std::invalid_argument);

    // Counts on a generated axis are stored as counts and read back on the same axis.
    SpectrumData counts;
    counts.make_velocity_axis(4, -1.5, 1.5);
    counts.set_y({5, 6, 7, 8});
    counts.compute_std_dev(counts.keywords);
    const SpectrumData again = saved_and_reloaded(counts);
    EXPECT_EQ(again.x(), counts.x());
    EXPECT_EQ(again.y(), counts.y());
    EXPECT_TRUE(kwlist_has(counts.keywords, L"Spectrum"));
}

TEST(SpectrumData, ZeroChannelIsCountedFromTheFirstChannel)
{
    SpectrumData s = from_text(L"FirstChannel:3\nSpectrum:1 2\n");
    s.set_zero_channel(1.5);
    EXPECT_EQ(value_of(s.keywords, L"ZeroChannel"), L"4.500000");
    EXPECT_EQ(flags_of(s.keywords, L"ZeroChannel"), 0);
    SpectrumData pairs = from_text(L"VelocitySpectrum:0 1\n");
    pairs.set_zero_channel(-0.25);
    EXPECT_EQ(value_of(pairs.keywords, L"ZeroChannel"), L"0.750000");
}

TEST(SpectrumData, AssignTakesOverTheKeywordList)
{
    SpectrumData source = from_text(L"Title:a\nSpectrum:1 2\n");
    SpectrumData target = from_text(L"VelocitySpectrum:5 6\n");
    target.assign(source);
    EXPECT_EQ(target.x(), (Values{1, 2}));
    EXPECT_EQ(value_of(target.keywords, L"Title"), L"a");
    EXPECT_TRUE(source.keywords.empty());
    EXPECT_EQ(source.x(), (Values{1, 2}));
}

TEST(SpectrumData, ReadsThroughIModelData)
{
    SpectrumData s;
    s.load_file(fixture("four_counts.spc"));
    const IModelData& data = s;
    EXPECT_EQ(&data.x(), &s.x_data);
    EXPECT_EQ(&data.analysis(false), &s.absorption);
    EXPECT_EQ(&data.analysis(true), &s.emission);
    EXPECT_EQ(data.analysis(true).N0, s.absorption.N0_e);
    s.absorption.depth = -12.5;
    EXPECT_EQ(data.depth(), 12.5);

    SpectrumData fresh;
    EXPECT_EQ(fresh.absorption.N0, 1e7);
    EXPECT_EQ(fresh.emission.N0, 10000.0);
    EXPECT_EQ(fresh.emission.depth, 10000.0);
}

TEST(SpectrumData, PropertyListShowsTheChosenReading)
{
    SpectrumData s;
    s.absorption.N0 = 1234.4;
    s.absorption.XSc = 12.3456;
    s.absorption.XSc_err = 0.0234;
    s.absorption.lines = {{-0.5, 0, 1}, {1.25, 0, 7}};
    s.emission = s.absorption.emission_reading();

    PropertyList list;
    s.property_list(list, false, false);
    ASSERT_EQ(list.size(), 9u);
    EXPECT_EQ(list[0], (std::pair<std::wstring, std::wstring>{L"N0 (imp)", L"1234"}));
    EXPECT_EQ(list[2].second, L"6.000");
    EXPECT_EQ(list[6], (std::pair<std::wstring, std::wstring>{L"XSc", L"12.346±0.023"}));

    list.clear();
    s.property_list(list, false, true);
    ASSERT_EQ(list.size(), 10u);
    EXPECT_EQ(list[9], (std::pair<std::wstring, std::wstring>{L"Lines", L"-0.500, 1.250"}));

    list.clear();
    s.property_list(list, true, true);  // the emission reading of these fields: no lines
    EXPECT_EQ(list[0].second, L"10000");
    EXPECT_EQ(list.size(), 9u);
}

// Quantities without a finite value are shown empty, errors without one left out; the
// record keeps its values.
TEST(SpectrumData, PropertyListNeverShowsNanOrInfinity)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    SpectrumData s;
    s.absorption.Q = inf;
    s.absorption.Dv = -0.25;  // signals of both signs: no square root
    s.absorption.Dv_err = 0.01;
    s.absorption.XSc = 1.5;
    s.absorption.XSc_err = nan;
    s.absorption.S = -inf;
    s.emission = s.absorption.emission_reading();
    s.emission.Dv = 0.0;
    s.emission.Dv_err = 0.5;  // Sv 0: its error would be 0.5·0.5/0

    PropertyList absorption, emission;
    s.property_list(absorption, false, false);
    s.property_list(emission, true, false);
    EXPECT_EQ(absorption[1].second, L"");         // Q
    EXPECT_EQ(absorption[5].second, L"");         // S
    EXPECT_EQ(absorption[6].second, L"1.500");    // XSc without its error
    EXPECT_EQ(absorption[7].second, L"-0.250±0.010");  // Dv
    EXPECT_EQ(absorption[8].second, L"");         // Sv
    EXPECT_EQ(emission[8].second, L"0.000");
    EXPECT_EQ(s.absorption.Q, inf);
    EXPECT_EQ(s.absorption.Dv, -0.25);

    // Loaded spectra whose deviations are zero, so that Q divides by zero.
    for (const wchar_t* text : {L"StdDev:0\nSpectrum:5 5 5 5 5 5 4 5 5 5 5 5\n", L"StdDev:0\nSpectrum:5 5 5 5 5 5 5\n",
                                L"Spectrum:0 0 0 0 0 0 0 0 0 0 0 0 0\n"}) {
        SCOPED_TRACE(wide_to_utf8(text));
        const SpectrumData loaded = from_text(text);
        for (bool reading : {false, true}) {
            PropertyList list;
            loaded.property_list(list, reading, true);
            for (const auto& [label, value] : list) {
                std::string v = wide_to_utf8(value);
                for (char& c : v) c = char(std::tolower(static_cast<unsigned char>(c)));
                EXPECT_EQ(v.find("nan"), std::string::npos) << wide_to_utf8(label) << ": " << v;
                EXPECT_EQ(v.find("inf"), std::string::npos) << wide_to_utf8(label) << ": " << v;
            }
        }
    }
}

TEST(SpectrumData, EditPropertiesRereadsOrKeepsTheSpectrum)
{
    // The keyword-list editor, played by the test.
    test_support::ScriptedUserInterface editor;
    const struct {
        const char* what;
        std::function<int(KeywordList&)> edit;
        bool result;
        Values y;
        const char* box;
    } cases[] = {
        {"cancelled", [](KeywordList& l) { kwlist_set(l, L"Item", L"1"); return 2; }, false, {10, 20, 30, 40}, ""},
        {"confirmed", [](KeywordList& l) { kwlist_set(l, L"Item", L"1"); return 1; }, true, {11, 21, 31, 41}, ""},
        {"unreadable", [](KeywordList& l) { kwlist_set(l, L"Data", L"1 x"); return 1; }, false, {10, 20, 30, 40},
         "Invalid floating point format for <Data>: x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SpectrumData s;
        s.load_file(fixture("four_counts.spc"));
        s.store_keywords();
        const SpectrumData before = s;
        editor.edit = c.edit;
        editor.boxes.clear();
        EXPECT_EQ(s.edit_properties(0), c.result);
        EXPECT_EQ(s.y(), c.y);
        using Box = test_support::ScriptedUserInterface::Box;
        const Box box = editor.boxes.empty() ? Box{} : editor.boxes.back();
        EXPECT_EQ(wide_to_utf8(box.text), c.box);
        if (!c.result) {
            expect_same_lists(s.keywords, before.keywords);
        } else {
            EXPECT_FALSE(kwlist_has(s.keywords, L"Item"));
        }
        if (*c.box) {
            EXPECT_EQ(box.caption, L"Error");
        }
    }
}

TEST(SpectrumData, FormatDataBlockLayout)
{
    std::wstring text = L"old";
    format_data_block({}, L"%.1f", text);
    EXPECT_EQ(text, L"");
    format_data_block({1, 2, 3, 4, 5}, L"%.1f", text, nullptr);
    EXPECT_EQ(text, L"1.0 2.0 3.0 4.0 5.0");
    const Values w{6, 7, 8};
    format_data_block({1, 2, 3}, L"%g", text, &w);
    EXPECT_EQ(text, L"1 6 2 7\n3 8");
    EXPECT_THROW(format_data_block({1}, L"%g", text, &w), std::invalid_argument);
}

// ---- Report and dialog texts ----

TEST(ReportText, AppendKeywordLine)
{
    KeywordList list;
    kwfile_load_from_memory(L"Title:a\nEmpty:\n", list);
    kwlist_set(list, L"Lines", L"a\r\nb");
    const struct {
        const wchar_t* text;
        const wchar_t* key;
        const wchar_t* result;
    } cases[] = {
        {L"", L"Title", L"Title: a"},
        {L"x", L"Title", L"x\r\nTitle: a"},
        {L"x", L"Lines", L"x\r\nLines: a\r\n\tb"},
        {L"x", L"Missing", L"x"},
        {L"x", L"Empty", L"x"},
    };
    for (const auto& c : cases) {
        std::wstring text = c.text;
        append_keyword_line(text, list, c.key);
        EXPECT_EQ(text, c.result) << wide_to_utf8(c.key);
    }
}

TEST(ReportText, CachedTailText)
{
    const CachedName name{L"Γ₁x", std::nullopt};
    const std::wstring& tail = cached_tail_text(name);
    EXPECT_EQ(tail, L"₁x");
    EXPECT_EQ(&cached_tail_text(name), &tail);
    EXPECT_EQ(cached_tail_text(CachedName{}), L"");
}

TEST(ReportText, MergeMarkedLinesKeepsTheListSortedAndUnique)
{
    SpectrumData s = from_text(L"VelocitySpectrum:0 10 1 11 2 12 3 13\n");
    std::vector<SpectrumLine> lines{{1.5, 99, 2}};
    merge_marked_lines(s, lines, {0.5, 0.5, 5, 1.5, 2, -1});
    ASSERT_EQ(lines.size(), 4u);
    const struct {
        double x, count;
        int index;
    } expected[] = {{-1, 10, 0}, {0.5, 11, 1}, {1.5, 99, 2}, {2, 12, 2}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].x, expected[i].x);
        EXPECT_EQ(lines[i].count, expected[i].count);
        EXPECT_EQ(lines[i].index, expected[i].index);
    }
}

}  // namespace

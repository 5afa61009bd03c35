// The data keys of a spectrum file, shared by SpectrumData's reading and writing: which
// block holds the points, the velocity axis that counts stand on, and the order in
// which a block lists the points.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/kwfile.h"

// How the points are stored, in the reader's order of preference.
enum class DataForm { counts, pairs, triples };

struct DataBlock {
    DataForm form = DataForm::counts;
    std::wstring key;  // "Spectrum", "Data", "VelocitySpectrum" or "VelocitySpectrumStdDev"
    std::vector<double> x, y, sigma;  // in block order; sigma only for triples
};

// The data key the reader takes: the first present of "Spectrum", "Data" (counts),
// "VelocitySpectrum" (pairs) and "VelocitySpectrumStdDev" (triples).
std::optional<DataForm> stored_data_form(const KeywordList& list, std::wstring* key = nullptr);

// The channel price: "(mm/s)PerChannel", else "ChannelPrice(mm/s)"; false when neither reads.
// Every reader of the price takes the keys in this one order, the order of the axis.
bool channel_price(const KeywordList& list, double& price);
// The key channel_price read the price from; empty when neither reads.
std::wstring_view channel_price_key(const KeywordList& list, double& price);

// True when the points stand on the channel axis: the list has a channel price and holds
// its points as counts (or holds none yet). store_keywords then writes counts; spectra of
// velocity pairs or triples have no channels to calibrate or merge.
bool stands_on_channels(const KeywordList& list);

// True when the list keeps deviations of its own ("StdDevSpectrum", "StdDev" or velocity
// triples) rather than taking them from the counts.
bool stores_deviations(const KeywordList& list);

// The velocity of channels FirstChannel … FirstChannel + n − 1 (defaults: first channel 1,
// price 1, zero channel 0). Throws on an unreadable "FirstChannel".
std::vector<double> counts_axis(const KeywordList& list, std::size_t n);

// The points of the block the reader takes. Throws message 50080 when there is none,
// 50081 for a number that is not finite, 50082 for pairs or triples with numbers left
// over, 50084 for channels that cannot be stored, and the accessor errors for
// unreadable numbers (block values, the calibration keys of counts) or "FirstChannel".
DataBlock read_data_block(const KeywordList& list);

// The stable order that sorts x increasingly (a NaN sorts last): element i is the index
// of the i-th smallest value.
std::vector<std::size_t> increasing_order(const std::vector<double>& x);

// For each point of an n-point spectrum read from `list`, in increasing x, the index of
// its entry in the list's data block: the block's own order when its x values can be
// read for n points, else the identity.
std::vector<std::size_t> block_order(const KeywordList& list, std::size_t n);

// Deviations for the counts y from the list: "StdDevSpectrum" when it holds one value
// per point (taken with the points' block order), else "StdDev", else sqrt(|y|).
std::vector<double> deviations_from_keywords(const KeywordList& list, const std::vector<double>& y);

// Writes `values` (in point order) under `key` as a block in the given block order,
// with `format`, eight to a line, flags KWHidden.
void set_block(KeywordList& list, std::wstring_view key, const std::vector<double>& values,
               const std::vector<std::size_t>& order, std::wstring_view format);

// x in a printf-style format for one double, under the "C" locale.
std::wstring format_number(std::wstring_view format, double x);

// In-place edits of one spectrum: cutting a velocity interval, filtering, merging pairs
// of channels, mirroring the counts and adding another spectrum's counts. Each leaves
// the points, deviations, analysis and (where it says so) the keyword list consistent,
// so the document can keep the keyword lists before and after as its undo record.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "core/spectrum/fir_filter.h"
#include "core/spectrum/spectrum_data.h"
#include "core/spectrum/spectrum_file.h"
#include "core/text/messages.h"

void SpectrumData::remove_x_interval(double from, double to)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < x_data.size(); ++i) {
        if (!(x_data[i] < from || x_data[i] > to))
            continue;
        x_data[kept] = x_data[i];
        y_data[kept] = y_data[i];
        std_dev_data[kept] = std_dev_data[i];
        ++kept;
    }
    x_data.resize(kept);
    y_data.resize(kept);
    std_dev_data.resize(kept);
    for (std::wstring_view key : {L"ChannelPrice(mm/s)", L"(mm/s)PerChannel", L"Spectrum", L"Data"})
        kwlist_remove(keywords, key);
    update_analysis();
}

void SpectrumData::apply_filter(const std::vector<double>& kernel)
{
    std::vector<double> counts;
    fir_filter_vector(kernel, y_data, counts);
    std::vector<double> deviations = std_dev_data;
    if (stores_deviations(keywords))
        fir_filter_deviations(kernel, std_dev_data, deviations);
    set_counts_and_std_dev(counts, deviations);
    store_keywords();
}

bool SpectrumData::decimate_by_2()
{
    const std::size_t n = x_data.size();
    if (n < 2)
        return false;
    const std::size_t d = n / 2;

    // The keys are edited aside, so a key that does not read changes nothing.
    KeywordList list = keywords;
    double price = 0.0;
    const std::wstring_view price_key = channel_price_key(list, price);
    if (!price_key.empty() && price != 1.0) {
        kwlist_set_double(list, price_key, 2.0 * price, L"%f");
        double zero = 0.0;
        int first = 1;
        kwlist_get_int(list, L"FirstChannel", first);
        if (kwlist_get_double(list, L"ZeroChannel", zero))
            kwlist_set_double(list, L"ZeroChannel", first + (zero - first - 0.5) / 2.0, L"%f");
        double field_price = 0.0;
        if (kwlist_get_double(list, L"ChannelPrice(kOe)", field_price))
            kwlist_set_double(list, L"ChannelPrice(kOe)", 2.0 * field_price, L"%f");
    }
    int first = 0;
    int last = 0;
    if (kwlist_get_int(list, L"FirstChannel", first) && kwlist_get_int(list, L"LastChannel", last))
        kwlist_set_int(list, L"LastChannel", first + static_cast<int>(d) - 1);

    // Counts merge neighbouring channels, which run against x when the price is
    // negative, and stand where the new keys put the merged channels (an uncalibrated
    // spectrum keeps its keys, so its points are the new channel numbers); other
    // spectra merge neighbouring points at their mean x.
    const bool on_channels = stands_on_channels(keywords);
    std::vector<std::size_t> point(n);  // of each channel (or point), in x order
    if (on_channels) {
        const std::vector<std::size_t> channel = block_order(keywords, n);
        for (std::size_t i = 0; i < n; ++i)
            point[channel[i]] = i;
    } else {
        std::iota(point.begin(), point.end(), std::size_t{0});
    }
    std::vector<double> x(d), y(d), sigma(d);
    for (std::size_t i = 0; i < d; ++i) {
        const std::size_t a = point[2 * i];
        const std::size_t b = point[2 * i + 1];
        x[i] = (x_data[a] + x_data[b]) / 2.0;
        y[i] = y_data[a] + y_data[b];
        sigma[i] = std::sqrt(std_dev_data[a] * std_dev_data[a] + std_dev_data[b] * std_dev_data[b]);
    }
    if (on_channels)
        x = counts_axis(list, d);
    const std::vector<std::size_t> order = increasing_order(x);
    x_data.resize(d);
    y_data.resize(d);
    std_dev_data.resize(d);
    for (std::size_t i = 0; i < d; ++i) {
        x_data[i] = x[order[i]];
        y_data[i] = y[order[i]];
        std_dev_data[i] = sigma[order[i]];
    }
    keywords = std::move(list);
    update_analysis();
    store_keywords();
    return true;
}

bool SpectrumData::reverse_counts()
{
    if (y_data.empty())
        return false;
    std::reverse(y_data.begin(), y_data.end());
    std::reverse(std_dev_data.begin(), std_dev_data.end());
    update_analysis();
    store_keywords();
    return true;
}

void SpectrumData::add_counts(const SpectrumData& other)
{
    const std::size_t n = x_data.size();
    if (n == 0 || other.y_data.size() != n)
        throw std::runtime_error(MessageText(50038).to_utf8());
    // Points are sorted by velocity; the channels are the order of the stored blocks.
    const std::vector<std::size_t> mine = block_order(keywords, n);
    const std::vector<std::size_t> theirs = block_order(other.keywords, n);
    std::vector<std::size_t> point_of_channel(n);
    for (std::size_t j = 0; j < n; ++j)
        point_of_channel[theirs[j]] = j;
    std::vector<double> counts(n), deviations(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = point_of_channel[mine[i]];
        counts[i] = y_data[i] + other.y_data[j];
        deviations[i] = std::hypot(std_dev_data[i], other.std_dev_data[j]);
    }
    // Without stored deviations on either side the sum's own sqrt(|count|) is the same;
    // deviations the other file stores must not be lost to it.
    if (!stores_deviations(keywords) && stores_deviations(other.keywords))
        set_block(keywords, L"StdDevSpectrum", std_dev_data, mine, L"%.7f");
    set_counts_and_std_dev(counts, deviations);
    store_keywords();
}

unsigned filter_half_width(const KeywordList& list, double width)
{
    double price = 1.0;
    channel_price(list, price);
    // Channels that run from high to low velocities are as far apart as the other way.
    price = std::fabs(price);
    if (!(price > 0.0))
        return 0;
    const double h = std::fabs(width) * 0.5 / price;
    if (!(h <= 1000.0) || h < 2.0)
        return 0;
    return static_cast<unsigned>(h);
}

// Reading the points of a spectrum from its keyword list and writing them back.
//
// A block lists its points in its own order: counts by channel, pairs and triples as
// they stand. The points are kept sorted by x, and everything stored per point (counts,
// "StdDevSpectrum") is written back in the block order that the reader will sort again,
// so a save followed by a load gives the same spectrum, whatever the sign of the channel
// price. The writer also keeps the form the reader takes: velocities stay velocities even
// when the list carries a channel price.
#include "core/spectrum/spectrum_file.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <numeric>
#include <stdexcept>
#include <utility>

#include <boost/format.hpp>

#include "core/text/messages.h"
#include "core/spectrum/spectrum_data.h"

namespace {

constexpr std::wstring_view data_keys[] = {L"Spectrum", L"Data", L"VelocitySpectrum", L"VelocitySpectrumStdDev"};
constexpr DataForm data_key_forms[] = {DataForm::counts, DataForm::counts, DataForm::pairs, DataForm::triples};

int first_channel(const KeywordList& list)
{
    int f = 1;
    kwlist_get_int(list, L"FirstChannel", f);
    return f;
}

std::vector<std::size_t> identity_order(std::size_t n)
{
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    return order;
}

template <class T>
std::vector<T> permuted(const std::vector<T>& v, const std::vector<std::size_t>& order)
{
    std::vector<T> out(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        out[i] = v[order[i]];
    return out;
}

bool is_whole(double v)
{
    return std::floor(v) == v;
}

}  // namespace

std::optional<DataForm> stored_data_form(const KeywordList& list, std::wstring* key)
{
    for (std::size_t k = 0; k < std::size(data_keys); ++k)
        if (kwlist_has(list, data_keys[k])) {
            if (key)
                *key = data_keys[k];
            return data_key_forms[k];
        }
    return std::nullopt;
}

std::wstring_view channel_price_key(const KeywordList& list, double& price)
{
    for (std::wstring_view key : {std::wstring_view(L"(mm/s)PerChannel"), std::wstring_view(L"ChannelPrice(mm/s)")})
        if (kwlist_get_double(list, key, price))
            return key;
    return {};
}

bool channel_price(const KeywordList& list, double& price)
{
    return !channel_price_key(list, price).empty();
}

bool stands_on_channels(const KeywordList& list)
{
    double price = 0.0;
    const std::optional<DataForm> form = stored_data_form(list);
    return channel_price(list, price) && (!form || form == DataForm::counts);
}

bool stores_deviations(const KeywordList& list)
{
    return kwlist_has(list, L"StdDevSpectrum") || kwlist_has(list, L"VelocitySpectrumStdDev") ||
           kwlist_has(list, L"StdDev");
}

std::vector<double> counts_axis(const KeywordList& list, std::size_t n)
{
    const double f = first_channel(list);
    double price = 1.0;
    double zero = 0.0;
    channel_price(list, price);
    kwlist_get_double(list, L"ZeroChannel", zero);
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = (f + static_cast<double>(i) - zero) * price;
    return x;
}

DataBlock read_data_block(const KeywordList& list)
{
    DataBlock block;
    const std::optional<DataForm> form = stored_data_form(list, &block.key);
    if (!form)
        throw std::runtime_error(MessageText(50050).to_utf8());
    block.form = *form;
    std::vector<double> v;
    kwlist_get_doubles(list, block.key, v);
    first_channel(list);  // an unreadable first channel is an error whatever the form
    switch (block.form) {
    case DataForm::counts:
        block.y = std::move(v);
        block.x = counts_axis(list, block.y.size());
        break;
    case DataForm::pairs:
        for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
            block.x.push_back(v[i]);
            block.y.push_back(v[i + 1]);
        }
        break;
    case DataForm::triples:
        for (std::size_t i = 0; i + 2 < v.size(); i += 3) {
            block.x.push_back(v[i]);
            block.y.push_back(v[i + 1]);
            block.sigma.push_back(v[i + 2]);
        }
        break;
    }
    return block;
}

std::vector<std::size_t> increasing_order(const std::vector<double>& x)
{
    std::vector<std::size_t> order = identity_order(x.size());
    std::stable_sort(order.begin(), order.end(), [&x](std::size_t a, std::size_t b) {
        const bool a_nan = std::isnan(x[a]);
        const bool b_nan = std::isnan(x[b]);
        return a_nan != b_nan ? b_nan : x[a] < x[b];
    });
    return order;
}

std::vector<std::size_t> block_order(const KeywordList& list, std::size_t n)
{
    const std::optional<DataForm> form = stored_data_form(list);
    if (form == DataForm::counts)
        return increasing_order(counts_axis(list, n));
    if (form) {
        const DataBlock block = read_data_block(list);
        if (block.x.size() == n)
            return increasing_order(block.x);
    }
    return identity_order(n);
}

std::vector<double> deviations_from_keywords(const KeywordList& list, const std::vector<double>& y)
{
    std::vector<double> listed;
    if (kwlist_get_doubles(list, L"StdDevSpectrum", listed) && listed.size() == y.size())
        return permuted(listed, block_order(list, y.size()));
    double s = 0.0;
    if (kwlist_get_double(list, L"StdDev", s))
        return std::vector<double>(y.size(), s);
    std::vector<double> deviations(y.size());
    std::transform(y.begin(), y.end(), deviations.begin(), [](double v) { return std::sqrt(std::fabs(v)); });
    return deviations;
}

void set_block(KeywordList& list, std::wstring_view key, const std::vector<double>& values,
               const std::vector<std::size_t>& order, std::wstring_view format)
{
    std::vector<double> in_block(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        in_block[order[i]] = values[i];
    std::wstring text;
    format_data_block(in_block, format, text);
    kwlist_set(list, key, text, KWHidden);
}

std::wstring format_number(std::wstring_view format, double x)
{
    return (boost::wformat(std::wstring(format), std::locale::classic()) % x).str();
}

void format_data_block(const std::vector<double>& values, std::wstring_view format, std::wstring& out,
                       const std::vector<double>* second)
{
    if (second && second->size() != values.size())
        throw std::invalid_argument("format_data_block: value lists of different lengths");
    boost::wformat item(std::wstring(format), std::locale::classic());
    auto append = [&item, &out](double v) {
        out += (item % v).str();
        item.clear();
    };
    const std::size_t per_line = second ? 2 : 8;
    out.clear();
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += i % per_line == 0 ? L'\n' : L' ';
        append(values[i]);
        if (second) {
            out += L' ';
            append((*second)[i]);
        }
    }
}

void SpectrumData::load_keywords(KeywordList& list)
{
    // Everything is built aside and taken over at the end, so an error changes nothing.
    KeywordList stored = list;
    DataBlock block = read_data_block(stored);
    if (!kwlist_has(stored, L"NonresonantPart"))
        kwlist_set_double(stored, L"NonresonantPart", 0.0, L"%f");
    double item = 0.0;
    double multiple = 1.0;
    kwlist_get_double(stored, L"Item", item);
    kwlist_get_double(stored, L"Multiple", multiple);
    if (block.form == DataForm::counts) {
        double value = 0.0;
        if (!channel_price(stored, value))
            kwlist_set_double_transient(stored, L"ChannelPrice(mm/s)", 1.0, L"%f");
        if (!kwlist_get_double(stored, L"ZeroChannel", value))
            kwlist_set_double_transient(stored, L"ZeroChannel", 0.0, L"%f");
    }

    const std::vector<std::size_t> order = increasing_order(block.x);
    SpectrumData fresh;
    fresh.x_data = permuted(block.x, order);
    fresh.y_data = permuted(block.y, order);
    for (double& y : fresh.y_data)
        y = (y + item) * multiple;
    kwlist_remove(stored, L"Item");
    kwlist_remove(stored, L"Multiple");
    fresh.std_dev_data = block.form == DataForm::triples ? permuted(block.sigma, order)
                                                         : deviations_from_keywords(stored, fresh.y_data);
    fresh.update_analysis();
    for (std::wstring_view key : data_keys)
        kwlist_set_flags(stored, key, KWHidden);
    kwlist_set_flags(stored, L"StdDevSpectrum", KWHidden);

    x_data.swap(fresh.x_data);
    y_data.swap(fresh.y_data);
    std_dev_data.swap(fresh.std_dev_data);
    absorption = std::move(fresh.absorption);
    emission = std::move(fresh.emission);
    list = std::move(stored);
}

void SpectrumData::load_file(const std::wstring& path)
{
    KeywordList list;
    kwfile_load(path, list);
    load_keywords(list);
    keywords = std::move(list);
}

void SpectrumData::load_text(const std::wstring& text)
{
    KeywordList list;
    kwfile_load_from_memory(text, list);
    load_keywords(list);
    keywords = std::move(list);
}

void SpectrumData::store_keywords()
{
    KeywordList& list = keywords;
    const std::size_t n = x_data.size();
    kwlist_set(list, L"Vexmoor", L"1.0", KWHidden);
    const bool exact = stores_deviations(list) || !std::all_of(y_data.begin(), y_data.end(), is_whole);
    const std::wstring_view count_format = exact ? L"%.7f" : L"%7.0f";

    // The form the reader takes now; counts only where the points stand on the channel axis.
    std::wstring key;
    std::optional<DataForm> form = stored_data_form(list, &key);
    if (stands_on_channels(list)) {
        form = DataForm::counts;
        if (key.empty())
            key = L"Spectrum";
    } else if (form != DataForm::triples) {
        form = DataForm::pairs;
        key = L"VelocitySpectrum";
    }
    // Nothing the reader prefers may hide what is written.
    for (std::wstring_view preferred : data_keys) {
        if (preferred == key)
            break;
        kwlist_remove(list, preferred);
    }

    const std::vector<std::size_t> order = form == DataForm::counts ? increasing_order(counts_axis(list, n))
                                                                    : identity_order(n);
    if (form == DataForm::counts) {
        set_block(list, key, y_data, order, count_format);
    } else if (form == DataForm::triples) {
        std::wstring text;
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0)
                text += L'\n';
            text += format_number(L"%.7f", x_data[i]) + L' ' + format_number(L"%.7f", y_data[i]) + L' ' +
                    format_number(L"%.7f", std_dev_data[i]);
        }
        kwlist_set(list, key, text, KWHidden);
    } else {
        std::wstring text;
        format_data_block(x_data, L"%.7f", text, &y_data);
        kwlist_set(list, key, text, KWHidden);
    }
    if (kwlist_has(list, L"StdDevSpectrum"))
        set_block(list, L"StdDevSpectrum", std_dev_data, order, L"%.7f");

    if (n > 0) {
        kwlist_set_uint(list, L"NumberChannel", static_cast<unsigned>(n));
        int f = 0;
        if (kwlist_get_int(list, L"FirstChannel", f))
            kwlist_set_uint(list, L"LastChannel", static_cast<unsigned>(f + static_cast<int>(n) - 1));
    } else {
        kwlist_remove(list, L"NumberChannel");
        kwlist_remove(list, L"FirstChannel");
        kwlist_remove(list, L"LastChannel");
    }
}

void SpectrumData::compute_std_dev(const KeywordList& list)
{
    std_dev_data = deviations_from_keywords(list, y_data);
}

void SpectrumData::set_counts_and_std_dev(const std::vector<double>& counts, const std::vector<double>& deviations)
{
    if (counts.size() != x_data.size() || deviations.size() != x_data.size())
        throw std::invalid_argument("set_counts_and_std_dev: one count and one deviation per point needed");
    y_data = counts;
    if (stores_deviations(keywords)) {
        std_dev_data = deviations;
        set_block(keywords, L"StdDevSpectrum", std_dev_data, block_order(keywords, x_data.size()), L"%.7f");
    } else {
        compute_std_dev(keywords);
    }
    update_analysis();
}

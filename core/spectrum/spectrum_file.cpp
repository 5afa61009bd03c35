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
#include <climits>
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

// Whether channels first … first + n − 1 can be stored: "FirstChannel" is written
// "%d" and "LastChannel" "%u", and a reader may take either as an int, so both must lie
// in 0 … INT_MAX. Computed wide, so no sum overflows.
bool channels_fit(int first, std::size_t n)
{
    const auto last = static_cast<long long>(first) + static_cast<long long>(n) - 1;
    return first >= 0 && last <= INT_MAX;
}

// The calibration keys of counts must read as finite numbers when they are given: an
// unreadable price or zero channel would silently put the points on another axis.
void check_calibration_keys(const KeywordList& list)
{
    double value = 0.0;
    if (!kwlist_get_finite_double(list, L"(mm/s)PerChannel", value))
        kwlist_get_finite_double(list, L"ChannelPrice(mm/s)", value);
    kwlist_get_finite_double(list, L"ZeroChannel", value);
}

// The deviation keys the reader takes for n points (not for triples, which carry
// their own): a "StdDevSpectrum" must hold one finite value per point, else a "StdDev"
// must be a finite number.
void check_deviation_keys(const KeywordList& list, std::size_t n)
{
    std::vector<double> listed;
    if (kwlist_get_finite_doubles(list, L"StdDevSpectrum", listed)) {
        if (listed.size() != n)
            throw std::runtime_error(MessageText(50083, L"StdDevSpectrum", listed.size(), n).to_utf8());
        return;
    }
    double s = 0.0;
    kwlist_get_finite_double(list, L"StdDev", s);
}

// The position (from 1) in the data block of the count of point i.
std::size_t count_position(DataForm form, std::size_t i)
{
    switch (form) {
    case DataForm::counts:
        return i + 1;
    case DataForm::pairs:
        return 2 * i + 2;
    case DataForm::triples:
        return 3 * i + 2;
    }
    return i + 1;
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
        throw std::runtime_error(MessageText(50080, MessageText(50050).str()).to_utf8());
    block.form = *form;
    std::vector<double> v;
    kwlist_get_finite_doubles(list, block.key, v);
    const std::size_t per_point = block.form == DataForm::counts ? 1 : block.form == DataForm::pairs ? 2 : 3;
    if (v.size() % per_point != 0)
        throw std::runtime_error(MessageText(50082, block.key, v.size(), per_point).to_utf8());
    const std::size_t n = v.size() / per_point;
    const int first = first_channel(list);  // an unreadable first channel is an error whatever the form
    if (n > 0 && kwlist_has(list, L"FirstChannel") && !channels_fit(first, n))
        throw std::runtime_error(MessageText(50084, first, n).to_utf8());
    switch (block.form) {
    case DataForm::counts:
        check_calibration_keys(list);
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
    if (block.form != DataForm::triples)
        check_deviation_keys(stored, block.y.size());
    if (!kwlist_has(stored, L"NonresonantPart"))
        kwlist_set_double(stored, L"NonresonantPart", 0.0, L"%f");
    double item = 0.0;
    double multiple = 1.0;
    kwlist_get_finite_double(stored, L"Item", item);
    kwlist_get_finite_double(stored, L"Multiple", multiple);
    // Finite numbers can still carry a velocity or a transformed count past the range
    // of a double; such a point is refused like a number that is not finite.
    for (std::size_t i = 0; i < block.y.size(); ++i) {
        block.y[i] = (block.y[i] + item) * multiple;
        if (!std::isfinite(block.x[i]) || !std::isfinite(block.y[i]))
            throw std::runtime_error(MessageText(50081, block.key, count_position(block.form, i)).to_utf8());
    }
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
    if (y_data.size() != n || std_dev_data.size() != n)
        throw std::logic_error("store_keywords: x, counts and deviations differ in length");
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
        if (kwlist_get_int(list, L"FirstChannel", f)) {
            // The reader refuses channels that cannot be stored; should the points have
            // changed since, no wrapped or wrong last channel is written.
            if (channels_fit(f, n))
                kwlist_set_uint(list, L"LastChannel", static_cast<unsigned>(f + static_cast<long long>(n) - 1));
            else
                kwlist_remove(list, L"LastChannel");
        }
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

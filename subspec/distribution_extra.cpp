// The distribution's extra data in a component line: one line of numbers separated by
// ';' (any one character reads as a separator): N, K, the K spread inner parameters, the
// N point deviations ("%.15e"), M, the M marked ranges as first and last point, and,
// when the inner model has model data, ';' and its own text to the end (empty when the
// inner model has none).
//
// Reading takes the whole text apart before anything changes, so a text that is cut
// short, holds something that is not a number where one belongs, or asks for an
// impossible layout leaves the distribution as it was.
#include <charconv>
#include <cmath>
#include <cwctype>
#include <string>
#include <string_view>

#include "core/text/c_format.h"
#include "subspec/distribution.h"

namespace {

// Numbers and separators from the front of a text, white space before each skipped.
class ExtraReader {
public:
    explicit ExtraReader(std::wstring_view text) : text_(text)
    {
        // One byte per code unit, so positions agree; only ASCII can be part of a number.
        narrow_.reserve(text.size());
        for (wchar_t c : text)
            narrow_.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
    }

    // Consumes one character, whatever it is.
    bool separator()
    {
        skip_space();
        if (pos_ == text_.size())
            return false;
        ++pos_;
        return true;
    }

    template <class Number>
    bool number(Number& out)
    {
        skip_space();
        const char* begin = narrow_.data() + pos_;
        const auto [end, error] = std::from_chars(begin, narrow_.data() + narrow_.size(), out);
        if (error != std::errc())
            return false;
        pos_ += static_cast<std::size_t>(end - begin);
        return true;
    }

    // A separator, then a number.
    template <class Number>
    bool next(Number& out)
    {
        return separator() && number(out);
    }

    bool at_end()
    {
        skip_space();
        return pos_ == text_.size();
    }

    std::wstring rest() const { return std::wstring(text_.substr(pos_)); }

private:
    void skip_space()
    {
        while (pos_ < text_.size() && std::iswspace(text_[pos_]))
            ++pos_;
    }

    std::wstring_view text_;
    std::string narrow_;
    std::size_t pos_ = 0;
};

}  // namespace

std::wstring Distribution::save_extra() const
{
    std::wstring text = std::to_wstring(point_count_) + L";" + std::to_wstring(varying_inner_.size());
    for (unsigned s : varying_inner_)
        text += L";" + std::to_wstring(s);
    for (double d : point_deviations_)
        text += (c_format(L";%.15e") % d).str();
    text += L";" + std::to_wstring(marked_ranges_.size());
    for (const auto& [first, last] : marked_ranges_)
        text += L";" + std::to_wstring(first) + L";" + std::to_wstring(last);
    if (const auto* data = dynamic_cast<const ISubSpecData*>(inner_.get()))
        text += L";" + data->save_extra();
    return text;
}

bool Distribution::load_extra(const std::wstring& text)
{
    ExtraReader in(text);
    unsigned n = 0, k = 0;
    if (!in.number(n) || !in.next(k))
        return false;
    if (n < min_distribution_points || n > max_distribution_points || k == 0 || k > inner_param_count_)
        return false;
    std::vector<unsigned> varying(k);
    for (unsigned& s : varying)
        if (!in.next(s) || s >= inner_param_count_ || s == area_index_)
            return false;
    std::vector<double> deviations(n);
    for (double& d : deviations)
        if (!in.next(d) || !std::isfinite(d) || d < 0.0)
            return false;
    unsigned long long marks = 0;
    if (!in.next(marks))
        return false;
    PointRangeList ranges;
    for (unsigned long long m = 0; m < marks; ++m) {
        unsigned first = 0, last = 0;
        if (!in.next(first) || !in.next(last))
            return false;
        if (first < last && last < n)
            ranges.emplace_back(first, last);
    }

    if (auto* data = dynamic_cast<ISubSpecData*>(inner_.get())) {
        // A text without the inner part gives the inner model its data for a missing text;
        // an empty inner part is the data of an inner model that has none (a measured
        // spectrum without its reference), which it keeps as it was created.
        const bool has_part = !in.at_end() && in.separator();
        const std::wstring inner_text = has_part ? in.rest() : std::wstring();
        if ((!has_part || !inner_text.empty()) && !data->load_extra(inner_text))
            return false;
    } else if (!in.at_end()) {
        return false;
    }

    setup(n, varying);
    point_deviations_ = std::move(deviations);
    marked_ranges_ = std::move(ranges);
    return true;
}

#include "ui/logic/corr_grid_data.h"

#include <algorithm>
#include <cmath>

#include "core/text/c_format.h"
#include "ui/logic/model_grid_cells.h"
#include "wingui/logic/scripted_text.h"

namespace {

std::wstring fixed2(double x)
{
    return (c_format(L"%.2f") % x).str();
}

} // namespace

std::optional<COLORREF> strength_color(double x)
{
    if (x > 0.9) return corr_red;
    if (x > 0.7) return corr_olive;
    if (x > 0.5) return corr_silver;
    return std::nullopt;
}

void CorrGridData::clear()
{
    labels_.clear();
    names_.clear();
    flat_.clear();
    source_.resize(0, 0, false);
    directions_.resize(0, 0, false);
    relative_.clear();
}

void CorrGridData::fill(const SpectrumModel& model, const std::function<bool(unsigned)>& is_varied,
                        const DMatrix& covariance, const DMatrix& directions)
{
    clear();
    for (const auto& c : model.components) {
        std::wstring label = component_label(*c->subspec);
        for (unsigned p = 0; p < c->shown_count; ++p) {
            const unsigned k = c->first + p;
            if (!is_varied(k)) continue;
            labels_.push_back(std::exchange(label, {}));
            names_.push_back(c->subspec->param_info(p).name);
            flat_.push_back(k);
        }
    }
    const unsigned n = parameter_count();
    // Without a covariance matrix that covers the parameters there are no correlations.
    const bool has_cov = covariance.size1() >= model.param_count() && covariance.size2() >= model.param_count();
    source_.resize(n, n, false);
    for (unsigned e = 0; e < n; ++e)
        for (unsigned i = 0; i < n; ++i)
            source_(e, i) = has_cov ? covariance(flat_[e], flat_[i]) : 0.0;
    const std::size_t P = model.param_count();
    const unsigned M = directions.size2() > P ? static_cast<unsigned>(directions.size1()) : 0;
    directions_ = DMatrix(M, n, 0.0);
    for (unsigned i = 0; i < M; ++i) {
        for (unsigned j = 0; j < n; ++j) directions_(i, j) = directions(i, flat_[j]);
        relative_.push_back(directions(i, P));
    }
}

std::optional<double> CorrGridData::correlation(unsigned i, unsigned j) const
{
    const double a = source_(i, i), b = source_(j, j);
    if (!(a > 0.0 && b > 0.0)) return std::nullopt;
    return source_(i, j) / std::sqrt(a * b);
}

std::optional<std::wstring> CorrGridData::text(int row, int column) const
{
    const int n = static_cast<int>(parameter_count());
    if (row < 0 || column < 0 || row >= static_cast<int>(row_count()) || column >= static_cast<int>(column_count()))
        return std::nullopt;
    const int i = row - 2;
    if (column < 3) {
        if (i < 0) return std::nullopt;
        if (column == 0) return std::to_wstring(i + 1);
        return column == 1 ? labels_[i] : names_[i];
    }
    const int j = column - 3;
    if (j < n) {
        if (row == 0) return std::to_wstring(j + 1);
        if (row == 1) return names_[j];
        if (i == j) return std::wstring(L"\u2014");
        const auto r = correlation(i, j);
        if (!r || std::fabs(*r) < 0.2) return std::nullopt;
        return fixed2(*r);
    }
    if (j == n) return std::nullopt;
    const unsigned k = static_cast<unsigned>(j - n);
    if (row == 0) return L"w" + to_subscript(std::to_wstring(k));
    if (row == 1) return (c_format(L"%.3g") % relative_[direction_row(k)]).str();
    const double v = directions_(direction_row(k), i);
    if (std::fabs(v) < 0.01) return std::nullopt;
    return fixed2(v);
}

std::optional<COLORREF> CorrGridData::background(int row, int column) const
{
    const int n = static_cast<int>(parameter_count());
    if (row < 1 || column < 3 || row >= static_cast<int>(row_count()) || column >= static_cast<int>(column_count()))
        return std::nullopt;
    const int i = row - 2, j = column - 3;
    if (j < n) {
        if (i < 0 || i == j) return std::nullopt;
        const auto r = correlation(i, j);
        return r ? strength_color(std::fabs(*r)) : std::nullopt;
    }
    if (j == n) return std::nullopt;
    const unsigned d = direction_row(static_cast<unsigned>(j - n));
    if (relative_[d] == 0.0) return corr_red;
    if (i < 0) return std::nullopt;
    return strength_color(directions_(d, i));
}

int CorrGridData::row_of_param(int k) const
{
    if (k < 0) return -1;
    const auto it = std::find(flat_.begin(), flat_.end(), static_cast<unsigned>(k));
    return it == flat_.end() ? -1 : static_cast<int>(it - flat_.begin()) + 2;
}

int CorrGridData::param_of_row(int row) const
{
    if (row < 2 || static_cast<unsigned>(row - 2) >= flat_.size()) return -1;
    return static_cast<int>(flat_[row - 2]);
}

// A distribution's results: the statistics table of a range of its points and its export
// as spectrum data.
//
// Every statistic is written as an expression text over the model's parameters, the
// earlier statistics ("$name") and sums of one term over the points, compiled and
// evaluated with the fit's covariance (statistics_evaluation.h), so each value comes
// with its propagated standard error. The maximum of the range and its width
// at half maximum are found on the present weights; the maximum's position is the vertex
// of the least-squares parabola through the five weights around it (Savitzky-Golay first-
// derivative weights (−2, −1, 0, 1, 2)/10 over second-derivative weights (2, −1, −2, −1,
// 2)/7), written as an expression so that it carries an error too.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

#include "core/model/spectrum_model.h"
#include "core/model/statistics_evaluation.h"
#include "core/text/c_format.h"

namespace {

// The point of the largest weight among w[a … b]: the first of a value that occurs
// twice apart, the middle of a range whose weights are all equal, the point of a single
// largest weight; none for one plateau of equal largest weights inside the range.
std::optional<unsigned> find_maximum(const std::vector<double>& w, unsigned a, unsigned b)
{
    double best = -std::numeric_limits<double>::infinity();
    unsigned k = a, run = 0;
    bool repeated = false;
    for (unsigned i = a; i <= b; ++i) {
        if (w[i] > best) {
            best = w[i];
            k = i;
            run = 1;
            repeated = false;
        } else if (w[i] == best) {
            if (i == k + run)
                ++run;
            else
                repeated = true;
        }
    }
    if (repeated)
        return k;
    if (run == b - a + 1)
        return (a + b) / 2;
    if (run == 1)
        return k;
    return std::nullopt;
}

// The points (fractional) left and right of k where the weights fall to half of w[k],
// linearly interpolated; a and b when they do not fall so far inside the range.
std::pair<double, double> half_maximum(const std::vector<double>& w, unsigned a, unsigned b, unsigned k)
{
    const double h = w[k] * 0.5;
    unsigned l = k;
    while (l > a && w[l] > h)
        --l;
    double left = l;
    if (l < k && w[l] <= h)
        left += (h - w[l]) / (w[l + 1] - w[l]);
    unsigned r = k;
    while (r < b && w[r] > h)
        ++r;
    double right = r;
    if (r > k && w[r] <= h)
        right -= (h - w[r]) / (w[r - 1] - w[r]);
    return {left, right};
}

// The rows of the maximum: its point number, the width and the centre at half maximum.
// The parabola needs two points on either side and some curvature: the middle of a flat
// range is its own point number, not the vertex 0/0.
void maximum_rows(const std::vector<double>& w, unsigned c, unsigned a, unsigned b, unsigned k,
                  std::vector<DistStatRow>& rows)
{
    const bool flat = std::all_of(w.begin() + a, w.begin() + b + 1, [&](double v) { return v == w[a]; });
    if (flat || k < a + 2 || k + 2 > b)
        rows.push_back({L"Nmax", (c_format(L"%u") % (k + 1)).str(), L"%.0f", 0});
    else
        rows.push_back({L"Nmax",
                        (c_format(L"%3%+1-0.7*(-2*[%6%:I%1%]-[%6%:I%2%]+[%6%:I%4%]+2*[%6%:I%5%])/"
                                  L"(2*[%6%:I%1%]-[%6%:I%2%]-2*[%6%:I%3%]-[%6%:I%4%]+2*[%6%:I%5%])") %
                         (k - 2) % (k - 1) % k % (k + 1) % (k + 2) % c)
                            .str(),
                        L"%.2f", 0});
    const auto [left, right] = half_maximum(w, a, b, k);
    rows.push_back({L"FWHM", (c_format(L"%.9g") % (right - left)).str(), L"%.3f", 0});
    rows.push_back({L"CHM", (c_format(L"%.9g") % ((left + right) * 0.5 + 1)).str(), L"%.3f", 0});
}

// After the start and end rows of each spread parameter P: P at the maximum, its width
// and its centre at half maximum, in units of P.
void spread_maximum_rows(unsigned a, unsigned b, std::vector<DistStatRow>& rows)
{
    // All digits: six significant ones would put an error of 1e-6 into every such row.
    const std::wstring per_point = (c_format(L"%.17g") % (1.0 / (b - a))).str();
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        if (!(rows[i].flags & DistStatRow::StartValue) || !(rows[i + 1].flags & DistStatRow::EndValue))
            continue;
        const std::wstring& start = rows[i].name;
        const std::wstring& end = rows[i + 1].name;
        const std::wstring base = start.substr(0, start.size() - 1);
        const std::wstring format = rows[i].format;
        const std::vector<DistStatRow> added = {
            {base + L"max", (c_format(L"$%1%+($Nmax-%3%)*($%2%-$%1%)*%4%") % start % end % (a + 1) % per_point).str(),
             format, 0},
            {base + L"FWHM", (c_format(L"$FWHM*abs($%2%-$%1%)*%3%") % start % end % per_point).str(), format, 0},
            {base + L"CHM", (c_format(L"$%1%+($CHM-%3%)*($%2%-$%1%)*%4%") % start % end % (a + 1) % per_point).str(),
             format, 0}};
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(i + 2), added.begin(), added.end());
        i += 1 + added.size();
    }
}

}  // namespace

void SpectrumModel::distribution_statistics(unsigned n, unsigned a, unsigned b, const DVector& values,
                                            const DMatrix& covariance, std::vector<DistStatistic>& out) const
{
    const SubModel* c = distribution_at(n);
    if (!c)
        return;
    const IDistribution& d = *c->distribution();
    if (a > b || b >= d.point_count())
        throw std::out_of_range("Statistics range beyond the distribution's points");
    const ParamRange slice = c->param_slice(values);
    const std::vector<double> w(slice.begin() + c->shown_count, slice.end());

    std::vector<DistStatRow> rows = {{L"L", (c_format(L"%u") % (a + 1)).str(), L"%.0f", DistStatRow::NewRow},
                                     {L"R", (c_format(L"%u") % (b + 1)).str(), L"%.0f", 0}};
    const std::optional<unsigned> k = find_maximum(w, a, b);
    if (k)
        maximum_rows(w, c->index, a, b, *k, rows);
    std::vector<DistStatSum> sums;
    // The total area is the model's compiled one, the same that the relative areas
    // divide by.
    const StatisticsInput total{L"ΣA", area_exprs.empty() ? nullptr : area_exprs.back().expr};
    d.statistics_rows(c->index, a, b, L"$" + total.name, rows, sums);
    // Over a single point the spread parameter has no extent to place a maximum in.
    if (k && b > a)
        spread_maximum_rows(a, b, rows);
    evaluate_statistics(*this, rows, sums, c->first + c->shown_count, {total}, values, covariance, out);
}

void SpectrumModel::distribution_as_data(const std::wstring& prefix, unsigned n, const DVector& values,
                                         const DMatrix& covariance, KeywordList& out) const
{
    const SubModel* c = distribution_at(n);
    if (!c)
        return;
    const IDistribution& d = *c->distribution();
    const ParamRange slice = c->param_slice(values);
    double first = 0.0, last = 0.0;
    std::wstring name;
    d.distributed_param(slice, first, last, name);

    std::wstring comment = prefix;
    if (!prefix.empty())
        comment += L" - ";
    comment += (c_format(L"%u - %s%s") % (n + 1) % (name + L" - ") % c->subspec->display_name()).str();

    const unsigned points = d.point_count();
    std::vector<double> y(slice.begin() + c->shown_count, slice.end()), sigma(points, 0.0);
    for (unsigned i = 0; i < points; ++i) {
        const std::size_t k = c->first + c->shown_count + i;
        if (k < covariance.size1() && k < covariance.size2())
            sigma[i] = std::sqrt(covariance(k, k));
    }
    double total = 0.0;
    for (double v : y)
        total += v;
    if (total > 0.0)
        for (unsigned i = 0; i < points; ++i) {
            y[i] *= 100.0 / total;
            sigma[i] *= 100.0 / total;
        }

    std::wstring lines;
    const double step = (last - first) * (1.0 / (points - 1));
    for (unsigned i = 0; i < points; ++i)
        lines += (c_format(L"%.10f %.10f %.10f\n") % (first + i * step) % y[i] % sigma[i]).str();
    kwlist_set(out, L"Comment", comment);
    kwlist_set(out, L"VelocitySpectrumStdDev", lines);
}

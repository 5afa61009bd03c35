// Selection and ordering of the points a fit uses.
#include "core/fit/fit_points.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

#include "core/fit/model_interfaces.h"
#include "core/spectrum/spectrum_data.h"

namespace {

struct PointRecord {
    double x, y, sigma, value;
};

}  // namespace

void select_fit_points(const IModelData& data, const IModelWithXRanges& ranges, std::vector<double>& x,
                       std::vector<double>& y, std::vector<double>& sigma, std::vector<double>* values)
{
    const std::vector<double>& dx = data.x();
    const std::vector<double>& dy = data.y();
    const std::vector<double>& ds = data.std_dev();
    const std::size_t n = dx.size();
    if (dy.size() != n || ds.size() != n || (values && values->size() != n))
        throw std::runtime_error("The spectrum's x values, counts and deviations differ in number");

    std::vector<PointRecord> records(n);
    for (std::size_t i = 0; i < n; ++i)
        records[i] = {dx[i], dy[i], ds[i], values ? (*values)[i] : 0.0};
    std::stable_sort(records.begin(), records.end(),
                     [](const PointRecord& a, const PointRecord& b) { return a.x < b.x; });

    for (unsigned r = 0; r < ranges.xrange_count(); ++r) {
        double from = 0.0, to = 0.0;
        ranges.get_xrange(r, from, to);
        std::erase_if(records, [from, to](const PointRecord& p) { return from <= p.x && p.x < to; });
    }

    const std::size_t kept = records.size();
    x.resize(kept);
    y.resize(kept);
    sigma.resize(kept);
    if (values)
        values->resize(kept);
    for (std::size_t i = 0; i < kept; ++i) {
        x[i] = records[i].x;
        y[i] = records[i].y;
        sigma[i] = records[i].sigma;
        if (values)
            (*values)[i] = records[i].value;
    }
}

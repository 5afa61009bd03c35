// Spectrum operations through the model: its values at the spectrum's velocities
// (IModel evaluation without derivatives), Poisson counts of them, and the transform's
// value and first-order propagated deviation at every point.
#include "core/model/spectrum_operations.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/fit/model_interfaces.h"
#include "core/spectrum/poisson.h"
#include "core/spectrum/spectrum_file.h"
#include "core/text/messages.h"

namespace {

// The model's counts at every velocity of the spectrum.
DVector model_counts(const SpectrumData& spectrum, const IModel& model, const DVector& values)
{
    const std::size_t n = spectrum.x_data.size();
    DVector x(n);
    std::copy(spectrum.x_data.begin(), spectrum.x_data.end(), x.begin());
    DVector counts(n);
    if (n > 0)
        model.evaluate(x, 0, n, values, counts);
    return counts;
}

// A spectrum never takes counts that are not finite: the model at these values (a line
// width of 0, say) gives none to take. Message 50230.
void require_finite_counts(const SpectrumData& spectrum)
{
    for (double y : spectrum.y_data)
        if (!std::isfinite(y))
            throw std::runtime_error(MessageText(50230).to_utf8());
}

}  // namespace

void simulate(SpectrumData& spectrum, unsigned n, double from, double to, bool noise, const IModel& model,
              const DVector& values)
{
    spectrum.make_velocity_axis(n, from, to);
    const DVector counts = model_counts(spectrum, model, values);
    for (std::size_t i = 0; i < n; ++i)
        spectrum.y_data[i] = noise && std::isfinite(counts(i)) ? poisson_sample(counts(i)) : counts(i);
    require_finite_counts(spectrum);
    spectrum.compute_std_dev(spectrum.keywords);
    spectrum.update_analysis();
}

void subtract_model(SpectrumData& spectrum, double level, const IModel& model, const DVector& values)
{
    const DVector m = model_counts(spectrum, model, values);
    for (std::size_t i = 0; i < spectrum.y_data.size(); ++i)
        spectrum.y_data[i] = level - m(i) + spectrum.y_data[i];
    require_finite_counts(spectrum);
    if (!stores_deviations(spectrum.keywords))
        spectrum.compute_std_dev(spectrum.keywords);
    spectrum.update_analysis();
}

void transform_counts(const IExpr& expr, const std::vector<double>& variables, const SpectrumData& spectrum,
                      std::vector<double>& counts, std::vector<double>& deviations)
{
    const std::size_t p = variables.size();
    DVector v(p + 2);
    std::copy(variables.begin(), variables.end(), v.begin());
    DVector sigma = boost::numeric::ublas::zero_vector<double>(p + 2);
    const DVector params;
    const DMatrix covariance;
    const std::size_t n = spectrum.x_data.size();
    counts.resize(n);
    deviations.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        v(p) = spectrum.x_data[i];
        v(p + 1) = spectrum.y_data[i];
        sigma(p + 1) = spectrum.std_dev_data[i];
        counts[i] = expr.value_with_variance_ext(params, covariance, v, sigma, deviations[i]);
    }
}

// Small model types written only for the tests, each one formula generic over its number
// type, so the framework is proven before the catalogue's formulas exist. They borrow
// catalogue descriptor tables for their parameters.
#pragma once

#include <cmath>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include <boost/math/special_functions/ellint_1.hpp>

#include "core/numerics/dual.h"
#include "core/spectrum/isotope.h"
#include "core/spectrum/spectrum_analysis.h"
#include "subspec/mixins.h"
#include "subspec/model_data.h"
#include "subspec/param_tables.h"

namespace test_models {

// A Lorentz line of area `area` at `position` with full width `width`, at velocity v.
template <class R>
R lorentz(double v, const R& area, const R& position, const R& width)
{
    const R t = (v - position) * 2.0 / width;
    return area * 2.0 / (width * 3.141592653589793 * (1.0 + t * t));
}

// A Lorentz singlet (I, δ, Γ); needs no isotope for its formula.
struct TestLorentz : LorenzLineParams, DefaultArea, SubSpecRange<TestLorentz>, DefaultDVT<1> {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& position, const R& width) const
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = lorentz(x[i], area, position, width);
    }

    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const
    {
        p[0] = 1.0;
        p[1] = analysis.XSc;
        p[2] = 3.0 * isotope->Γτ;
    }

    void extent_of(const Isotope*, std::span<const double> p, double& min, double& max) const
    {
        min = p[1] - 12.0 * std::fabs(p[2]);
        max = p[1] + 12.0 * std::fabs(p[2]);
    }
};

// A magnetic sextet of Lorentz lines (the parameters of the simple pseudo-Voigt sextet,
// its Gauss fraction unused): its line positions read the isotope, so the formula takes it.
struct TestSextet : SimplePseudoVoigtSextetParams, DefaultArea, LineDistance<TestSextet>, DefaultDVT<1, 2, 11> {
    template <class R>
    void calc(const Isotope* isotope, std::span<const double> x, R* out, const R& area, const R& r2,
              const R& r3, const R& shift, const R& quadrupole, const R& field, const R& width,
              const R& w2, const R& w3, const R&) const
    {
        const R h = field * (0.5 * isotope->K);
        const R positions[6] = {shift + quadrupole + h,         shift - quadrupole + h * isotope->α,
                                shift - quadrupole + h * isotope->β, shift - quadrupole - h * isotope->β,
                                shift - quadrupole - h * isotope->α, shift + quadrupole - h};
        const R widths[6] = {width, width * w2, width * w3, width * w3, width * w2, width};
        const R i1 = area * 0.5 / (1.0 + r2 + r3);
        const R areas[6] = {i1, i1 * r2, i1 * r3, i1 * r3, i1 * r2, i1};
        for (std::size_t i = 0; i < x.size(); ++i) {
            out[i] = 0.0;
            for (int j = 0; j < 6; ++j)
                out[i] += lorentz(x[i], areas[j], positions[j], widths[j]);
        }
    }

    void init_params(const Isotope*, const SpectrumAnalysis&, std::span<double> p) const
    {
        const double start[10] = {1.0, 2.0 / 3.0, 1.0 / 3.0, 0.0, 0.0, 330.0, 0.3, 1.0, 1.0, 0.0};
        std::copy(start, start + 10, p.begin());
    }

    double line_distance_of(const Isotope* isotope, std::span<const double> p) const
    {
        return -isotope->K * p[5];
    }
};

// A line whose position is sampled over one period of a modulation, "Points" samples
// taken from its model data: νis + νan·cos(2π j/n), width Γ₀ + ΔΓ·cos², area I.
struct TestSampledLine : NMR_AnharmonicSpinModulationParams, PointsData, SubSpecExtraGraph<TestSampledLine> {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& centre, const R& amplitude,
              const R&, const R& width0, const R& width_change, const R&) const
    {
        const int n = points();
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = 0.0;
        for (int j = 0; j < n; ++j) {
            const double c = std::cos(6.283185307179586 * j / n);
            const R position = centre + amplitude * c;
            const R width = width0 + width_change * (c * c);
            const R share = area * (1.0 / n);
            for (std::size_t i = 0; i < x.size(); ++i)
                out[i] += lorentz(x[i], share, position, width);
        }
    }

    void init_params(const Isotope*, const SpectrumAnalysis&, std::span<double> p) const
    {
        const double start[7] = {1.0, 0.0, 1.0, 0.5, 0.3, 0.0, 0.0};
        std::copy(start, start + 7, p.begin());
    }

    // Curve c: the points x = c, y = p[0], the error the variance of p[0] (-1 without
    // a covariance block).
    void extra_graph(unsigned curve, std::vector<double>& x, std::vector<double>& y,
                     std::vector<double>& y_errors, const CovarianceRange* covariance, const Isotope*,
                     std::span<const double> p) const
    {
        x = {double(curve)};
        y = {p[0]};
        y_errors = {covariance ? (*covariance)(0, 0) : -1.0};
    }

    void graph_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const
    {
        x_name = L"phase " + std::to_wstring(curve);
        y_name = L"field";
    }
};

// Its formula calls a library function whose domain error (an exception) a typed-in
// value can provoke: the complete elliptic integral K(k·v) for |k·v| > 1.
struct TestThrowing : FreeVarParams {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& k) const
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = k * boost::math::ellint_1(dual_value(k) * x[i]);
    }

    void init_params(const Isotope*, const SpectrumAnalysis&, std::span<double> p) const { p[0] = 0.0; }
};

}  // namespace test_models

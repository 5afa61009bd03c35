// The three baselines, the count level far from any resonance with a parabolic
// curvature about v₀:
//     value(v) = level·(1 + k·c·(v − v₀)²),   level = s·p₀ + L,
// p₀ being "N₀" or "ΔN₀", c the curvature and L the level an automatic baseline keeps
// as a constant (set from the spectrum; 0 for BaseLine). BaseLine fits the level
// itself (s = k = 1, L = 0). The automatic baselines fit only a correction to L, which
// keeps the fitted parameter small and well scaled for counts of millions;
// AutoBaseLine2 further scales it by s = 100000 and its curvature by k = 0.0001.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "core/spectrum/spectrum_analysis.h"
#include "subspec/param_tables.h"
#include "subspec/subspec.h"

// IBaseLine and the one formula of the three types. T gives level_scale (s),
// curvature_scale (k), rank, stored_level() (L) and level_text(), the level expression
// with parameter references not yet bound to a component.
template <class T>
class BaseLineImpl : public IBaseLine {
public:
    template <class R>
    void calc(std::span<const double> x, R* out, const R& p0, const R& c, const R& v0) const
    {
        const R level = level_of(p0);
        const R curvature = c * T::curvature_scale;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const R u = x[i] - v0;
            out[i] = level * (1.0 + curvature * u * u);
        }
    }

    template <class R>
    R level_of(const R& p0) const
    {
        return p0 * T::level_scale + static_cast<const T&>(*this).stored_level();
    }

    double level(const ParamRange& p) const override;
    // s·√C₀₀, C₀₀ the variance of p₀.
    double level_error(const CovarianceRange& covariance) const override;
    // level_text() with every "[" turned into "[component:".
    std::wstring level_expr(unsigned component) const override;
    double auto_rank() const override { return T::rank; }
};

struct BaseLine : BaseLineParams, BaseLineImpl<BaseLine> {
    static constexpr double level_scale = 1.0;
    static constexpr double curvature_scale = 1.0;
    static constexpr double rank = 0.0;

    double stored_level() const { return 0.0; }
    std::wstring level_text() const;
    // N0 of the analysis, no curvature, centred on the velocity interval.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
};

// The stored level L of the automatic baselines: 0 from construction (a clone too)
// until the model core sets it from the spectrum.
class AutoLevel : public IAutoBaseLine {
public:
    double get_level() const override { return level_; }
    void set_level(double level) override { level_ = level; }
    double stored_level() const { return level_; }
    // No correction, no curvature, centred on the velocity interval.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;

private:
    double level_ = 0.0;
};

struct AutoBaseLine : AutoBaseLineParams, BaseLineImpl<AutoBaseLine>, AutoLevel {
    static constexpr double level_scale = 1.0;
    static constexpr double curvature_scale = 1.0;
    static constexpr double rank = 1.0;

    std::wstring level_text() const;
};

struct AutoBaseLine2 : AutoBaseLine2Params, BaseLineImpl<AutoBaseLine2>, AutoLevel {
    static constexpr double level_scale = 100000.0;
    static constexpr double curvature_scale = 0.0001;
    static constexpr double rank = 1.0;

    std::wstring level_text() const;
};

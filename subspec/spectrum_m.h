// A measured spectrum used as a component: a reference spectrum, read from a spectrum
// file when the component is added, shifted by "Δδ", stretched by "Γv", its baseline
// level corrected by "ΔN" (in units of 100000 counts) and normalised to the area "I":
//     value(v) = (y(u) − level)·factor,   u = (v − Δδ)/Γv,
//     level = 100000·ΔN + N0,   factor = ±I/S,
// y(u) the reference's counts interpolated linearly in velocity and held at the end
// counts beyond its ends; N0 and S are the reference's own baseline level and area
// (emission reading, +, when it points upward; absorption, −, otherwise). With
// derivatives, y(u) carries a slope from a Savitzky–Golay derivative filter (order 4,
// half width 3) of the counts divided by the same filter of the velocities, so it is
// per mm/s on any axis; beyond the ends the component is flat and the slope is 0.
//
// The whole reference spectrum is the component's model data, so a model file does not
// depend on the reference file.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "core/numerics/dual.h"
#include "core/spectrum/spectrum_data.h"
#include "subspec/mixins.h"
#include "subspec/param_tables.h"
#include "subspec/subspec.h"

struct Isotope;

struct SpectrumM : SpectrumMParams, DefaultArea, SubSpecRange<SpectrumM>, DefaultDVT<1>, ISubSpecData,
                   ISubSpecProperties, ISubSpecDesc {
    template <class R>
    void calc(std::span<const double> x, R* out, const R& area, const R& level_shift, const R& shift,
              const R& stretch) const
    {
        const R level = level_shift * 100000.0 + prepared_.analysis.N0;
        const R factor = (prepared_.peaks_up ? area : -area) / prepared_.analysis.S;
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = (reference_count((x[i] - shift) / stretch) - level) * factor;
    }

    // I = 1, ΔN = 0, Δδ = 0, Γv = 1.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;
    // The reference's velocity interval, stretched and shifted.
    void extent_of(const Isotope* isotope, std::span<const double> p, double& min, double& max) const;

    // Lets the user choose the reference file (starting in `folder`); false when none
    // is chosen or an uncalibrated one is declined. Reading errors and a reference
    // without area throw; the component then keeps its state.
    bool set_defaults(const std::wstring& folder) override;
    // The reference from the one-line keyword text; errors as for set_defaults.
    bool load_extra(const std::wstring& text) override;
    std::wstring save_extra() const override;
    // The reference's property editor; true when the edit was confirmed and reads.
    bool edit_properties() override;
    // "FileName", else "Comment", else the empty text.
    std::wstring description() const override;

    const SpectrumData& reference() const { return reference_; }

private:
    // What evaluation reads besides the reference's points.
    struct Prepared {
        std::vector<double> slopes;  // counts per mm/s at every reference point
        SpectrumAnalysis analysis;   // of the reading below
        bool peaks_up = false;
    };

    // Std::runtime_error for a reference without area.
    static Prepared prepare(const SpectrumData& reference);
    // Makes `reference` (read from `list`) the component's, all or nothing.
    void take_reference(KeywordList list);

    // The interpolated count at u, with the slope as its derivative.
    template <class R>
    R reference_count(const R& u) const
    {
        const std::vector<double>& xs = reference_.x_data;
        const std::vector<double>& ys = reference_.y_data;
        const double at = dual_value(u);
        if (xs.empty() || std::isnan(at))
            return std::numeric_limits<double>::quiet_NaN();
        if (at <= xs.front())
            return ys.front();
        if (at >= xs.back())
            return ys.back();
        const std::size_t k = std::size_t(std::lower_bound(xs.begin(), xs.end(), at) - xs.begin());
        const std::vector<double>& ds = prepared_.slopes;
        if (xs[k] == at)
            return dual_apply(u, ys[k], ds[k]);
        const double t = (at - xs[k - 1]) / (xs[k] - xs[k - 1]);
        return dual_apply(u, (1.0 - t) * ys[k - 1] + t * ys[k], (1.0 - t) * ds[k - 1] + t * ds[k]);
    }

    SpectrumData reference_;
    Prepared prepared_;
};

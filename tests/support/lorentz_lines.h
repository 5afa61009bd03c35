// A distribution of Lorentz singlets reduced to what the deconvolution reads, for the
// model's and the document's deconvolution tests.
#pragma once

#include <numbers>
#include <string>
#include <vector>

#include "subspec/param_tables.h"
#include "subspec/subspec.h"

namespace model_test {

// A distribution of Lorentz singlets reduced to what the deconvolution reads: one line
// of area "I" at "δ", of a width fixed at construction.
class LorentzLines final : public ISubSpec, public ILorenzLines {
public:
    explicit LorentzLines(double width) : width_(width) {}

    unsigned param_count() const override { return 2; }
    unsigned shown_param_count() const override { return 2; }
    void evaluate(const XPoints& x, const ParamRange& p, double* values) const override
    {
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double u = (x(i) - p(1)) * 2.0 / width_;
            values[i] = p(0) * 2.0 / (std::numbers::pi * width_ * (1.0 + u * u));
        }
    }
    void evaluate_with_jacobian(const XPoints& x, const ParamRange& p, double* values, JacobianRange) const override
    {
        evaluate(x, p, values);
    }
    void init_params(const SpectrumAnalysis&, DVector&, unsigned, unsigned) const override {}
    const ParamInfo& param_info(unsigned i) const override { return LorenzLineParams::param_info(i); }
    std::wstring display_name() const override { return L"lines"; }
    void param_layout(std::vector<unsigned>& out) const override { out = {0, 1}; }
    SubSpecPtr clone() const override { return SubSpecPtr(new LorentzLines(width_)); }

    void lorentz_lines(const ParamRange& p, std::vector<double>& amplitudes, std::vector<double>& positions,
                       std::vector<double>& widths) const override
    {
        if (p(0) < 0.0)  // a negative area stands for "no lines" here
            return;
        amplitudes.push_back(2.0 * p(0) / (std::numbers::pi * width_));
        positions.push_back(p(1));
        widths.push_back(width_);
    }

private:
    double width_;
};

}  // namespace model_test

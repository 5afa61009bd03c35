// A fitted document for the report and table tests: a baseline, a pseudo-Voigt doublet
// whose width ratio follows a user expression, a five-point distribution of Lorentz
// lines over δ with a marked range, two user expressions (one that does not compile),
// an excluded range and a spectrum with a keyword list. Values and a diagonal
// covariance are set by hand, so every number of the results is known.
#pragma once

#include <cmath>
#include <vector>

#include "lineshapes/doublets.h"
#include "lineshapes/singlets.h"
#include "plot/report_values.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/subspec_impl.h"

namespace report_test {

struct Scene {
    SpectrumModel model;
    SpectrumData data;
    DVector values;
    DMatrix covariance;

    Scene()
    {
        for (const SubSpecPtr& s : {make_subspec<BaseLine>(nullptr), make_subspec<PseudoVoigtDoublet>(nullptr),
                                    make_distribution(make_subspec<LorenzLine>(nullptr), 5, {1})})
            model.insert_component(model.component_count(), s);
        model.scale = -2.0;
        model.insert_expression(0, L"Sum", L"[1:I]+[2:δL]");
        model.insert_expression(1, L"Bad", L"[7:I]");
        model.components[1]->links[5] = ParamLink{0, 0, LinkToExpr, 0.5};
        model.set_distribution_marks(0, {{1, 3}});
        model.xranges = {{-10.0, -8.0}, {8.0, 10.0}};
        model.keywords = {{L"Comment", {L"fit <1> & %", 0}}, {L"Secret", {L"x", KWHidden}}};
        model.rebuild_derived();

        values = DVector(model.param_count(), 0.0);
        covariance = DMatrix(model.param_count(), model.param_count(), 0.0);
        set(0, 1.0e6, 1000.0);  // N0
        // The doublet: I, I₂/I₁, δ, ε, Γ₁, Γ₂/Γ₁ (linked), α.
        const double doublet[] = {0.8, 1.0, 0.35, 0.7, 0.25, 0.0, 0.1};
        for (unsigned j = 0; j < 7; ++j)
            set(model.components[1]->first + j, doublet[j], 0.001 * (j + 1));
        const SubModel& dist = *model.components[2];
        set(dist.first + 0, -1.0, 0.01);  // δL
        set(dist.first + 1, 1.0, 0.01);   // δR
        set(dist.first + 2, 0.3, 0.0);    // Γ
        for (unsigned i = 0; i < 5; ++i)
            set(dist.first + dist.shown_count + i, 0.1 * (i + 1), 0.01);
        model.apply_links(values, nullptr);

        data.keywords = {{L"Temperature", {L"295", 0}}, {L"Sample", {L"Fe; \"alpha\"", 0}}};
        data.make_velocity_axis(64, -10.0, 10.0);
        std::vector<double> y(64);
        for (std::size_t i = 0; i < y.size(); ++i)
            y[i] = 1.0e6 - 3000.0 * std::exp(-data.x_data[i] * data.x_data[i]);
        data.set_counts_and_std_dev(y, std::vector<double>(64, 1000.0));
        data.update_analysis();
    }

    ResultsSource source(std::wstring spectrum_name = L"C:\\data\\fe.spc", std::wstring model_name = L"/m/fe.mdl") const
    {
        return {model, data, values, covariance, std::move(spectrum_name), std::move(model_name)};
    }

private:
    void set(unsigned i, double value, double error)
    {
        values(i) = value;
        covariance(i, i) = error * error;
    }
};

}  // namespace report_test

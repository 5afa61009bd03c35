// A fit of real size: a baseline, a pseudo-Voigt sextet of iron and a pseudo-Voigt
// doublet, on 1024 channels of Poisson counts simulated at known values; the start is
// a little off in the baseline, the areas, the shifts, the field and the widths.
#pragma once

#include <vector>

#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/subspec_impl.h"
#include "tests/support/dvectors.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/program_isotopes.h"
#include "tests/support/simulated_spectrum.h"

namespace test_support {

struct SextetDoubletFit {
    SpectrumModel model;
    SpectrumData data;
    DVector truth, start, lower, upper;
    std::vector<int> varied;

    explicit SextetDoubletFit(std::size_t points = 1024)
    {
        model.insert_component(0, model_test::baseline());
        model.insert_component(1, make_subspec<PseudoVoigtSextet>(&iron()));
        model.insert_component(2, make_subspec<PseudoVoigtDoublet>(&iron()));
        model.scale = -3e5;
        // Baseline N0, slope, curvature; sextet as in the engine's benchmarks; doublet
        // I, I₂/I₁, δ, ε, Γ₁, Γ₂/Γ₁, α.
        const std::vector<double> t = {1e6,  0.0, 0.0, 1.0, 2.0 / 3.0, 1.0 / 3.0, -0.11, 0.01, 330.0, 0, 0, 0.27,
                                       1,    1,   1,   1,   1,         0.3,       0.5,   1.0,  0.35,  0.4, 0.3, 1.0,
                                       0.0};
        truth = vec(t);
        std::vector<double> s = t;
        s[0] *= 0.98;
        s[3] = 0.85;
        s[6] = -0.07;
        s[8] = 326.0;
        s[11] = 0.31;
        s[18] = 0.6;
        s[20] = 0.31;
        s[22] = 0.34;
        start = vec(s);
        varied.assign(t.size(), 0);
        for (int k : {0, 3, 6, 7, 8, 11, 18, 20, 21, 22})
            varied[k] = 1;
        const DVector x = grid(-10.0, 10.0, points);
        DVector expected(points);
        model.evaluate(x, 0, points, truth, expected);
        random_engine().seed(24);
        data = poisson_spectrum(x, expected);
        lower = DVector(t.size(), -1e300);
        upper = DVector(t.size(), 1e300);
    }
};

}  // namespace test_support

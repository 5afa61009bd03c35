// The α-iron example of the main window's tests: a 512-channel spectrum (33 T sextet on
// a baseline of 10⁶ counts with Poisson-like noise) simulated with the program's own
// sextet model, and that model as the document's components. Needs the macro
// VX_TEST_DATA_DIR (the isotope table).
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "core/document/model_state.h"
#include "core/spectrum/spectrum_data.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"

namespace alpha_iron {

inline const std::vector<double> baseline_values{0, 0, 0};
inline const std::vector<double> sextet_values{1.0, 2.0 / 3, 1.0 / 3, 0, 0, 330.0, 0, 0, 0.27, 1, 1, 1, 1, 1, 0.3};

inline DVector dvector(const std::vector<double>& v)
{
    DVector out(v.size());
    std::copy(v.begin(), v.end(), out.begin());
    return out;
}

inline SpectrumData spectrum()
{
    SpectrumModel model;
    model.level = 1e6;
    model.insert_component(0, make_subspec<AutoBaseLine2>(nullptr));
    model.insert_component(1, make_subspec<PseudoVoigtSextet>(&test_support::iron()));
    model.scale = -3e5;
    std::vector<double> p = baseline_values;
    p.insert(p.end(), sextet_values.begin(), sextet_values.end());
    const DVector params = dvector(p);
    const unsigned n = 512;
    DVector x(n), m(n);
    for (unsigned i = 0; i < n; ++i) x(i) = -10.0 + 20.0 * i / (n - 1);
    model.evaluate(x, 0, n, params, m);
    std::mt19937 engine(57);
    SpectrumData data;
    for (unsigned i = 0; i < n; ++i) {
        std::normal_distribution<double> noise(m(i), std::sqrt(m(i)));
        data.x_data.push_back(x(i));
        data.y_data.push_back(std::round(noise(engine)));
        data.std_dev_data.push_back(std::sqrt(data.y_data.back()));
    }
    data.update_analysis();
    return data;
}

// The model that made the spectrum, appended to the document's components: free
// parameters within their descriptors' bounds.
inline void add_model(ModelState& document)
{
    // An automatic baseline takes the model's level when it is inserted.
    document.model.level = 1e6;
    document.model.scale = -3e5;
    for (const auto& [subspec, values] : std::vector<std::pair<SubSpecPtr, std::vector<double>>>{
             {make_subspec<AutoBaseLine2>(nullptr), baseline_values},
             {make_subspec<PseudoVoigtSextet>(&test_support::iron()), sextet_values}}) {
        const DVector v = dvector(values);
        DVector lower(v.size()), upper(v.size());
        for (unsigned i = 0; i < v.size(); ++i) {
            lower(i) = subspec->param_info(i).lower;
            upper(i) = subspec->param_info(i).upper;
        }
        document.insert_component(document.model.component_count(), subspec, v,
                                  std::vector<int>(values.size(), ParamFree), lower, upper);
    }
}

}  // namespace alpha_iron

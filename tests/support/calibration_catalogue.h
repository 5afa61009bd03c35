// A stand-in for the model catalogue and the component-line reader, for the calibration's
// tests and benchmark: the models isotope.txt names for its standards, the default
// baseline by level, and parameter texts "name=value" with a trailing "F" for a fixed
// parameter (parameters not named keep 0 and their descriptor's flag).
#pragma once

#include <cwchar>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/calibration/calibration_catalogue.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/singlets.h"
#include "subspec/baseline.h"
#include "subspec/subspec_impl.h"

namespace test_support {

class CalibrationCatalogue final : public ICalibrationCatalogue {
public:
    SubSpecPtr create_baseline(const Isotope*, double level) const override
    {
        return level >= 1.0 ? make_subspec<AutoBaseLine2>(nullptr) : make_subspec<BaseLine>(nullptr);
    }

    SubSpecPtr create_by_name(const std::wstring& name, const Isotope* isotope) const override
    {
        if (name == L"PseudoVoigt sextet")
            return make_subspec<PseudoVoigtSextet>(isotope);
        if (name == L"PseudoVoigt doublet")
            return make_subspec<PseudoVoigtDoublet>(isotope);
        if (name == L"PseudoVoigt singlet")
            return make_subspec<PseudoVoigtLine>(isotope);
        if (name == L"Baseline")  // a model without a shift "δ"
            return make_subspec<BaseLine>(nullptr);
        return nullptr;
    }

    void parse_params(const std::wstring& text, const ISubSpec& component, std::vector<double>& values,
                      std::vector<int>& flags, std::vector<double>& lower, std::vector<double>& upper) const override
    {
        const std::size_t base = values.size();
        append_descriptor_defaults(component, values, flags, lower, upper);
        std::wistringstream in(text);
        std::wstring token;
        while (in >> token) {
            const std::size_t eq = token.find(L'=');
            if (eq == std::wstring::npos)
                throw std::runtime_error("a parameter without a value");
            const std::wstring name = token.substr(0, eq);
            std::wstring value = token.substr(eq + 1);
            const bool fixed = !value.empty() && value.back() == L'F';
            if (fixed)
                value.pop_back();
            wchar_t* end = nullptr;
            const double v = std::wcstod(value.c_str(), &end);
            if (value.empty() || *end != 0)
                throw std::runtime_error("a value that is not a number");
            unsigned j = 0;
            while (j < component.param_count() && component.param_info(j).name != name)
                ++j;
            if (j == component.param_count())
                throw std::runtime_error("an unknown parameter");
            values[base + j] = v;
            flags[base + j] = fixed ? 0 : 1;
        }
    }
};

}  // namespace test_support

#include "lineshapes/start_values.h"

#include <stdexcept>

#include "core/spectrum/isotope.h"
#include "core/spectrum/spectrum_analysis.h"

double natural_width(const Isotope* isotope, const SpectrumAnalysis& analysis)
{
    if (isotope)
        return isotope->Γτ;
    if (analysis.line_width > 0.0)
        return analysis.line_width / 3.0;
    if (analysis.WH2 > 0.0)
        return analysis.WH2 / 3.0;
    return 0.1;
}

const Isotope& required_isotope(const Isotope* isotope)
{
    if (!isotope)
        throw std::runtime_error("This model needs an isotope");
    return *isotope;
}

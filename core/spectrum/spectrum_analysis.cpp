// Defaults and the emission reading of the spectrum analysis record.
#include "core/spectrum/spectrum_analysis.h"

void SpectrumAnalysis::reset()
{
    *this = SpectrumAnalysis();
}

SpectrumAnalysis SpectrumAnalysis::emission_reading() const
{
    SpectrumAnalysis r = *this;
    r.N0 = N0_e;
    r.depth = height_e;
    r.Q = Q_e;
    r.WH2 = WH2_e;
    r.XWH2 = XWH2_e;
    r.S = S_e;
    r.XSc = XSc_e;
    r.XSc_err = XSc_e_err;
    r.Dv = Dv_e;
    r.Dv_err = Dv_e_err;
    r.lines = lines_e;
    return r;
}

// The model's levels taken from a spectrum's analysis.
#include <cmath>

#include "core/model/spectrum_model.h"

void SpectrumModel::set_levels(double S, double N0)
{
    if (N0 == 0.0)
        N0 = 1.0;
    if (S == 0.0)
        S = 1.0;
    scale = is_emission() ? std::fabs(S) : -std::fabs(S);
    level = N0;
    if (starts_with_baseline())
        if (auto* automatic = dynamic_cast<IAutoBaseLine*>(components.front()->subspec.get()))
            automatic->set_level(N0);
    rebuild_derived();
}

// The many-state sextets fitted back to the parameters of spectra simulated from them
// with Poisson noise, in the motional-narrowing range where the rate, the field and the
// population parameters all shape the spectrum.
#include <gtest/gtest.h>

#include "relaxation/many_state_relaxation.h"
#include "subspec/subspec_impl.h"
#include "tests/support/fit_recovery.h"
#include "tests/support/program_isotopes.h"

namespace {

using namespace fit_recovery;
using test_support::iron;

SubSpecPtr with_levels(SubSpecPtr s, int levels)
{
    dynamic_cast<ISubSpecData&>(*s).load_extra(L"0|Levels (2S+1)|" + std::to_wstring(levels));
    return s;
}

TEST(ManyStateFit, SpinRelaxationRecoversRateFieldAndBoltzmannFactor)
{
    check_recovery({"ManyStateRelaxSextet",
                    with_levels(make_subspec<ManyStateRelaxSextet>(&iron()), 11),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.1, 0.0, 400.0, 19.5, 0.6, 0.3, 1.0, 1.0},
                    {-0.1, 0, 0, 0.05, 0, -8.0, 0.4, -0.1, 0.04, 0, 0},
                    {1, 0, 0, 1, 0, 1, 1, 1, 1, 0, 0},
                    10.0},
                   512, 30);
}

TEST(ManyStateFit, SuperparamagneticRelaxationRecoversRateFieldAndAnisotropy)
{
    check_recovery({"ManyStateSPRelaxSextet",
                    with_levels(make_subspec<ManyStateSPRelaxSextet>(&iron()), 21),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.1, 0.0, 400.0, 20.0, 4.0, 0.5, 0.3, 1.0, 1.0},
                    {-0.1, 0, 0, 0.05, 0, -8.0, 0.4, -0.8, 0.2, 0.04, 0, 0},
                    {1, 0, 0, 1, 0, 1, 1, 1, 1, 1, 0, 0},
                    10.0},
                   512, 30);
}

}  // namespace

// Fits that recover the parameters of the anharmonic spin modulation, the elliptic
// parameter m among them, from spectra simulated with Poisson noise
// (tests/support/fit_recovery.h): unbiased values and right errors over many draws.
#include <gtest/gtest.h>

#include "relaxation/anharmonic_sextets.h"
#include "relaxation/nmr_anharmonic.h"
#include "tests/support/fit_recovery.h"
#include "tests/support/program_isotopes.h"

namespace {

using fit_recovery::check_recovery;
using test_support::iron;

TEST(AnharmonicFitRecovery, SpinModulationSextet)
{
    check_recovery({"AnharmonicSpinModulation",
                    make_subspec<AnharmonicSpinModulation>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.25, 0.0, -0.06, 0.0, 300.0, 35.0, 0.6, 0.3, 1, 1, 0},
                    {-0.1, 0, 0, -0.05, 0, 0.04, 0, -6.0, -10.0, -0.3, 0.04, 0, 0, 0},
                    {1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 1, 0, 0, 0},
                    10.0},
                   512, 30);
}

TEST(AnharmonicFitRecovery, NmrLine)
{
    check_recovery({"NMR_AnharmonicSpinModulation",
                    make_subspec<NMR_AnharmonicSpinModulation>(nullptr),
                    {1.0, 0.0, 2.0, -0.5, 0.3, 0.2, 0.5},
                    {-0.1, 0.1, -0.3, 0.3, 0.05, -0.1, 0.1},
                    {1, 1, 1, 1, 1, 1, 1},
                    4.0},
                   512, 30);
}

}  // namespace

// Fits that recover the parameters of the anharmonic spin modulation (the elliptic
// parameter m among them), of the spiral structures and of the spin density wave from spectra simulated with Poisson noise
// (tests/support/fit_recovery.h): unbiased values and right errors over many draws.
#include <gtest/gtest.h>

#include "relaxation/anharmonic_hamilton.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/density_wave.h"
#include "relaxation/nmr_anharmonic.h"
#include "relaxation/nmr_spiral.h"
#include "relaxation/spiral_models.h"
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

// The anisotropic field tensor's fields along the two axes the spin turns through (x and z;
// y, across its plane, leaves the spectrum alone), with m.
TEST(AnharmonicFitRecovery, AnisotropicSextet)
{
    check_recovery({"AnharmonicSpinModulationAnisotropic",
                    make_subspec<AnharmonicSpinModulationAnisotropic>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.25, 0, -0.1, 0, 0, 0, 0, 0, 300.0, 300.0, 330.0,
                     0.6, 0, 0.3, 1, 1, 0},
                    {-0.1, 0, 0, -0.05, 0, 0.04, 0, 0, 0, 0, 0, -6.0, 0, -8.0, -0.3, 0, 0.04, 0, 0, 0},
                    {1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 0},
                    10.0},
                   512, 20);
}

// The full Hamiltonian over the phases of the elliptic profile: γ of a random powder.
TEST(AnharmonicFitRecovery, HamiltonSextet)
{
    check_recovery({"AnharmonicSpinModulationHamilton",
                    make_subspec<AnharmonicSpinModulationHamilton>(&iron()),
                    {1.0, 54.735610317245346, 0.25, 0.5, 0, 0, 300.0, 35.0, 0.6, 0.3, 0},
                    {-0.1, 0, -0.05, 0.1, 0, 0, -6.0, -10.0, -0.3, 0.04, 0},
                    {1, 0, 1, 1, 0, 0, 1, 1, 1, 1, 0},
                    10.0},
                   512, 20);
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

TEST(SpiralFitRecovery, SpiralSextet)
{
    check_recovery({"Spiral_Spin_Sextet",
                    make_subspec<Spiral_Spin_Sextet>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.25, 0.3, 0, 0, 40.0, 0.3, 1, 1, 0, 0, 0.8, 300.0,
                     0, 0, 0, 0, 0, 0, 0},
                    {-0.1, 0, 0, -0.05, 0.05, 0, 0, -10.0, 0.04, 0, 0, 0, 0, 0.1, -6.0, 0, 0, 0, 0, 0, 0, 0},
                    {1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                    10.0},
                   512, 30);
}

TEST(SpiralFitRecovery, SpiralHamilton)
{
    check_recovery({"Spiral_Spin_Hamilton",
                    make_subspec<Spiral_Spin_Hamilton>(&iron()),
                    {1.0, 54.735610317245346, 0.25, 0.5, 0, 0, 0.3, 0, 0, 0.8, 300.0, 0, 0, 0, 0, 0, 0, 0},
                    {-0.1, 0, -0.05, 0.1, 0, 0, 0.04, 0, 0, 0.1, -6.0, 0, 0, 0, 0, 0, 0, 0},
                    {1, 0, 1, 1, 0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                    10.0},
                   512, 20);
}

// The spectrum's area is 2π·I: I = 1/(2π) gives the area 1 that the set-up assumes.
TEST(SpiralFitRecovery, NmrLine)
{
    check_recovery({"NMR_Spiral_Spin",
                    make_subspec<NMR_Spiral_Spin>(&iron()),
                    {0.15915494309189535, 0, 0, 0.3, 0.2, 0.5, 0, 0.7, 2.0, 0, 0, 0, 0, 0, 0, 0},
                    {-0.01, 0, 0, 0.03, -0.05, 0, 0, 0.05, -0.05, 0, 0, 0, 0, 0, 0, 0},
                    {1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0},
                    4.0},
                   512, 30);
}

TEST(SpiralFitRecovery, DensityWave)
{
    check_recovery({"SDW_CDW_Sextet",
                    make_subspec<SDW_CDW_Sextet>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.25, 0, 0.1, 0, 100.0, 0.3, 0, 250.0, 0, 0, 0, 0,
                     0, 0, 0, 0, 0, 0, 0, 0},
                    {-0.1, 0, 0, -0.05, 0, 0.04, 0, -15.0, 0.04, 0, -10.0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                    {1, 0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                    10.0},
                   512, 30);
}

}  // namespace

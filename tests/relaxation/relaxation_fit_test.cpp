// Fits that recover the parameters of the relaxation models, rates included, from
// spectra simulated with Poisson noise (tests/support/fit_recovery.h), at rates where the
// spectrum shows the relaxation.
#include "relaxation/fluctuating_fields.h"
#include "relaxation/spin_relax_sextet.h"
#include "relaxation/two_state_models.h"
#include "tests/support/fit_recovery.h"
#include "tests/support/program_isotopes.h"

namespace {

using namespace fit_recovery;
using test_support::iron;

TEST(RelaxationFitRecovery, TwoStateDoublet)
{
    check_recovery({"RelaxDoublet", make_subspec<RelaxDoublet>(&iron()),
                    {0.5, 0.7, 0.5, 1.2, -0.5, 0.6, 17.5, 1.0, 0.25},
                    {-0.05, 0, 0.03, -0.05, 0.03, 0.04, 0.3, 0, 0.03}, {1, 0, 1, 1, 1, 1, 1, 0, 1}, 4.0},
                   512, 40);
}

TEST(RelaxationFitRecovery, MagneticTwoStateSextet)
{
    check_recovery({"RelaxSextet", make_subspec<RelaxSextet>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.1, 0.0, 300.0, 19.0, 1.0, 0.25},
                    {-0.1, 0, 0, 0.05, 0, -5.0, 0.3, 0, 0.03}, {1, 0, 0, 1, 0, 1, 1, 0, 1}, 10.0},
                   512, 40);
}

TEST(RelaxationFitRecovery, TwoSextets)
{
    check_recovery({"TwoStateRelaxSextet", make_subspec<TwoStateRelaxSextet>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.1, 0.0, 330.0, 0.3, 0.0, 250.0, 18.0, 1.5, 0.25},
                    {-0.1, 0, 0, 0.03, 0, -4.0, -0.03, 0, 4.0, 0.3, -0.2, 0.03}, {1, 0, 0, 1, 0, 1, 1, 0, 1, 1, 1, 1},
                    10.0},
                   512, 30);
}

TEST(RelaxationFitRecovery, SingleIonSpin)
{
    check_recovery({"SpinRelaxSextet", make_subspec<SpinRelaxSextet>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.1, 0.0, 330.0, 17.5, 0.4, 0.25, 5, 8, 9},
                    {-0.1, 0, 0, 0.03, 0, -4.0, 0.3, 0.05, 0.03, 0, 0, 0}, {1, 0, 0, 1, 0, 1, 1, 1, 1, 0, 0, 0}, 10.0},
                   512, 30);
}

TEST(RelaxationFitRecovery, FluctuatingFields)
{
    check_recovery({"FluctuatingEFG", make_subspec<FluctuatingEFG>(&iron()), {0.5, 1.0, 0.3, 0.8, 18.5, 0.25},
                    {-0.05, 0, 0.03, -0.05, 0.3, 0.03}, {1, 0, 1, 1, 1, 1}, 4.0},
                   512, 40);
    check_recovery({"FluctuatingMMF", make_subspec<FluctuatingMMF>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, 0.1, 0.0, 300.0, 19.5, 0.25},
                    {-0.1, 0, 0, 0.05, 0, -5.0, 0.3, 0.03}, {1, 0, 0, 1, 0, 1, 1, 1}, 10.0},
                   512, 40);
}

}  // namespace

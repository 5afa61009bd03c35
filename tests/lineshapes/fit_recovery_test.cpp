// Fits that recover known parameters of the line models from simulated spectra
// (tests/support/fit_recovery.h).
#include "line_test_support.h"
#include "lineshapes/doublets.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/singlets.h"
#include "tests/support/fit_recovery.h"

namespace {

using namespace line_test;
using namespace fit_recovery;

// An α-iron-like sextet of 330 kOe with a small quadrupole shift on 512 channels; the
// intensity ratios and the width ratios fixed as a new component has them.
TEST(FitRecovery, AlphaIronSextet)
{
    check_recovery({"PseudoVoigtSextet",
                    make_subspec<PseudoVoigtSextet>(&iron()),
                    {1.0, 0.6666666666666666, 0.3333333333333333, -0.11, 0.01, 330.0, 0, 0, 0.27, 1, 1, 1, 1, 1, 0.3},
                    {-0.1, 0, 0, 0.05, -0.02, -4.0, 0, 0, 0.04, 0, 0, 0, 0, 0, -0.15},
                    {1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1},
                    8.0},
                   512, 60);
}

TEST(FitRecovery, Doublet)
{
    check_recovery({"PseudoVoigtDoublet",
                    make_subspec<PseudoVoigtDoublet>(nullptr),
                    {0.4, 1.0, 0.35, 0.42, 0.3, 1.0, 0.2},
                    {-0.05, 0, -0.04, 0.05, 0.05, 0, 0.15},
                    {1, 0, 1, 1, 1, 0, 1},
                    4.0},
                   512, 60);
}

// A Voigt singlet, both widths fitted.
TEST(FitRecovery, Singlet)
{
    check_recovery({"VoigtLine", make_subspec<VoigtLine>(nullptr), {0.3, 0.1, 0.25, 0.2}, {-0.03, 0.05, 0.05, -0.05},
                    {1, 1, 1, 1}, 3.0},
                   512, 60);
}

}  // namespace

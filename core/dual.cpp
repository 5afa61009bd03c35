// Re w(x + iy) on dual numbers of any length: w is evaluated once on ComplexDual<2>,
// seeded with the real and the imaginary input, and its two partial derivatives are
// chained through the n derivatives of x and y.
#include "core/dual.h"

#include "core/complex_dual.h"
#include "lineshapes/faddeeva.h"

void dual_faddeeva_re(double* x, const double* y, unsigned n)
{
    const ComplexDual<2> z(Dual<2>::seed(x[0], 0), Dual<2>::seed(y[0], 1));
    const Dual<2> re = faddeeva_w(z).real();
    x[0] = re[0];
    for (unsigned i = 1; i <= n; ++i)
        x[i] = x[i] * re[1] + y[i] * re[2];
}

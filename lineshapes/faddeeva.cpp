// The value instance of the Faddeeva function, compiled once for every line model, and
// its real part on dual numbers of any length.
#include "lineshapes/faddeeva.h"

template std::complex<double> faddeeva_w(const std::complex<double>&);

void dual_faddeeva_re(double* x, const double* y, unsigned n)
{
    const ComplexDual<2> z(Dual<2>::seed(x[0], 0), Dual<2>::seed(y[0], 1));
    const Dual<2> re = faddeeva_w(z).real();
    x[0] = re[0];
    for (unsigned i = 1; i <= n; ++i)
        x[i] = x[i] * re[1] + y[i] * re[2];
}

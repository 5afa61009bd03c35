// The value instance of the Faddeeva function, compiled once for every line model.
#include "lineshapes/faddeeva.h"

template std::complex<double> faddeeva_w(const std::complex<double>&);

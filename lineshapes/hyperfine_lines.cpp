// The instances of the hyperfine lines that the models use, compiled once.
#include "lineshapes/hyperfine_lines.h"

template HyperfineLines<double> hyperfine_lines(const Isotope&, const double&, const double&, const double&,
                                                const double&, const double&, const double&, const double&);
template HyperfineLines<Dual<7>> hyperfine_lines(const Isotope&, const Dual<7>&, const Dual<7>&, const Dual<7>&,
                                                 const Dual<7>&, const Dual<7>&, const Dual<7>&, const Dual<7>&);
#define VX_HYPERFINE_LINES_INSTANCE(N)                                                                  \
    template HyperfineLines<Dual<N>> hyperfine_lines(const Isotope&, const Dual<N>&, const Dual<N>&,    \
                                                     const Dual<N>&, const Dual<N>&, const Dual<N>&,    \
                                                     const Dual<N>&, const Dual<N>&);
VX_HYPERFINE_LINES_INSTANCE(10)
VX_HYPERFINE_LINES_INSTANCE(11)
VX_HYPERFINE_LINES_INSTANCE(17)
VX_HYPERFINE_LINES_INSTANCE(18)

#include "relaxation/tridiagonal_solver.h"

VX_TRIDIAGONAL_INSTANCES(, double)
VX_TRIDIAGONAL_INSTANCES(, Dual<11>)
VX_TRIDIAGONAL_INSTANCES(, Dual<12>)

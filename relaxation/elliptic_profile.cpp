#include "relaxation/elliptic_profile.h"

#include <cmath>
#include <limits>

#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/ellint_1.hpp>
#include <boost/math/special_functions/jacobi_elliptic.hpp>

namespace {

// In double precision throughout. Promoted to the 80-bit long double of the 32-bit
// Windows build, the arithmetic-geometric mean inside jacobi_elliptic never gets the
// difference of its means below the long double epsilon and recurses until the stack
// overflows.
using DoublePrecision = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

}  // namespace

EllipticProfile::EllipticProfile(double q)
    : k_(std::sqrt(q)),
      period4_(q >= 0.0 && q < 1.0 ? 4.0 * boost::math::ellint_1(k_, DoublePrecision())
                                   : std::numeric_limits<double>::quiet_NaN())
{
}

void EllipticProfile::at(double x, double& sn, double& cn) const
{
    if (std::isnan(period4_)) {
        sn = cn = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    double dn;
    sn = boost::math::jacobi_elliptic(k_, period4_ * x, &cn, &dn, DoublePrecision());
}

double EllipticProfile::sn(double x) const
{
    double s, c;
    at(x, s, c);
    return s;
}

double sn_profile(double x, double q)
{
    return EllipticProfile(q).sn(x);
}

double cn_profile(double x, double q)
{
    double s, c;
    EllipticProfile(q).at(x, s, c);
    return c;
}

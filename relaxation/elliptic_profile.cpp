#include "relaxation/elliptic_profile.h"

#include <cmath>
#include <limits>

#include <boost/math/special_functions/ellint_1.hpp>
#include <boost/math/special_functions/jacobi_elliptic.hpp>

EllipticProfile::EllipticProfile(double q)
    : k_(std::sqrt(q)),
      period4_(q >= 0.0 && q < 1.0 ? 4.0 * boost::math::ellint_1(k_) : std::numeric_limits<double>::quiet_NaN())
{
}

void EllipticProfile::at(double x, double& sn, double& cn) const
{
    if (std::isnan(period4_)) {
        sn = cn = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    double dn;
    sn = boost::math::jacobi_elliptic(k_, period4_ * x, &cn, &dn);
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

// The elliptic profiles of the anharmonic spin modulation: sn(4·K(k)·x | k) and
// cn(4·K(k)·x | k) of the phase x, with k = √q the modulus and K(k) the complete
// elliptic integral of the first kind, so that x runs through one period of the Jacobi
// functions as it runs through an interval of length 1 (q = 0 gives sin 2πx and
// cos 2πx; as q approaches 1, sn approaches a square wave). Method: Boost.Math ellint_1
// for K, once per modulus, and jacobi_elliptic for sn and cn together.
#pragma once

class EllipticProfile {
public:
    // q: the square of the modulus, 0 ≤ q ≤ 1. At q = 1 (K infinite) and for a NaN q
    // every profile value is NaN; the callers refuse q > 1 before.
    explicit EllipticProfile(double q);

    void at(double x, double& sn, double& cn) const;
    double sn(double x) const;

private:
    double k_;
    double period4_;  // 4·K(k); NaN where the profile is not defined
};

double sn_profile(double x, double q);
double cn_profile(double x, double q);

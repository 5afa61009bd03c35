// The dot product of two contiguous arrays in four running sums: they break the chain of
// dependent additions (and let the compiler use vector registers); their order is
// fixed, so every build gives the same bits.
#pragma once

#include <cstddef>

inline double running_dot(const double* a, const double* b, std::size_t n)
{
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    std::size_t j = 0;
    for (; j + 4 <= n; j += 4) {
        s0 += a[j] * b[j];
        s1 += a[j + 1] * b[j + 1];
        s2 += a[j + 2] * b[j + 2];
        s3 += a[j + 3] * b[j + 3];
    }
    for (; j < n; ++j)
        s0 += a[j] * b[j];
    return (s0 + s1) + (s2 + s3);
}

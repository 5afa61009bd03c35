// Linear resampling: destination index i maps to the source position
// o = (i − d0)·(s1 − s0)/(d1 − d0) + s0 and takes the linear interpolation of the
// source there (the last source value from o ≥ length − 1 on), or `fill` outside
// 0 ≤ o < length. Only destination indices from max(0, ⌊d0⌋) below min(⌈d1⌉, length)
// are written; the others keep their values. Callers usually pass the two lengths as
// s1 and d1 with s0 = d0 = 0.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

void resample_linear(std::span<const double> src, double s0, double s1, std::span<double> dst,
                     double d0, double d1, double fill);

// The same on the ranges [src_first, src_first + src_count) and
// [dst_first, dst_first + dst_count), indices counted within the ranges; a range
// beyond its vector throws std::out_of_range.
void resample_linear_range(const std::vector<double>& src, std::size_t src_first,
                           std::size_t src_count, double s0, double s1, std::vector<double>& dst,
                           std::size_t dst_first, std::size_t dst_count, double d0, double d1,
                           double fill);

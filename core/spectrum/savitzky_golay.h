// Savitzky-Golay kernels: the weights that give, at the centre of a window of 2m+1
// equally spaced samples, the s-th coefficient of the least-squares polynomial of
// order p (s = 0 smooths, s = 1 gives the slope per sample; no factorial factor).
#pragma once

#include <vector>

// Writes 2·half_width + 1 weights into `kernel`; weight j + m belongs to the sample
// at offset j from the centre. A window too short for the order (2m < p) uses the
// interpolating polynomial of order 2m instead, and a derivative above the order in
// use gives all-zero weights, so every call yields a defined kernel.
void savitzky_golay_coefficients(unsigned order, unsigned half_width, unsigned derivative,
                                 std::vector<double>& kernel);

// The same kernel as a polynomial in the offset j: weight(j) = Σ_q c[q]·j^q, with
// c[0 … p] for the order p in use; empty where the kernel is all zeros.
std::vector<double> savitzky_golay_polynomial(unsigned order, unsigned half_width, unsigned derivative);

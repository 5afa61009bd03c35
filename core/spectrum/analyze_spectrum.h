// The automatic analysis of a spectrum: baseline levels, depth and height, signal to
// noise, half-depth region, areas, centroids and dispersions with their standard
// errors, and the lines found on the smoothed slope.
#pragma once

#include <cstddef>
#include <span>

#include "core/spectrum/spectrum_analysis.h"

// Fills `a` from the velocities x (increasing), the counts y and their standard
// deviations, all of one length (otherwise std::invalid_argument). filter_width is
// the smoothing half width in points, 0 for the automatic choice. Returns false, with
// only the two line lists emptied, when there are no counts. Does not touch `valid`.
bool analyze_spectrum(SpectrumAnalysis& a, std::span<const double> x, std::span<const double> y,
                      std::span<const double> std_dev, unsigned filter_width);

// The sum of v[first … first + count − 1] divided by count; a range beyond v throws
// std::out_of_range.
double mean_of_range(std::span<const double> v, std::size_t first, std::size_t count);

// The first index reached from `start`, stepping by `step` (+1 or −1) while inside v,
// whose value is at or below `level`; `start` itself when there is none (also when
// start lies outside v).
std::ptrdiff_t find_level_crossing(std::span<const double> v, std::ptrdiff_t start, int step,
                                   double level);

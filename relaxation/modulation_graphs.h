// The extra curves of the anharmonic spin-modulation models, computed from the
// component's parameters: curve 1 the modulation profile over one period, curve 2 the
// histogram of the hyperfine field's magnitude (of the frequency, for the NMR model)
// over the period. Other curve numbers draw nothing.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "relaxation/spiral_field.h"

inline constexpr unsigned profile_curve = 1;
inline constexpr unsigned histogram_curve = 2;

// "qx" and "sinϑ(qx)" for the profile, "H" and "p(H)" for the histogram; other curves
// leave the names.
void modulation_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name);

// The axis names as the extra-graph mixin asks a model for them.
struct ModulationAxisNames {
    void graph_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const
    {
        modulation_axis_names(curve, x_name, y_name);
    }
};

// "qx" and "cosθ(qx)" for the profile of a spiral structure, "H" and "p(H)" for the
// histogram; other curves leave the names.
void spiral_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name);

struct SpiralAxisNames {
    void graph_axis_names(unsigned curve, std::wstring& x_name, std::wstring& y_name) const
    {
        spiral_axis_names(curve, x_name, y_name);
    }
};

// The direction of a spiral structure's field over one period: n + 1 phases
// qx_i = i·2π/n from 0 to 2π, y_i = c/|H|; where the field vanishes y is 0 at the two
// ends and the sign of c (+1 for c = 0) inside. Empties the errors.
void spiral_profile(const SpiralField<double>& field, std::size_t n, std::vector<double>& x, std::vector<double>& y,
                    std::vector<double>& errors);

// The histogram of magnitude(qx) over 50000 phases of the period qx = 0 … 2π in 200 bins
// at their lower edges, summing to 1, on the range that 100 phases span. Leaves the
// vectors as they are when the magnitude is 0 at those 100 phases.
void period_histogram(const std::function<double(double)>& magnitude, std::vector<double>& x,
                      std::vector<double>& y, std::vector<double>& errors);

// The curves of a spiral structure: 0 empties the vectors, 1 is the direction profile
// over `points` + 1 phases, 2 the histogram of |H|; others leave the vectors.
void spiral_graph(unsigned curve, const SpiralField<double>& field, int points, std::vector<double>& x,
                  std::vector<double>& y, std::vector<double>& y_errors);

// `points` phases x_i = i/(points − 1) from 0 to 1, y_i = sn(4K·x_i | √|m|): the elliptic
// function that the spectrum samples (cos ϑ for m ≥ 0, sin ϑ for m < 0). Empties the
// errors; std::domain_error for |m| > 1.
void modulation_profile(double m, std::size_t points, std::vector<double>& x, std::vector<double>& y,
                        std::vector<double>& errors);

struct HistogramLayout {
    std::size_t bins;
    bool centred;         // x at the bins' centres, else at their lower edges
    std::size_t samples;  // phases s/samples − 1/2 of one period
    double scale;         // the factor of every count
};

// The histogram of magnitude(phase) over the layout's phases, on the range lo … hi
// widened by a tenth of its span on each side and cut at 0 below: x and y get one entry
// per bin, the errors are emptied. A value below the range (or NaN) counts in the first
// bin, one above it in the last; with a range of no width (or one within the rounding of
// its values) every value counts in the first bin.
void magnitude_histogram(double lo, double hi, const HistogramLayout& layout,
                         const std::function<double(double)>& magnitude, std::vector<double>& x,
                         std::vector<double>& y, std::vector<double>& errors);

// The histogram of |isotropic + anisotropic·P| for a field (or frequency) linear in the
// Legendre value P of the spin angle, which runs from −1/2 to 1 over every period: the
// range is that of the magnitude, from 0 where the field changes sign. Leaves the
// vectors as they are when the range has no width (anisotropic = 0).
void legendre_field_histogram(double isotropic, double anisotropic, double m, const HistogramLayout& layout,
                              std::vector<double>& x, std::vector<double>& y, std::vector<double>& errors);

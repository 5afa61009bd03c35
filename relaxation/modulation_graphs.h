// The extra curves of the anharmonic spin-modulation models, computed from the
// component's parameters: curve 1 the modulation profile over one period, curve 2 the
// histogram of the hyperfine field's magnitude (of the frequency, for the NMR model)
// over the period. Other curve numbers draw nothing.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

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

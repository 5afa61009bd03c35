// Parameter descriptors: what a subspectrum's parameters are called and stored as, how
// they are shown, which quantity they stand for, and the bounds and free flags that a
// newly added component starts with; plus the display order of the parameter grids.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

// The quantity a parameter stands for. Linking offers a parameter only targets of the
// same kind (or kind 0), and a distribution may spread only the kinds its model lists.
// The codes are fixed: Lua-scripted models declare them as plain integers.
enum ParamKind : int {
    KindNone = 0,             // no particular quantity; distribution weights, FreeVar
    KindShift = 1,            // isomer shift or line centre
    KindQuadrupole = 2,       // quadrupole splitting or shift
    KindOuterPairShift = 3,   // a₊ of a sextet
    KindInnerPairShift = 4,   // a₋ of a sextet
    KindIntensity = 5,        // area of a subspectrum
    KindIntensityRatio = 6,   // ratio of two line intensities
    KindLevel = 7,            // counts level of a baseline or measured spectrum
    KindGaussFraction = 8,    // Gaussian fraction of a pseudo-Voigt shape
    KindWidth = 9,            // full width at half maximum
    KindWidthRatio = 10,      // ratio of two widths
    KindField = 11,           // hyperfine field (or the NMR frequency standing for it)
    KindLogRate = 12,         // natural logarithm of a rate
    KindRateRatio = 13,       // ratio of two rates
    KindCurvature = 14,       // curvature of a baseline
    KindCentre = 15,          // centre velocity of a baseline's curvature
    KindCoefficient = 17,     // dimensionless coefficient of a relaxation model
    KindAngle = 20,           // angle in degrees
    KindAsymmetry = 21,       // asymmetry of the electric field gradient
    KindQuadrupolePerField = 22,
    KindShiftPerField = 23,
    KindModulus = 24,         // parameter of the elliptic modulation profile
    KindHarmonic = 25,        // amplitude of a harmonic of a modulation, or their ratio
    KindShiftHarmonic = 26,   // harmonic of the isomer shift along a modulation
};

struct ParamInfo {
    std::wstring name;    // shown, and the parameter's key in model files: exact, subscripts included
    std::wstring format;  // printf-style, one conversion
    int kind;             // a ParamKind code (any integer for scripted models)
    double lower;         // starting lower bound; -infinity for none
    double upper;         // starting upper bound; +infinity for none
    bool free;            // varied by the fit by default
};

// The bound of a parameter that has none.
inline constexpr double unbounded = std::numeric_limits<double>::infinity();

// Entry i of a model type's descriptor table.
template <std::size_t N>
const ParamInfo& param_table_entry(const ParamInfo (&table)[N], unsigned i)
{
    if (i >= N)
        throw std::runtime_error("parameter index out of range");
    return table[i];
}

// Separates groups in a display order; never a valid parameter index.
inline constexpr unsigned param_group_marker = 2147483647;

// A display order from its groups: {{0, 1}, {2}} gives 0, 1, marker, 2.
std::vector<unsigned> param_groups(std::initializer_list<std::initializer_list<unsigned>> groups);

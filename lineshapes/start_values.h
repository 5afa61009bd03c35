// What the line models' starting values and formulas need of the isotope record beyond
// fixed numbers.
#pragma once

struct Isotope;
struct SpectrumAnalysis;

// The natural line width Γτ (mm/s) from which starting widths are scaled. The single
// lines and doublets may be created without an isotope: then a third of the width the
// analysis measured (its first found line, else its half-depth region, else 0.3), so
// that a starting width of 3·Γτ is the measured width.
double natural_width(const Isotope* isotope, const SpectrumAnalysis& analysis);

// The record of a model whose line positions come from the isotope's constants;
// std::runtime_error when the component was created without one.
const Isotope& required_isotope(const Isotope* isotope);

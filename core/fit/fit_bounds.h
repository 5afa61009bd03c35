// Parameter bounds in the Levenberg-Marquardt iteration: the start values are clamped
// into their bounds, and a step that would cross a bound is shortened to 0.99 of the
// distance to it, or, for a parameter already at its bound, the parameter is pinned
// (its Jacobian column zeroed) and the step recomputed without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/numerics/ublas_types.h"

enum BoundKind : std::int32_t {
    BoundNone = 0,
    BoundBoth = 1,
    BoundLower = 2,
    BoundUpper = 3,
};

// The bound of one varied parameter. For BoundBoth the normalised position
// (x − centre) × scale is −1 at the lower and +1 at the upper bound.
struct ParamBound {
    double centre = 0.0;      // BoundBoth: (lower + upper)/2; BoundLower, BoundUpper: the bound
    double scale = 0.0;       // BoundBoth: 2/(upper − lower)
    double half_width = 0.0;  // BoundBoth: (upper − lower)/2
    BoundKind kind = BoundNone;
};

// One bound per entry of `varied` (flat indices). The bound vectors count only when both
// have n entries; ±infinity means no bound, and upper ≤ lower (or NaN) means none.
void make_param_bounds(std::size_t n, const std::vector<unsigned>& varied, const DVector& lower,
                       const DVector& upper, std::vector<ParamBound>& out);

// Moves every value of v (one per bound) into its bounds.
void clamp_to_bounds(const std::vector<ParamBound>& bounds, DVector& v);

// The bound pass over the step h from v: returns the step scale alpha (1, or shortened
// so that no parameter crosses its bound). A parameter that would cross and is in
// `previous_pins` gets hⱼ = 0; one within 1e-5 of its bound (normalised for BoundBoth),
// or whose shortened scale would fall below 1e-5, is appended to `new_pins` instead.
// Pins are positions in the varied list; `previous_pins` is sorted.
double limit_step(const std::vector<ParamBound>& bounds, const DVector& v, DVector& h,
                  const std::vector<unsigned>& previous_pins, std::vector<unsigned>& new_pins);

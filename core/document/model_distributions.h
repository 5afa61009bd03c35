// Distribution components treated as wholes: linking all weights of one distribution to
// the same-numbered weights of another, and changing a distribution's point count
// together with the per-parameter vectors and with every distribution that follows it.
// A distribution D follows T when every weight of D is linked to a parameter of T with
// one factor. Nothing here is recorded; the undo records call these.
#pragma once

#include <vector>

#include "core/model/spectrum_model.h"

// Weight j of component d follows weight j of component t times the factor. Nothing
// unless both are distributions of one point count; values are not recomputed.
void link_distribution_weights(SpectrumModel& model, unsigned t, unsigned d, double factor);
// Every weight of component d becomes not linked (nothing for another component).
void unlink_distribution_weights(SpectrumModel& model, unsigned d);

// Gives distribution component k, and the group of distributions that follow the same
// one, `points` points. `in` is copied into `out` (or a scratch vector) and resized
// there; lower, upper and flags, where given, lose the entries of the old weights after
// the first and give every new weight the first weight's entry. A follower is resized
// through the distribution it follows. Nothing for another component or an unchanged
// count. A distribution that follows its own largest weight loses those links.
void resize_distribution(SpectrumModel& model, unsigned k, unsigned points, const DVector& in, DVector* out,
                         DVector* lower, DVector* upper, std::vector<int>* flags);

// Gives each distribution of the model, in model order, its point count from `counts`,
// on its own (no follower follows): an undo puts back the counts it kept, whichever
// distributions a resize reached.
void set_point_counts(SpectrumModel& model, const std::vector<unsigned>& counts);

// Circles as polylines. The circle is made of cubic Bézier arcs of a quarter turn each
// (control points at 4/3·tan(θ/4) of the radius along the end tangents), and each cubic
// is flattened by adaptive subdivision: it is halved (de Casteljau) until its control
// points lie close enough to its chord, ((d₂ + d₃)/|chord|)² ≤ 0.25 with d₂, d₃ their
// distances from the chord, and the flat piece is replaced by the midpoint of its two
// control points. Curves whose control points lie on the chord are judged by the
// control points' distances from the chord's ends instead.
#pragma once

#include "plot/vector_path.h"

// Adds the circle of radius r about (cx, cy) as its own sub-path: a move to the point at
// angle 0, then lines round in the direction of increasing angle back to it.
void add_circle(VectorPath& path, double cx, double cy, double r);

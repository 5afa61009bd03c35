// Clipping of polygon edges to a box in a way that keeps the non-zero fill inside the box
// exact: the part of an edge left or right of the box runs along that side instead (so
// the windings of the pixels inside stay as they were), and the parts above or below it
// are dropped (those rows are not drawn). Written once for double and for 1/256-pixel
// integer coordinates; `mul_div(a, b, c)` gives a·b/c in the coordinate type.
#pragma once

#include <algorithm>

template <class T>
struct Box {
    T x1, y1, x2, y2;
};

namespace edge_clipping {

constexpr unsigned beyond_right = 1, below = 2, beyond_left = 4, above = 8;
constexpr unsigned vertical = below | above;

template <class T>
unsigned flags(const Box<T>& b, T x, T y)
{
    return (x > b.x2 ? beyond_right : 0) | (y > b.y2 ? below : 0) | (x < b.x1 ? beyond_left : 0) |
           (y < b.y1 ? above : 0);
}

// A piece within the box's width: drops what lies above or below the box.
template <class T, class MulDiv, class Emit>
void clip_vertically(const Box<T>& b, T x1, T y1, T x2, T y2, MulDiv mul_div, Emit& emit)
{
    const unsigned f1 = flags(b, x1, y1) & vertical, f2 = flags(b, x2, y2) & vertical;
    if (f1 == 0 && f2 == 0) {
        emit(x1, y1, x2, y2);
        return;
    }
    if (f1 == f2)
        return;
    T tx1 = x1, ty1 = y1, tx2 = x2, ty2 = y2;
    if (f1 != 0) {
        ty1 = f1 == above ? b.y1 : b.y2;
        tx1 = x1 + mul_div(ty1 - y1, x2 - x1, y2 - y1);
    }
    if (f2 != 0) {
        ty2 = f2 == above ? b.y1 : b.y2;
        tx2 = x1 + mul_div(ty2 - y1, x2 - x1, y2 - y1);
    }
    emit(tx1, ty1, tx2, ty2);
}

}  // namespace edge_clipping

// Calls emit(x1, y1, x2, y2) for each visible piece of the edge, in order.
template <class T, class MulDiv, class Emit>
void clip_edge(const Box<T>& b, T x1, T y1, T x2, T y2, MulDiv mul_div, Emit emit)
{
    using namespace edge_clipping;
    const unsigned f1 = flags(b, x1, y1), f2 = flags(b, x2, y2);
    if ((f1 & vertical) != 0 && (f1 & vertical) == (f2 & vertical))
        return;  // wholly above or wholly below
    if (((f1 | f2) & (beyond_left | beyond_right)) == 0) {
        clip_vertically(b, x1, y1, x2, y2, mul_div, emit);
        return;
    }
    // Split where the edge crosses the left and the right side, in the order it crosses
    // them, and move the pieces outside onto the side they lie beyond.
    T xs[4] = {x1}, ys[4] = {y1};
    int n = 1;
    const auto cross = [&](T side) {
        xs[n] = side;
        ys[n] = y1 + mul_div(side - x1, y2 - y1, x2 - x1);
        ++n;
    };
    const bool left_crossed = ((f1 ^ f2) & beyond_left) != 0;
    const bool right_crossed = ((f1 ^ f2) & beyond_right) != 0;
    if (x1 < x2) {
        if (left_crossed)
            cross(b.x1);
        if (right_crossed)
            cross(b.x2);
    } else {
        if (right_crossed)
            cross(b.x2);
        if (left_crossed)
            cross(b.x1);
    }
    xs[n] = x2;
    ys[n] = y2;
    for (int i = 0; i < n; ++i)
        clip_vertically(b, std::clamp(xs[i], b.x1, b.x2), ys[i], std::clamp(xs[i + 1], b.x1, b.x2), ys[i + 1],
                        mul_div, emit);
}

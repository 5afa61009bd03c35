#include "plot/vector_path.h"

#include <cmath>

void VectorPath::add(double x, double y, bool move)
{
    if (!std::isfinite(x) || !std::isfinite(y)) {
        pen_lifted_ = true;
        return;
    }
    vertices_.push_back({x, y, move || pen_lifted_});
    pen_lifted_ = false;
}

void VectorPath::move_to(double x, double y)
{
    add(x, y, true);
}

void VectorPath::line_to(double x, double y)
{
    add(x, y, false);
}

void VectorPath::line_rel(double dx, double dy)
{
    const double x = vertices_.empty() ? 0.0 : vertices_.back().x;
    const double y = vertices_.empty() ? 0.0 : vertices_.back().y;
    line_to(x + dx, y + dy);
}

void VectorPath::clear()
{
    vertices_.clear();
    pen_lifted_ = true;
}

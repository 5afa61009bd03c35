#include "plot/plot_geometry.h"

DataPoint client_to_data(const PlotTransform& t, double x, double y)
{
    const float det = t.a11 * t.a22 - t.a21 * t.a12;
    if (det == 0.0f)
        return {};
    const double dx = x - t.b1;
    const double dy = y - t.b2;
    return {(t.a22 * dx - t.a21 * dy) / det, (t.a11 * dy - t.a12 * dx) / det};
}

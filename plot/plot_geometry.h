// The data-to-client transform of a pane (the six floats of a Windows XFORM: client
// x = a11·x + a21·y + b1, client y = a12·x + a22·y + b2), its inverse for the mouse,
// and the records the painter leaves for the mouse handlers.
#pragma once

#include <cstdint>

#include "plot/plot_text.h"

struct PlotTransform {
    float a11 = 0.0f;
    float a12 = 0.0f;
    float a21 = 0.0f;
    float a22 = 0.0f;
    float b1 = 0.0f;
    float b2 = 0.0f;
};

struct DataPoint {
    double x = 0.0;
    double y = 0.0;
};

// Client pixels to data units; a zero determinant gives (0, 0) instead of a division
// by zero.
DataPoint client_to_data(const PlotTransform& t, double x, double y);

// A drawn data point: its marker's client pixels and its value as drawn.
struct PlotPoint {
    float sx = 0.0f;
    float sy = 0.0f;
    double x = 0.0;
    double y = 0.0;
};

enum PlotPaneKind : std::int32_t { SpectrumPane = 1, DistributionPane = 2 };

struct PlotPane {
    std::int32_t kind = SpectrumPane;
    std::int32_t index = -1;  // the distribution ordinal of a distribution pane
    PlotTransform first;      // data coordinates (the weight strip of a distribution pane)
    PlotTransform second;     // point index and value of a distribution pane
    PlotRect rect;
};

// What the painter writes besides shapes: texts, their metrics, pane frames and opaque
// rectangles. On Windows these are GDI calls on the canvas's device context; the tests
// record them. Coordinates are device pixels of the canvas.
#pragma once

#include <string_view>

#include "core/model/colors.h"

struct PlotRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Horizontal and vertical reference of a text's position (the GDI text alignments).
enum TextAlign : unsigned {
    TextLeft = 0,
    TextCenter = 1,
    TextRight = 2,
    TextTop = 0,
    TextBottom = 4,
};

struct TextExtent {
    int cx = 0;
    int cy = 0;
};

class PlotText {
public:
    virtual ~PlotText() = default;

    // A length in points (1/72 inch) in pixels.
    virtual double PointsToLogical(double points) const = 0;
    virtual int FontHeight() const = 0;
    virtual int FontAscent() const = 0;
    virtual TextExtent Measure(std::wstring_view text) const = 0;
    // Black text on a transparent background.
    virtual void Write(int x, int y, unsigned align, std::wstring_view text) = 0;
    // Outlines (left, top, right + 1, bottom + 1) with a pen `width` points wide.
    virtual void FrameRect(int left, int top, int right, int bottom, double width, COLORREF color) = 0;
    // Fills the rectangle (right and bottom excluded) with the colour.
    virtual void FillOpaque(const PlotRect& rect, COLORREF color) = 0;
    // The size (from 0, 0) that the wrapped note text takes in at most `width` pixels.
    virtual PlotRect MeasureNote(std::wstring_view text, int width) const = 0;
    // White wrapped text inside the rectangle.
    virtual void WriteNote(const PlotRect& rect, std::wstring_view text) = 0;
};

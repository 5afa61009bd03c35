// The report's plot image (Windows only): a plot drawn anti-aliased on a white
// 960 × 480 bitmap, encoded as a 24-bit PNG of 96 dpi with the Windows Imaging
// Component, for the page as base64 text.
#pragma once

#include <functional>
#include <vector>

#include "core/fit/model_interfaces.h"
#include "core/spectrum/spectrum_data.h"
#include "plot/canvas.h"
#include "plot/plot_text.h"

inline constexpr int report_image_width = 960;
inline constexpr int report_image_height = 480;

// Draws the plot on the canvas, with the texts on the text surface.
using PlotDrawing = std::function<void(Canvas& canvas, PlotText& text)>;

// The PNG file's bytes of `draw` on a white bitmap. Throws std::runtime_error "Can't
// create a memory DC" or "Can't create a DIB section", and for a failing imaging call
// std::runtime_error "COM Error" with the call and its HRESULT. COM must be initialised.
std::vector<unsigned char> render_png(int width, int height, const PlotDrawing& draw);

// Appends the base64 text of the document's plot as the plot view draws it with the
// given options (0x200 added when `normalize`), no component highlighted, no zoom.
void render_plot_png(std::wstring& page, const IModel& model, const SpectrumData& data, const DVector& fit_values,
                     const DMatrix& covariance, const ILockInfo* lock_info, bool normalize, std::int32_t options);

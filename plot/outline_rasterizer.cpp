#include "plot/outline_rasterizer.h"

namespace {

constexpr double far_limit = 1 << 20;
constexpr Box<double> far_box{-far_limit, -far_limit, far_limit, far_limit};

// Half-way cases away from zero.
int rounded(double v)
{
    return static_cast<int>(v < 0.0 ? v - 0.5 : v + 0.5);
}

int subpixels(double v)
{
    return rounded(v * subpixel_scale);
}

double exact_mul_div(double a, double b, double c)
{
    return a * b / c;
}

int rounded_mul_div(int a, int b, int c)
{
    return rounded(double(a) * b / c);
}

}  // namespace

void OutlineRasterizer::clip_box(double x1, double y1, double x2, double y2)
{
    reset();
    const auto limited = [](double v) { return subpixels(std::clamp(v, -far_limit, far_limit)); };
    box_ = {limited(std::min(x1, x2)), limited(std::min(y1, y2)), limited(std::max(x1, x2)), limited(std::max(y1, y2))};
    clipping_ = true;
}

void OutlineRasterizer::reset()
{
    cells_.reset();
    status_ = Status::initial;
}

void OutlineRasterizer::move_to(double x, double y)
{
    if (cells_.sorted())
        reset();
    close();
    start_x_ = last_x_ = x;
    start_y_ = last_y_ = y;
    status_ = Status::moved;
}

void OutlineRasterizer::line_to(double x, double y)
{
    if (cells_.sorted())
        reset();
    const double x1 = last_x_, y1 = last_y_;
    last_x_ = x;
    last_y_ = y;
    status_ = Status::lined;
    clip_edge(far_box, x1, y1, x, y, exact_mul_div, [this](double ax, double ay, double bx, double by) {
        add_edge(subpixels(ax), subpixels(ay), subpixels(bx), subpixels(by));
    });
}

void OutlineRasterizer::add_edge(int x1, int y1, int x2, int y2)
{
    if (!clipping_) {
        cells_.line(x1, y1, x2, y2);
        return;
    }
    clip_edge(box_, x1, y1, x2, y2, rounded_mul_div,
              [this](int ax, int ay, int bx, int by) { cells_.line(ax, ay, bx, by); });
}

void OutlineRasterizer::close()
{
    if (status_ == Status::lined)
        line_to(start_x_, start_y_);
    status_ = Status::initial;
}

#include "wingui/logic/dialog_layout.h"

namespace {

// One axis: [low, high) within an extent that changes from `initial` to `now`.
void place(int& low, int& high, bool at_low, bool at_high, int initial, int now)
{
    const int delta = now - initial;
    if (at_low && at_high) {
        high += delta;
    } else if (at_high) {
        low += delta;
        high += delta;
    } else if (!at_low && initial > 0) {
        const int size = high - low;
        const long long centre2 = static_cast<long long>(low + high) * now / initial;
        low = static_cast<int>((centre2 - size) / 2);
        high = low + size;
    }
}

} // namespace

LayoutRect anchored_rect(const LayoutRect& initial, unsigned anchors, int initial_width, int initial_height,
                         int width, int height)
{
    LayoutRect rect = initial;
    place(rect.left, rect.right, anchors & anchor_left, anchors & anchor_right, initial_width, width);
    place(rect.top, rect.bottom, anchors & anchor_top, anchors & anchor_bottom, initial_height, height);
    return rect;
}

// Resizing a dialog: each control keeps its distances to the edges of the dialog's
// client area that it is anchored to, and stretches when anchored to both sides.
#pragma once

struct LayoutRect {
    int left, top, right, bottom;
    bool operator==(const LayoutRect&) const = default;
};

enum Anchor : unsigned {
    anchor_left = 1,
    anchor_top = 2,
    anchor_right = 4,
    anchor_bottom = 8,
    anchor_top_left = anchor_left | anchor_top,
    anchor_all = anchor_left | anchor_top | anchor_right | anchor_bottom,
};

// The control's rectangle for a client area of `width` x `height`, given its rectangle
// when the client area was `initial_width` x `initial_height`. On an axis with neither
// anchor the control keeps its size and its centre's share of the width or height.
LayoutRect anchored_rect(const LayoutRect& initial, unsigned anchors, int initial_width, int initial_height,
                         int width, int height);

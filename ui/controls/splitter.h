// A horizontal splitter: a top and a bottom pane with a bar between them that the user
// drags. The top pane keeps its height when the splitter is resized. Commands and
// notifications of the panes go on to the splitter's parent.
#pragma once

#include "wingui/window.h"

class CSplitter final : public Window {
public:
    CSplitter();

    bool create_window(HWND parent);
    void set_panes(HWND top, HWND bottom);
    // The bar's distance from the top, kept between the panes' minimum heights.
    void set_bar_position(int y);
    int bar_position() const { return bar_; }

private:
    void layout();
    int clamp_bar(int y) const;

    HWND top_ = nullptr;
    HWND bottom_ = nullptr;
    int bar_ = 150;
    bool dragging_ = false;
    static constexpr int bar_height = 5;
    static constexpr int min_pane = 20;
};

// Sends the messages that children send their parent (commands, notifications, owner
// drawing, scrolling, colours) on to `window`'s parent; the answer, or false when the
// message is not one of them.
bool forward_to_parent(HWND window, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

// What the context menu of a distribution pane decides without a window: the points a
// gesture covers, the state of the clicked distribution and so which items it offers,
// the typed weight, the smoothing deviation it becomes, and the name an export proposes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/sub_model.h"

// Zero-based point indices, from ≤ to.
struct PointRange {
    unsigned from = 0, to = 0;
    bool operator==(const PointRange&) const = default;
};

// The points a drag from x1 to x2 (point positions) covers in a distribution of n points:
// each end rounded to the nearest point; nothing when the end falls below the start.
std::optional<PointRange> drag_point_range(double x1, double x2, unsigned n);

// How the clicked distribution is tied: all its weights follow one other component
// (linked, with the target and factor), or one of its first two weights follows a
// parameter of its own (shape locked).
struct DistributionTies {
    bool linked = false;
    unsigned target = 0;
    double factor = 0.0;
    bool shape_locked = false;
};
DistributionTies distribution_ties(const SubModel& component);

// The command ids of the menu and whether each is enabled.
enum DistributionCommand : unsigned {
    DistInfo = 270,
    DistSaveAs = 276,
    DistLock = 266,
    DistLockShape = 277,
    DistUnlock = 267,
    DistWeight = 268,
    DistClear = 269,
    DistClearAndLock = 274,
    DistUnlink = 275,
    DistFirstLink = 23001,
    DistLastLink = 23100,
};
struct MenuItemState {
    unsigned id;
    bool enabled;
    bool operator==(const MenuItemState&) const = default;
};
// Save As only with fit results on show; the changes of shape only while neither linked
// nor shape locked; Unlock unless linked; Unlink only when linked; the statistics page
// (Info) always.
std::vector<MenuItemState> distribution_menu_items(const DistributionTies& ties, bool results);

// The Unlink item's text with the link it removes: " (=%.3f × [%u])" appended.
std::wstring unlink_item_text(const std::wstring& text, const DistributionTies& ties);

// A typed weight or value: a leading '*' asks to multiply; then a number, read as far as
// it goes. Nothing when no number begins the text.
struct TypedWeight {
    double value = 0.0;
    bool multiply = false;
};
std::optional<TypedWeight> read_typed_weight(std::wstring_view text);

// The smoothing deviation a weight gives: with `multiply` and a weight above 0 the
// deviations are divided by √weight (a negative argument multiplies by its magnitude),
// else every deviation becomes 1/√max(weight, 1e−10).
double weight_deviation_argument(const TypedWeight& weight);

// "<stem>-D<n + 1>" from the model file's name without folder and last extension, else
// the spectrum file's; empty when neither is set.
std::wstring distribution_file_name(const std::wstring& model_path, const std::wstring& spectrum_path, unsigned n);

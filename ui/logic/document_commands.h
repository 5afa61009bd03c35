// The main window's document commands without the window: what each one does to the
// document, as one undo step. The frame aborts a running fit before it calls them and
// refreshes its views afterwards.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/document/model_state.h"

// The component shown in row `row` of a parameter grid of `row_count` rows; none for a
// row outside the grid or an expression's row.
std::optional<unsigned> component_of_grid_row(const ModelState& document, int row, int row_count);

// Unlinks the parameter under the parameter grid's cell (`column` 3 is a component's
// first parameter). False, nothing recorded, for a cell without a linked parameter.
bool unlink_grid_cell(ModelState& document, int row, int column, int row_count);

// Absorption becomes emission and back.
void toggle_emission(ModelState& document);

enum class SaveQuestionAnswer { yes, no, cancel };

// Before the spectrum is cleared or replaced: one changed since it was loaded or saved is
// offered for saving first (`ask`); after Yes it may go only when `save` reports success,
// so a failed save loses nothing. True when the spectrum may go.
bool spectrum_may_go(const ModelState& document, const std::function<SaveQuestionAnswer()>& ask,
                     const std::function<bool()>& save);

// A range dragged in the plot in mouse mode 0 (add an excluded range, only when x1 < x2)
// or 1 (delete whatever lies between the two, in either order); mode 2 zooms. True when the ranges changed.
bool apply_range_gesture(ModelState& document, int mouse_mode, double x1, double x2);

// The weights that a segment drawn over distribution `distribution` (the point index as
// x, the weight as y) sets: the points from the nearer end's point to the farther's, on
// the straight line between the ends and not below 0. Pairs of flat index and value.
std::vector<std::pair<unsigned, double>> segment_weights(const SpectrumModel& model, unsigned distribution,
                                                         double x1, double y1, double x2, double y2);

// Drawing a distribution with the mouse: the plot reports every mouse move as a segment
// from the previous position. The weights of one gesture are one undo step: a segment
// that starts where the last one ended, over the same distribution, while that
// segment's step is still the newest of the model history, joins that step.
class DistributionDrawing {
public:
    // False, nothing recorded, when the segment sets no weight or the distribution's
    // weights follow another component.
    bool draw(ModelState& document, unsigned distribution, double x1, double y1, double x2, double y2);

private:
    std::weak_ptr<ChangeRecordBase> last_step_;
    unsigned distribution_ = 0;
    double end_x_ = 0.0, end_y_ = 0.0;
};

#include "ui/logic/document_commands.h"

#include <algorithm>
#include <cmath>

#include "core/document/change_records.h"

std::optional<unsigned> component_of_grid_row(const ModelState& document, int row, int row_count)
{
    if (row < 0 || row >= row_count || static_cast<unsigned>(row) >= document.model.component_count())
        return std::nullopt;
    return static_cast<unsigned>(row);
}

bool unlink_grid_cell(ModelState& document, int row, int column, int row_count)
{
    const std::optional<unsigned> component = component_of_grid_row(document, row, row_count);
    if (!component)
        return false;
    const SubModel& c = *document.model.components[*component];
    const int param = column - 3;
    if (param < 0 || static_cast<unsigned>(param) >= c.count)
        return false;
    const ParamLink& link = c.links[static_cast<unsigned>(param)];
    if (link.kind == NotLinked)
        return false;
    const LinkSpec spec{link.target_component, link.target_param,          link.kind,
                        *component,            static_cast<unsigned>(param), link.factor};
    document.push_record<ModelState::ChangeRecordDelLink>(document.model_history, spec);
    return true;
}

void toggle_emission(ModelState& document)
{
    document.set_direction(!document.model.is_emission());
}

bool spectrum_may_go(const ModelState& document, const std::function<SaveQuestionAnswer()>& ask,
                     const std::function<bool()>& save)
{
    if (!document.spectrum_history.is_modified())
        return true;
    switch (ask()) {
    case SaveQuestionAnswer::cancel: return false;
    case SaveQuestionAnswer::yes: return save();
    case SaveQuestionAnswer::no: break;
    }
    return true;
}

bool apply_range_gesture(ModelState& document, int mouse_mode, double x1, double x2)
{
    switch (mouse_mode) {
    case 0:
        if (!(x1 < x2))
            return false;
        document.add_xrange({x1, x2});
        return true;
    case 1:
        // Ends the wrong way round would cut the ranges into overlapping pieces.
        document.delete_xrange(std::min(x1, x2), std::max(x1, x2));
        return true;
    default: return false;
    }
}

std::vector<std::pair<unsigned, double>> segment_weights(const SpectrumModel& model, unsigned distribution,
                                                         double x1, double y1, double x2, double y2)
{
    std::vector<std::pair<unsigned, double>> weights;
    const SubModel* c = model.distribution_at(distribution);
    if (!c || !std::isfinite(x1) || !std::isfinite(x2) || !std::isfinite(y1) || !std::isfinite(y2))
        return weights;
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const double slope = x2 > x1 ? (y2 - y1) / (x2 - x1) : 0.0;
    // Rounded to the nearest point, truncating toward zero like the conversion, and held
    // to the distribution's points so that a far drag cannot make a long loop.
    const double points = c->distribution()->point_count();
    const double first = std::max(0.0, std::trunc(x1 + 0.5));
    const double last = std::min(points - 1.0, std::trunc(x2 + 0.5));
    for (double i = first; i <= last; ++i) {
        unsigned index = 0;
        if (model.distribution_point_param(distribution, static_cast<unsigned>(i), index))
            weights.emplace_back(index, std::max(0.0, y1 + (i - x1) * slope));
    }
    return weights;
}

bool DistributionDrawing::draw(ModelState& document, unsigned distribution, double x1, double y1, double x2,
                               double y2)
{
    const SubModel* c = document.model.distribution_at(distribution);
    unsigned target = 0;
    double factor = 0.0;
    if (!c || c->get_distribution_link(target, factor))
        return false;
    const std::vector<std::pair<unsigned, double>> weights = segment_weights(document.model, distribution, x1, y1, x2, y2);
    if (weights.empty())
        return false;
    ChangeHistory& history = document.model_history;
    const std::shared_ptr<ChangeRecordBase> last = last_step_.lock();
    const bool joins = last && distribution == distribution_ && x1 == end_x_ && y1 == end_y_ && !history.can_redo() &&
                       history.can_undo() && history.records().back() == last;
    for (const auto& [index, value] : weights)
        document.set_param(index, value);
    history.merge_last(weights.size() + (joins ? 1 : 0));
    last_step_ = history.records().back();
    distribution_ = distribution;
    end_x_ = x2;
    end_y_ = y2;
    return true;
}

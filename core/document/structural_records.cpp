// The records that change the document's structure: a whole component, a parameter
// link, the weight links of a distribution, a distribution's point count and the whole
// model.
#include <stdexcept>

#include "core/document/change_records.h"
#include "core/document/model_distributions.h"
#include "core/document/vector_edits.h"

namespace {

// Covariance of the new layout: zeros, the old fit no longer describes it.
void reset_fit_matrices(ModelState& document)
{
    const std::size_t n = document.model.param_count();
    DMatrix zeros = zero_covariance(n);
    document.replace_fit_matrices(zeros);
}

DVector slice_of(const DVector& v, std::size_t first, std::size_t count)
{
    DVector out(count);
    for (std::size_t j = 0; j < count; ++j)
        out(j) = v(first + j);
    return out;
}

void write_link(SpectrumModel& model, const LinkSpec& s)
{
    model.components.at(s.dependent_component)->links.at(s.dependent_param) =
        ParamLink{s.target_component, s.target_param, s.kind, s.factor};
}

}  // namespace

// ---- ChangeRecordModel ----

void ModelState::ChangeRecordModel::insert_component(ModelState& document) const
{
    SpectrumModel& model = document.model;
    model.insert_component(index_, subspec_);
    SubModel& c = *model.components[index_];
    c.color = color_;
    const std::size_t f = c.first, n = c.count;
    insert_elements(document.values, f, n);
    insert_elements(document.fit_values, f, n);
    insert_elements(document.flags, f, n);
    insert_elements(document.lower_bounds, f, n);
    insert_elements(document.upper_bounds, f, n);
    reset_fit_matrices(document);
    for (std::size_t j = 0; j < n; ++j) {
        document.values(f + j) = values_(j);
        document.fit_values(f + j) = fit_values_(j);
        document.flags[f + j] = flags_[j];
        document.lower_bounds(f + j) = lower_(j);
        document.upper_bounds(f + j) = upper_(j);
    }
    for (const LinkSpec& s : links_)
        write_link(model, s);
    for (const LinkSpec& s : lost_expression_links_)
        write_link(model, s);
    if (!expressions_.empty()) {
        for (std::size_t e = 0; e < expressions_.size() && e < model.expressions.size(); ++e) {
            model.expressions[e].name = expressions_[e].first;
            model.expressions[e].text = expressions_[e].second;
        }
        model.compile_expressions();
    }
}

void ModelState::ChangeRecordModel::remove_component(ModelState& document)
{
    SpectrumModel& model = document.model;
    const SubModel& c = *model.components.at(index_);
    const std::size_t f = c.first, n = c.count;
    // Links of other parameters to user expressions that the removal leaves without a
    // compiled form are lost; keep them in the numbering with the component.
    std::vector<LinkSpec> expression_links;
    for (const auto& other : model.components)
        if (other->index != index_)
            for (unsigned j = 0; j < other->count; ++j)
                if (const ParamLink& l = other->links[j]; l.kind == LinkToExpr)
                    expression_links.push_back({l.target_component, l.target_param, l.kind, other->index, j, l.factor});
    model.components.erase(model.components.begin() + index_);
    model.layout_params();
    model.rebuild_derived();
    model.rewrite_expression_refs(index_, true);
    model.shift_param_links(index_, true);
    model.unlink_uncompiled_expressions();
    delete_elements(document.values, f, n);
    delete_elements(document.fit_values, f, n);
    delete_elements(document.flags, f, n);
    delete_elements(document.lower_bounds, f, n);
    delete_elements(document.upper_bounds, f, n);
    // Every other parameter keeps its own rows and columns.
    if (document.covariance.size1() >= f + n && document.covariance.size2() >= f + n) {
        DMatrix reduced = without_rows_and_columns(document.covariance, f, n);
        document.replace_fit_matrices(reduced);
    } else {
        reset_fit_matrices(document);
    }
    lost_expression_links_.clear();
    for (const LinkSpec& s : expression_links) {
        const unsigned now = s.dependent_component > index_ ? s.dependent_component - 1 : s.dependent_component;
        if (model.components[now]->links[s.dependent_param].kind == NotLinked)
            lost_expression_links_.push_back(s);
    }
}

ModelState::ChangeRecordAddModel::ChangeRecordAddModel(ModelState& document, unsigned index, SubSpecPtr subspec,
                                                       const DVector& values, const std::vector<int>& flags,
                                                       const DVector& lower, const DVector& upper)
{
    const unsigned n = subspec->param_count();
    if (values.size() != n || flags.size() != n || lower.size() != n || upper.size() != n)
        throw std::invalid_argument("Component vectors of another length than its parameter count");
    subspec_ = std::move(subspec);
    index_ = index;
    values_ = values;
    fit_values_ = values;
    flags_ = flags;
    lower_ = lower;
    upper_ = upper;
    color_ = next_component_color(document.model.components);
    insert_component(document);
}

ModelState::ChangeRecordDelModel::ChangeRecordDelModel(ModelState& document, unsigned index)
{
    SpectrumModel& model = document.model;
    const SubModel& c = *model.components.at(index);
    subspec_ = c.subspec;
    index_ = index;
    color_ = c.color;
    values_ = slice_of(document.values, c.first, c.count);
    fit_values_ = slice_of(document.fit_values, c.first, c.count);
    lower_ = slice_of(document.lower_bounds, c.first, c.count);
    upper_ = slice_of(document.upper_bounds, c.first, c.count);
    flags_.assign(document.flags.begin() + c.first, document.flags.begin() + c.first + c.count);
    model.collect_component_links(c, links_);
    for (const NamedExpr& e : model.expressions)
        expressions_.emplace_back(e.name, e.text);
    remove_component(document);
}

// ---- ChangeRecordLink ----

ModelState::ChangeRecordLink::ChangeRecordLink(ModelState& document, const LinkSpec& spec) : spec_(spec)
{
    const SubModel& c = *document.model.components.at(spec.dependent_component);
    if (spec.dependent_param >= c.count)
        throw std::out_of_range("Parameter index out of range");
    unlinked_value_ = linked_value_ = document.values(c.first + spec.dependent_param);
}

void ModelState::ChangeRecordLink::link_and_compute(ModelState& document)
{
    SpectrumModel& model = document.model;
    model.set_link(spec_);
    if (spec_.kind == LinkToParam)
        linked_value_ =
            spec_.factor * document.values(model.components[spec_.target_component]->first + spec_.target_param);
    else if (spec_.kind == LinkToExpr)
        linked_value_ = spec_.factor * model.expressions[spec_.target_component].expr->value(document.values);
    apply_link(document);
}

void ModelState::ChangeRecordLink::apply_link(ModelState& document) const
{
    SubModel& c = *document.model.components[spec_.dependent_component];
    c.links[spec_.dependent_param] = ParamLink{spec_.target_component, spec_.target_param, spec_.kind, spec_.factor};
    document.values(c.first + spec_.dependent_param) = linked_value_;
}

void ModelState::ChangeRecordLink::remove_link(ModelState& document) const
{
    SubModel& c = *document.model.components[spec_.dependent_component];
    c.links[spec_.dependent_param] = ParamLink();
    document.values(c.first + spec_.dependent_param) = unlinked_value_;
}

ModelState::ChangeRecordAddLink::ChangeRecordAddLink(ModelState& document, const LinkSpec& spec)
    : ChangeRecordLink(document, spec)
{
    link_and_compute(document);
}

ModelState::ChangeRecordDelLink::ChangeRecordDelLink(ModelState& document, const LinkSpec& spec)
    : ChangeRecordLink(document, spec)
{
    remove_link(document);
}

// ---- ChangeRecordLinkDist ----

ModelState::ChangeRecordLinkDist::ChangeRecordLinkDist(ModelState& document, unsigned target, unsigned dependent,
                                                       double factor)
    : target_(target), dependent_(dependent), factor_(factor),
      links_before_(document.model.components.at(dependent)->links)
{
}

void ModelState::ChangeRecordLinkDist::apply_link(ModelState& document) const
{
    SpectrumModel& model = document.model;
    if (target_ != dependent_) {
        link_distribution_weights(model, target_, dependent_, factor_);
        model.apply_links(document.values, nullptr);
        return;
    }
    SubModel& d = *model.components[dependent_];
    const IDistribution* dist = d.distribution();
    if (!dist || dist->point_count() == 0)
        return;
    // The first weight strictly greater than every earlier one.
    const std::size_t w = d.first + d.shown_count;
    unsigned largest = 0;
    for (unsigned j = 1; j < dist->point_count(); ++j)
        if (document.values(w + j) > document.values(w + largest))
            largest = j;
    const double top = document.values(w + largest);
    if (!(top > 0.0))
        return;
    for (unsigned j = 0; j < dist->point_count(); ++j)
        if (j != largest)
            d.links[d.shown_count + j] =
                ParamLink{d.index, d.shown_count + largest, LinkToParam, document.values(w + j) / top};
}

void ModelState::ChangeRecordLinkDist::restore_links(ModelState& document) const
{
    document.model.components[dependent_]->links = links_before_;
}

ModelState::ChangeRecordAddLinkDist::ChangeRecordAddLinkDist(ModelState& document, unsigned target,
                                                             unsigned dependent, double factor)
    : ChangeRecordLinkDist(document, target, dependent, factor), values_before_(document.values)
{
    apply_link(document);
}

void ModelState::ChangeRecordAddLinkDist::undo(ModelState& document)
{
    restore_links(document);
    document.values = values_before_;
}

ModelState::ChangeRecordDelLinkDist::ChangeRecordDelLinkDist(ModelState& document, unsigned target,
                                                             unsigned dependent, double factor)
    : ChangeRecordLinkDist(document, target, dependent, factor)
{
    redo(document);
}

void ModelState::ChangeRecordDelLinkDist::redo(ModelState& document)
{
    unlink_distribution_weights(document.model, dependent_);
}

// ---- ChangeRecordResizeDist ----

ModelState::ChangeRecordResizeDist::ChangeRecordResizeDist(ModelState& document, unsigned component,
                                                           unsigned points)
    : component_(component), points_(points), values_(document.values), fit_values_(document.fit_values),
      lower_(document.lower_bounds), upper_(document.upper_bounds), flags_(document.flags)
{
    document.model.components.at(component);  // std::out_of_range beyond the model
    for (const auto& c : document.model.components) {
        links_.push_back(c->links);
        if (const IDistribution* cd = c->distribution()) {
            point_counts_.push_back(cd->point_count());
            deviations_.push_back(cd->point_deviations());
            marks_.push_back(cd->marked_ranges());
        }
    }
    apply(document, values_);
}

void ModelState::ChangeRecordResizeDist::apply(ModelState& document, const DVector& input) const
{
    resize_distribution(document.model, component_, points_, input, &document.values, &document.lower_bounds,
                        &document.upper_bounds, &document.flags);
    // The last fit's values keep the parameter count; the next fit start copies the
    // values into them anyway.
    document.fit_values = document.values;
    reset_fit_matrices(document);
}

void ModelState::ChangeRecordResizeDist::undo(ModelState& document)
{
    SpectrumModel& model = document.model;
    set_point_counts(model, point_counts_);
    std::size_t n = 0;
    for (std::size_t k = 0; k < model.components.size(); ++k) {
        SubModel& c = *model.components[k];
        c.links = links_[k];
        if (IDistribution* d = c.distribution()) {
            d->set_point_deviations(0, deviations_[n]);
            d->set_marked_ranges(marks_[n]);
            ++n;
        }
    }
    document.values = values_;
    document.fit_values = fit_values_;
    document.lower_bounds = lower_;
    document.upper_bounds = upper_;
    document.flags = flags_;
    reset_fit_matrices(document);
}

void ModelState::ChangeRecordResizeDist::redo(ModelState& document)
{
    apply(document, values_);
}

// ---- ChangeRecordWholeModel ----

SpectrumModel ModelState::ChangeRecordWholeModel::own_copy(const SpectrumModel& model)
{
    SpectrumModel copy = model;
    for (auto& c : copy.components)
        c = std::make_shared<SubModel>(*c);
    return copy;
}

ModelState::ChangeRecordWholeModel::ChangeRecordWholeModel(ModelState& document, const SpectrumModel& model,
                                                           const DVector& values, const std::vector<int>& flags,
                                                           const DVector& lower, const DVector& upper)
    : before_{own_copy(document.model), document.values, document.fit_values, document.lower_bounds,
              document.upper_bounds, document.flags},
      after_{own_copy(model), values, values, lower, upper, flags}
{
    const std::size_t n = model.param_count();
    if (values.size() != n || flags.size() != n || lower.size() != n || upper.size() != n)
        throw std::invalid_argument("Model vectors of another length than its parameter count");
    redo(document);
}

void ModelState::ChangeRecordWholeModel::apply(ModelState& document, const State& state)
{
    // The excluded ranges belong to the spectrum history; replacing the model keeps them.
    std::vector<XRange> ranges = std::move(document.model.xranges);
    document.model = own_copy(state.model);
    document.model.xranges = std::move(ranges);
    // So do the levels: they follow the spectrum as it is now, in the model's direction.
    document.set_levels_from_spectrum();
    document.values = state.values;
    document.fit_values = state.fit_values;
    document.lower_bounds = state.lower;
    document.upper_bounds = state.upper;
    document.flags = state.flags;
    // The old fit's covariance belongs to another model.
    reset_fit_matrices(document);
}

void ModelState::ChangeRecordWholeModel::undo(ModelState& document)
{
    apply(document, before_);
}

void ModelState::ChangeRecordWholeModel::redo(ModelState& document)
{
    apply(document, after_);
}

// The model edit operations: each builds one undo record (or one list of records),
// which makes the change, and pushes it on its history, as one transaction: an
// exception on the way leaves the document and its histories as they were.
#include <memory>
#include <stdexcept>

#include "core/document/change_records.h"
#include "core/document/xrange_edits.h"

namespace {

template <class R, class... Args>
ChangeRecordPtr build(Args&&... args)
{
    return std::make_shared<R>(std::forward<Args>(args)...);
}

}  // namespace

void ModelState::add_component(unsigned index, const SpectrumAnalysis& analysis, SubSpecPtr subspec,
                               bool user_requested)
{
    const Transaction transaction(*this);
    const unsigned n = subspec->param_count();
    DVector start(n, 0.0), lower(n), upper(n);
    std::vector<int> start_flags(n);
    subspec->init_params(analysis, start, 0, n);
    // The areas of lines are shared out among the components present; a baseline's
    // level is no area to share.
    const bool is_baseline = dynamic_cast<const IBaseLine*>(subspec.get()) != nullptr;
    if (!is_baseline && model.component_count() > 0)
        if (const auto* area = dynamic_cast<const IAAParam*>(subspec.get())) {
            std::vector<unsigned> areas;
            area->area_params(areas);
            for (unsigned k : areas)
                if (k < n)
                    start(k) *= 1.0 / model.component_count();
        }
    for (unsigned i = 0; i < n; ++i) {
        const ParamInfo& d = subspec->param_info(i);
        lower(i) = d.lower;
        upper(i) = d.upper;
        start_flags[i] = d.free ? ParamFree : 0;
    }
    insert_component(index, std::move(subspec), start, start_flags, lower, upper);
    if (!user_requested && model_history.records().size() == 1)
        model_history.mark_saved();
}

void ModelState::insert_component(unsigned index, SubSpecPtr subspec, const DVector& new_values,
                                  const std::vector<int>& new_flags, const DVector& lower, const DVector& upper)
{
    const Transaction transaction(*this);
    if (dynamic_cast<const IBaseLine*>(subspec.get()) == nullptr) {
        model_history.push(
            build<ChangeRecordAddModel>(*this, index, std::move(subspec), new_values, new_flags, lower, upper));
        return;
    }
    std::vector<ChangeRecordPtr> list;
    if (model.starts_with_baseline())
        list.push_back(build<ChangeRecordDelModel>(*this, 0u));
    list.push_back(build<ChangeRecordAddModel>(*this, 0u, std::move(subspec), new_values, new_flags, lower, upper));
    model_history.push(build<ChangeRecordList>(std::move(list)));
}

void ModelState::delete_all_components()
{
    const Transaction transaction(*this);
    std::vector<ChangeRecordPtr> list;
    while (model.component_count() > 0)
        list.push_back(build<ChangeRecordDelModel>(*this, model.component_count() - 1));
    if (!list.empty())
        model_history.push(build<ChangeRecordList>(std::move(list)));
}

void ModelState::add_expression(unsigned index, const std::wstring& name, const std::wstring& text)
{
    const Transaction transaction(*this);
    model_history.push(build<ChangeRecordAddExpr>(*this, index, name, text));
}

void ModelState::replace_expression(unsigned index, const std::wstring& name, const std::wstring& text)
{
    const Transaction transaction(*this);
    model_history.push(build<ChangeRecordReplaceExpr>(*this, index, name, text));
}

void ModelState::delete_all_expressions()
{
    const Transaction transaction(*this);
    std::vector<ChangeRecordPtr> list;
    while (!model.expressions.empty())
        list.push_back(build<ChangeRecordDelExpr>(*this, static_cast<unsigned>(model.expressions.size() - 1)));
    if (!list.empty())
        model_history.push(build<ChangeRecordList>(std::move(list)));
}

void ModelState::add_xrange(const XRange& range)
{
    const Transaction transaction(*this);
    const std::vector<XRange> before = model.xranges;
    model.xranges.push_back(range);
    spectrum_history.push(build<ChangeRecordAddXR>(before, model.xranges));
}

void ModelState::delete_xrange(double from, double to)
{
    const Transaction transaction(*this);
    const std::vector<XRange> before = model.xranges;
    remove_xrange_interval(model.xranges, from, to);
    spectrum_history.push(build<ChangeRecordDelXR>(before, model.xranges));
}

void ModelState::add_link(const LinkSpec& spec)
{
    const Transaction transaction(*this);
    const ParamLink in_place = model.components.at(spec.dependent_component)->links.at(spec.dependent_param);
    if (in_place.kind == NotLinked) {
        model_history.push(build<ChangeRecordAddLink>(*this, spec));
        return;
    }
    const LinkSpec old{in_place.target_component, in_place.target_param, in_place.kind,
                       spec.dependent_component,  spec.dependent_param,  in_place.factor};
    const ChangeRecordPtr unlink = build<ChangeRecordDelLink>(*this, old);
    const ChangeRecordPtr link = build<ChangeRecordAddLink>(*this, spec);
    model_history.push(build<ChangeRecordList>(std::vector<ChangeRecordPtr>{unlink, link}));
}

void ModelState::link_distribution(unsigned target, unsigned dependent, double factor)
{
    const Transaction transaction(*this);
    if (target >= model.component_count() || dependent >= model.component_count())
        return;
    const IDistribution* t = model.components[target]->distribution();
    const IDistribution* d = model.components[dependent]->distribution();
    if (!t || !d)
        return;
    std::vector<ChangeRecordPtr> list;
    if (t->point_count() != d->point_count())
        list.push_back(build<ChangeRecordResizeDist>(*this, dependent, t->point_count()));
    list.push_back(build<ChangeRecordAddLinkDist>(*this, target, dependent, factor));
    model_history.push(build<ChangeRecordList>(std::move(list)));
}

void ModelState::unlink_distribution(unsigned component)
{
    const Transaction transaction(*this);
    if (component >= model.component_count() || !model.components[component]->distribution())
        return;
    const ParamLink first = model.components[component]->first_weight_link();
    model_history.push(build<ChangeRecordDelLinkDist>(*this, first.target_component, component, first.factor));
}

bool ModelState::fix_distribution_points(unsigned component, unsigned p1, unsigned p2, bool fix)
{
    const Transaction transaction(*this);
    if (component >= model.component_count())
        return false;
    const SubModel& c = *model.components[component];
    const IDistribution* d = c.distribution();
    if (!d || p1 >= d->point_count() || p2 >= d->point_count())
        return false;
    set_flags(c.first + c.shown_count + p1, c.first + c.shown_count + p2 + 1, ParamFree, fix ? 0 : ParamFree);
    return true;
}

void ModelState::set_direction(bool emission)
{
    const Transaction transaction(*this);
    model_history.push(build<ChangeRecordDir>(*this, emission));
}

void ModelState::set_distribution_marks(unsigned n, const PointRangeList& marks)
{
    if (!model.distribution_at(n)) return;
    PointRangeList current;
    model.marked_ranges(n, current);
    if (current != marks) model_history.push(build<ChangeRecordDistMarks>(*this, n, marks));
}

void ModelState::set_flags(unsigned from, unsigned to, int mask, int bits)
{
    const Transaction transaction(*this);
    model_history.push(build<ChangeRecordLock>(*this, from, to, mask, bits));
}

void ModelState::set_param(unsigned index, double value)
{
    const Transaction transaction(*this);
    const SubModel& c = model.component_of_param(index);
    const unsigned k = index - c.first;
    if (const IDistribution* d = c.distribution()) {
        bool end_value = false;
        for (unsigned start : d->start_value_params())
            end_value = end_value || k == start || k == start + 1;
        if (end_value) {
            DVector w = values;
            std::vector<double> slice, deviations;
            d->set_end_value(k, value, c.param_slice(w), slice, deviations);
            for (unsigned j = 0; j < c.count && j < slice.size(); ++j)
                if (is_varied(c.first + j))
                    w(c.first + j) = slice[j];
            w(index) = value;
            unsigned position = 0;
            while (model.distribution_at(position) != &c)
                ++position;
            const ChangeRecordPtr all = build<ChangeRecordA0>(*this, w);
            const ChangeRecordPtr dev = build<ChangeRecordDistYDevAll>(*this, position, deviations);
            model_history.push(build<ChangeRecordList>(std::vector<ChangeRecordPtr>{all, dev}));
            return;
        }
    }
    model_history.push(build<ChangeRecordParam>(*this, index, value));
}

void ModelState::set_params(unsigned from, unsigned to, double value)
{
    const Transaction transaction(*this);
    model_history.push(build<ChangeRecordParams>(*this, from, to, value));
}

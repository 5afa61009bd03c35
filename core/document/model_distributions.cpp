#include "core/document/model_distributions.h"

#include <utility>

#include "core/document/vector_edits.h"

namespace {

// The per-parameter vectors that follow a resize, each possibly absent.
struct SideVectors {
    DVector* lower;
    DVector* upper;
    std::vector<int>* flags;
};

template <class V>
void drop_weights(V* v, std::size_t first_weight, unsigned old_points)
{
    if (v && old_points > 1)
        delete_elements(*v, first_weight + 1, old_points - 1);
}

template <class V>
void open_weights(V* v, std::size_t first_weight, unsigned points)
{
    if (!v)
        return;
    insert_elements(*v, first_weight + 1, points - 1);
    for (unsigned j = 1; j < points; ++j)
        (*v)[first_weight + j] = (*v)[first_weight];
}

void resize_one_distribution(SpectrumModel& model, SubModel& d, unsigned points, DVector& w, const SideVectors& side)
{
    IDistribution& dist = *d.distribution();
    const unsigned old_points = dist.point_count();
    const std::size_t f = d.first, c = d.count, s = d.shown_count;
    std::vector<double> r;
    dist.resize(points, d.param_slice(w), r);
    delete_elements(w, f, c);
    drop_weights(side.lower, f + s, old_points);
    drop_weights(side.upper, f + s, old_points);
    drop_weights(side.flags, f + s, old_points);
    model.layout_params();
    insert_elements(w, f, d.count);
    open_weights(side.lower, f + s, points);
    open_weights(side.upper, f + s, points);
    open_weights(side.flags, f + s, points);
    for (std::size_t j = 0; j < r.size() && j < d.count; ++j)
        w(f + j) = r[j];
    // Its own weights may have followed its largest weight; no link may point past
    // the last one.
    for (unsigned j = d.shown_count; j < d.count; ++j) {
        ParamLink& link = d.links[j];
        if (link.kind == LinkToParam && link.target_component == d.index && link.target_param >= d.count)
            link = ParamLink();
    }
}

void resize_linked_distributions(SpectrumModel& model, unsigned k, unsigned points, DVector& w,
                                 const SideVectors& side)
{
    std::vector<std::pair<unsigned, double>> followers;
    for (const auto& x : model.components) {
        unsigned target;
        double factor;
        if (x->index != k && x->get_distribution_link(target, factor) && target == k) {
            followers.emplace_back(x->index, factor);
            unlink_distribution_weights(model, x->index);
        }
    }
    resize_one_distribution(model, *model.components[k], points, w, side);
    for (const auto& [x, factor] : followers) {
        resize_one_distribution(model, *model.components[x], points, w, side);
        link_distribution_weights(model, k, x, factor);
    }
}

}  // namespace

void link_distribution_weights(SpectrumModel& model, unsigned t, unsigned d, double factor)
{
    if (t >= model.components.size() || d >= model.components.size())
        return;
    const SubModel& target = *model.components[t];
    SubModel& dependent = *model.components[d];
    const IDistribution* td = target.distribution();
    const IDistribution* dd = dependent.distribution();
    if (!td || !dd || td->point_count() != dd->point_count())
        return;
    for (unsigned j = 0; j < dd->point_count(); ++j)
        dependent.links[dependent.shown_count + j] =
            ParamLink{target.index, target.shown_count + j, LinkToParam, factor};
}

void unlink_distribution_weights(SpectrumModel& model, unsigned d)
{
    if (d >= model.components.size())
        return;
    SubModel& dependent = *model.components[d];
    if (const IDistribution* dd = dependent.distribution())
        for (unsigned j = 0; j < dd->point_count(); ++j)
            dependent.links[dependent.shown_count + j] = ParamLink();
}

void resize_distribution(SpectrumModel& model, unsigned k, unsigned points, const DVector& in, DVector* out,
                         DVector* lower, DVector* upper, std::vector<int>* flags)
{
    DVector scratch;
    DVector& w = out ? *out : scratch;
    if (&in != &w)
        w = in;
    if (k >= model.components.size())
        return;
    const IDistribution* dist = model.components[k]->distribution();
    if (!dist || dist->point_count() == points)
        return;
    unsigned group = k;
    unsigned target;
    double factor;
    if (model.components[k]->get_distribution_link(target, factor) && target != k &&
        target < model.components.size() && model.components[target]->distribution())
        group = target;
    resize_linked_distributions(model, group, points, w, SideVectors{lower, upper, flags});
    model.rebuild_derived();
    model.compile_expressions();
}

void set_point_counts(SpectrumModel& model, const std::vector<unsigned>& counts)
{
    DVector scratch(model.param_count(), 0.0);
    std::size_t n = 0;
    for (const auto& c : model.components)
        if (const IDistribution* d = c->distribution()) {
            if (n < counts.size() && d->point_count() != counts[n])
                resize_one_distribution(model, *c, counts[n], scratch, SideVectors{nullptr, nullptr, nullptr});
            ++n;
        }
    model.rebuild_derived();
    model.compile_expressions();
}

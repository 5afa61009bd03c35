// Parameter links: a linked parameter's value is factor × its target, a parameter of
// some component or a user expression. Links are recomputed in one pass in component
// and parameter order, kept right when components or expressions come and go, and
// carried into the Jacobian by the chain rule: the derivative by a dependent parameter
// d moves to what d depends on, ∂f/∂t += factor·∂f/∂d for a parameter target t and
// ∂f/∂u += factor·(∂E/∂u)·∂f/∂d for every parameter u an expression E uses.
#include "core/model/spectrum_model.h"

#include <stdexcept>

#include "core/text/messages.h"

namespace {

// The target of every link of `kind` after target `index` was inserted or removed:
// a link to the removed target becomes not linked (target and factor stay), links to
// later targets follow them.
void shift_links(ComponentList& components, std::int32_t kind, unsigned index, bool removed)
{
    for (const auto& c : components)
        for (ParamLink& link : c->links) {
            if (link.kind != kind)
                continue;
            if (!removed) {
                if (link.target_component >= index)
                    ++link.target_component;
            } else if (link.target_component == index) {
                link.kind = NotLinked;
            } else if (link.target_component > index) {
                --link.target_component;
            }
        }
}

}  // namespace

bool SpectrumModel::link_target_index(const ParamLink& link, std::size_t& target) const
{
    if (link.target_component >= components.size())
        return false;
    const SubModel& c = *components[link.target_component];
    if (link.target_param >= c.count)
        return false;
    target = c.first + link.target_param;
    return true;
}

const IExpr* SpectrumModel::link_expression(const ParamLink& link) const
{
    return link.target_component < expressions.size() ? expressions[link.target_component].expr.get() : nullptr;
}

void SpectrumModel::set_link(const LinkSpec& spec)
{
    ParamLink& link = components.at(spec.dependent_component)->links.at(spec.dependent_param);
    const ParamLink wanted{spec.target_component, spec.target_param, spec.kind, spec.factor};
    std::size_t target;
    const bool valid = (wanted.kind == LinkToParam && link_target_index(wanted, target)) ||
                       (wanted.kind == LinkToExpr && link_expression(wanted)) || wanted.kind == NotLinked;
    if (!valid)
        throw std::runtime_error(MessageText(50049).to_utf8());
    link = wanted;
}

void SpectrumModel::shift_param_links(unsigned index, bool removed)
{
    shift_links(components, LinkToParam, index, removed);
}

void SpectrumModel::shift_expr_links(unsigned position, bool removed)
{
    shift_links(components, LinkToExpr, position, removed);
}

void SpectrumModel::unlink_uncompiled_expressions()
{
    for (const auto& c : components)
        for (ParamLink& link : c->links)
            if (link.kind == LinkToExpr && !link_expression(link))
                link = ParamLink();
}

void SpectrumModel::collect_component_links(const SubModel& component, std::vector<LinkSpec>& out) const
{
    auto spec = [](const ParamLink& link, const SubModel& dependent, unsigned param) {
        return LinkSpec{link.target_component, link.target_param, link.kind, dependent.index, param, link.factor};
    };
    for (unsigned j = 0; j < component.links.size(); ++j) {
        const ParamLink& link = component.links[j];
        if (link.kind == LinkToParam || link.kind == LinkToExpr)
            out.push_back(spec(link, component, j));
    }
    for (const auto& c : components)
        for (unsigned j = 0; j < c->links.size(); ++j) {
            const ParamLink& link = c->links[j];
            if (link.kind == LinkToParam && link.target_component == component.index)
                out.push_back(spec(link, *c, j));
        }
}

void SpectrumModel::dependent_mask(std::vector<int>& mask) const
{
    mask.assign(total_param_count, 0);
    for (const auto& c : components)
        for (unsigned j = 0; j < c->count; ++j)
            if (c->links[j].kind != NotLinked)
                mask[c->first + j] = 1;
}

void SpectrumModel::apply_links(DVector& values, ExprGradients* gradients) const
{
    if (values.size() < total_param_count)
        throw std::out_of_range("Parameter vector shorter than the model");
    if (gradients)
        gradients->resize(expressions.size());
    for (const auto& c : components)
        for (unsigned j = 0; j < c->count; ++j) {
            const ParamLink& link = c->links[j];
            double result;
            if (link.kind == LinkToParam) {
                std::size_t target;
                if (!link_target_index(link, target))
                    continue;
                result = values(target) * link.factor;
            } else if (link.kind == LinkToExpr) {
                const IExpr* e = link_expression(link);
                if (!e)
                    continue;
                result = link.factor * (gradients ? e->value_and_gradient(values, (*gradients)[link.target_component])
                                                  : e->value(values));
            } else {
                continue;
            }
            values(c->first + j) = result;
        }
}

void SpectrumModel::carry_links(const ExprGradients& gradients, std::size_t rows, DMatrix& jacobian) const
{
    const std::size_t columns = jacobian.size2();
    for (const auto& c : components)
        for (unsigned j = 0; j < c->count; ++j) {
            const ParamLink& link = c->links[j];
            const std::size_t d = c->first + j;
            if (link.kind == LinkToParam) {
                std::size_t t;
                if (link_target_index(link, t))
                    for (std::size_t i = 0; i < rows; ++i)
                        jacobian(i, t) += jacobian(i, d) * link.factor;
            } else if (link.kind == LinkToExpr) {
                const std::size_t e = link.target_component;
                if (e < expressions.size()) {
                    const DVector* gradient = e < gradients.size() ? &gradients[e] : nullptr;
                    for (unsigned u : expressions[e].used_params) {
                        const double g = gradient && u < gradient->size() ? (*gradient)(u) : 0.0;
                        if (u < columns)
                            for (std::size_t i = 0; i < rows; ++i)
                                jacobian(i, u) += jacobian(i, d) * g * link.factor;
                    }
                }
            } else {
                continue;
            }
            for (std::size_t i = 0; i < rows; ++i)
                jacobian(i, d) = 0.0;
        }
}

// The model's component list and flat parameter layout, its user expressions with the
// renumbering of their component references, and its simple queries.
#include "core/model/spectrum_model.h"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>

void SpectrumModel::layout_params()
{
    std::uint32_t total = 0;
    for (std::size_t k = 0; k < components.size(); ++k) {
        SubModel& c = *components[k];
        c.first = total;
        c.index = static_cast<std::uint32_t>(k);
        c.count = c.subspec->param_count();
        c.shown_count = c.subspec->shown_param_count();
        c.links.resize(c.count);
        total += c.count;
    }
    total_param_count = total;
}

SubModel& SpectrumModel::component_of_param(unsigned index) const
{
    for (const auto& c : components)
        if (index < c->first + c->count)
            return *c;
    throw std::runtime_error("Invalid variable index");
}

bool SpectrumModel::starts_with_baseline() const
{
    return !components.empty() && components.front()->is_baseline();
}

void SpectrumModel::insert_component(unsigned index, SubSpecPtr subspec)
{
    if (index > components.size())
        throw std::out_of_range("Component index out of range");
    auto component = std::make_shared<SubModel>(std::move(subspec), next_component_color(components));
    if (component->is_baseline())
        if (auto* automatic = dynamic_cast<IAutoBaseLine*>(component->subspec.get()))
            automatic->set_level(level);
    components.insert(components.begin() + index, std::move(component));
    // A component whose area text fails (a scripted model without parameters, say)
    // leaves the model as it was.
    try {
        layout_params();
        rebuild_derived();
    } catch (...) {
        components.erase(components.begin() + index);
        layout_params();
        rebuild_derived();
        throw;
    }
    rewrite_expression_refs(index, false);
    shift_param_links(index, false);
}

void SpectrumModel::rewrite_expression_refs(unsigned index, bool removed)
{
    // All texts first: an expression compiles with the texts of the others it uses.
    for (NamedExpr& e : expressions)
        e.text = rewrite_component_refs(e.text, index, removed);
    compile_expressions();
}

std::wstring SpectrumModel::rewrite_component_refs(const std::wstring& text, unsigned index, bool deleting)
{
    auto is_digit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const wchar_t c = text[i++];
        out += c;
        if (c != L'[')
            continue;
        std::size_t end = i;
        std::uint64_t t = 0;
        while (end < text.size() && is_digit(text[end]) && t <= std::numeric_limits<std::uint32_t>::max())
            t = t * 10 + static_cast<unsigned>(text[end++] - L'0');
        // Only "[" digits ":" is a component reference; a number too long for any
        // component index is left as it stands.
        if (end == i || end >= text.size() || text[end] != L':' || t > std::numeric_limits<std::uint32_t>::max())
            continue;
        if (!deleting)
            out += std::to_wstring(t >= index ? t + 1 : t);
        else if (t == index)
            out += L'?';  // the deleted component
        else
            out += std::to_wstring(t > index ? t - 1 : t);
        out += L':';
        i = end + 1;
    }
    return out;
}

void SpectrumModel::compile_expressions()
{
    for (NamedExpr& e : expressions)
        e.compile(*this);
}

void SpectrumModel::insert_expression(unsigned position, const std::wstring& name, const std::wstring& text)
{
    if (position > expressions.size())
        throw std::out_of_range("Expression index out of range");
    NamedExpr e;
    e.name = name;
    e.text = text;
    expressions.insert(expressions.begin() + position, std::move(e));
    shift_expr_links(position, false);
    compile_expressions();
}

void SpectrumModel::remove_expression(unsigned position)
{
    if (position >= expressions.size())
        throw std::out_of_range("Expression index out of range");
    expressions.erase(expressions.begin() + position);
    shift_expr_links(position, true);
    compile_expressions();
}

void SpectrumModel::get_xrange(unsigned index, double& from, double& to) const
{
    const XRange& r = xranges.at(index);
    from = r.from;
    to = r.to;
}

COLORREF SpectrumModel::color_of(unsigned i) const
{
    return i < components.size() ? components[i]->color : subspectrum_color(0);
}

// The spread parameter whose start or end value is `param` becomes the abscissa; any
// other parameter makes it the point number.
bool SpectrumModel::set_distribution_abscissa(unsigned component, unsigned param)
{
    IDistribution* d = component < components.size() ? components[component]->distribution() : nullptr;
    if (!d)
        return false;
    const std::vector<unsigned> starts = d->start_value_params();
    int entry = -1;
    for (std::size_t i = 0; i < starts.size() && entry < 0; ++i)
        if (starts[i] == param || starts[i] + 1 == param)
            entry = static_cast<int>(i);
    if (entry == d->axis_param())
        return false;
    d->set_axis_param(entry);
    return true;
}

void SpectrumModel::set_distribution_marks(unsigned distribution, const PointRangeList& marks)
{
    if (SubModel* c = distribution_at(distribution))
        c->distribution()->set_marked_ranges(marks);
}

void set_auto_baseline_level(ISubSpec& subspec, double level)
{
    auto* automatic = dynamic_cast<IAutoBaseLine*>(&subspec);
    if (!automatic)
        throw std::runtime_error("SubSpec is not an auto baseline, can't set N0");
    automatic->set_level(level);
}

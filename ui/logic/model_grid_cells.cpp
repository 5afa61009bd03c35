#include "ui/logic/model_grid_cells.h"

#include <cmath>

#include "core/text/c_format.h"
#include "core/text/format_value.h"
#include "core/text/messages.h"
#include "wingui/logic/dialog_numbers.h"

namespace {

constexpr int first_param_column = 3;

std::wstring formatted(std::wstring_view format, double x)
{
    try {
        return (c_format(format) % x).str();
    } catch (const boost::io::format_error&) {
        // A scripted model's format that does not take one number.
        return (c_format(L"%g") % x).str();
    }
}

// A cell's number: the whole text, or what follows "name=" as a copied cell holds.
std::optional<double> read_cell_number(std::wstring text)
{
    for (wchar_t& c : text)
        if (c == L',') c = L'.';
    if (const auto value = read_field_double(text)) return value;
    const std::size_t eq = text.find(L'=');
    if (eq == std::wstring::npos || eq == 0) return std::nullopt;
    return read_field_double(std::wstring_view(text).substr(eq + 1));
}

bool covers(const DVector* v, unsigned k)
{
    return v && k < v->size();
}

} // namespace

bool varied_by_flags(const SpectrumModel& model, const std::vector<int>& flags, unsigned k)
{
    if (k >= flags.size() || k >= model.param_count()) return false;
    const SubModel& c = model.component_of_param(k);
    ParamLink link;
    return (flags[k] & ParamFree) && !(flags[k] & ParamLocked) && !c.get_link(k - c.first, link);
}

std::wstring component_label(const ISubSpec& subspec)
{
    std::wstring label = subspec.display_name();
    if (const auto* desc = dynamic_cast<const ISubSpecDesc*>(&subspec)) {
        const std::wstring d = desc->description();
        if (!d.empty()) label += L" (" + d + L")";
    }
    return label;
}

unsigned ModelGridCells::row_count() const
{
    return model().component_count() + static_cast<unsigned>(model().expressions.size());
}

unsigned ModelGridCells::column_count() const
{
    unsigned most = 0;
    for (const auto& c : model().components) most = std::max(most, c->shown_count);
    return most + first_param_column;
}

bool ModelGridCells::has_errors() const
{
    return options.show_errors && src_.covariance && src_.covariance->size1() >= src_.fit_values->size();
}

const SubModel* ModelGridCells::component_at(int row) const
{
    if (row < 0 || static_cast<unsigned>(row) >= model().component_count()) return nullptr;
    return model().components[row].get();
}

const SubModel* ModelGridCells::parameter_at(int row, int column, unsigned& k) const
{
    const SubModel* c = component_at(row);
    if (!c || column < first_param_column) return nullptr;
    const unsigned p = static_cast<unsigned>(column - first_param_column);
    if (p >= c->shown_count) return nullptr;
    k = c->first + p;
    return c;
}

bool ModelGridCells::linked(const SubModel& c, unsigned p) const
{
    ParamLink link;
    return c.get_link(p, link);
}

std::optional<std::wstring> ModelGridCells::text(int row, int column) const
{
    if (const SubModel* c = component_at(row)) {
        if (column == 2) return c->is_baseline() ? level_text(*c) : area_text(*c);
        if (column < first_param_column) return component_text(*c, column);
        const unsigned p = static_cast<unsigned>(column - first_param_column);
        if (p >= c->shown_count) return std::nullopt;
        const auto value = value_text(*c, p);
        if (!value) return std::nullopt;
        return c->subspec->param_info(p).name + L"=" + *value;
    }
    const int e = row - static_cast<int>(model().component_count());
    if (row < 0 || e >= static_cast<int>(model().expressions.size())) return std::nullopt;
    return expression_text(model().expressions[e], column);
}

std::wstring ModelGridCells::component_text(const SubModel& c, int column) const
{
    if (column == 0) return std::to_wstring(c.index);
    return component_label(*c.subspec);
}

std::optional<std::wstring> ModelGridCells::level_text(const SubModel& c) const
{
    const SubModel& first = *model().components.front();
    if (!dynamic_cast<const IAutoBaseLine*>(first.subspec.get())) return std::nullopt;
    const auto& baseline = dynamic_cast<const IBaseLine&>(*c.subspec);
    if (value_vector().size() < c.first + c.count) return std::nullopt;
    const double level = baseline.level(c.param_slice(value_vector()));
    if (options.parameter_mode) return L"N0=" + formatted(L"%.0f", level);
    double error = 0.0;
    if (has_errors() && src_.covariance->size1() >= c.first + c.count)
        error = baseline.level_error(c.covariance_block(*src_.covariance));
    return L"N0=" + format_value_with_error(level, error, L"%.0f", !options.rounding);
}

std::optional<std::wstring> ModelGridCells::area_text(const SubModel& c) const
{
    if (c.index >= model().relative_area_exprs.size()) return std::nullopt;
    const NamedExpr& derived = model().relative_area_exprs[c.index];
    if (!derived.expr || value_vector().size() < model().param_count()) return std::nullopt;
    double value = 0.0, error = 0.0;
    if (options.parameter_mode || !has_errors()) {
        value = derived.expr->value(value_vector());
    } else {
        if (!relative_areas_) relative_areas_ = model().relative_areas(value_vector(), *src_.covariance);
        const std::optional<ValueWithError>& area = (*relative_areas_)[c.index];
        if (!area) return std::nullopt;
        value = area->value;
        error = area->error;
    }
    if (!(value >= 0.0)) return std::nullopt;
    return L"I=" + format_value_with_error(value, error, L"%.1f", !options.rounding) + L"%";
}

std::optional<std::wstring> ModelGridCells::expression_text(const NamedExpr& e, int column) const
{
    if (column == 0) return e.name;
    if (column == 1) return e.text;
    if (column != 2 || !e.expr || value_vector().size() < model().param_count()) return std::nullopt;
    double error = 0.0;
    const double value = has_errors() ? e.expr->value_with_variance(value_vector(), *src_.covariance, error)
                                      : e.expr->value(value_vector());
    return format_value_with_error(value, error, L"%.6g", !options.rounding);
}

std::optional<std::wstring> ModelGridCells::value_text(const SubModel& c, unsigned p) const
{
    const unsigned k = c.first + p;
    ParamLink link;
    if (options.parameter_mode && c.get_link(p, link)) {
        std::wstring text;
        if (link.factor != 1.0) text = formatted(L"%.3f", link.factor) + L"\u00D7";
        return text + model().link_source_text(c, p);
    }
    if (!covers(&value_vector(), k)) return std::nullopt;
    double error = 0.0;
    if (has_errors() && k < src_.covariance->size1()) {
        error = linked(c, p) ? model().param_std_error(c, p, value_vector(), *src_.covariance)
                             : std::sqrt((*src_.covariance)(k, k));
    }
    return format_value_with_error(value_vector()(k), error, c.subspec->param_info(p).format, !options.rounding);
}

int ModelGridCells::image(int row, int column) const
{
    if (!options.parameter_mode) return PadlockNone;
    const SubModel* c = component_at(row);
    if (!c) return PadlockNone;
    const std::vector<int>& flags = *src_.flags;
    if (column == 1) {
        if (c->count == 0 || c->first >= flags.size()) return PadlockNone;
        return (flags[c->first] & ParamLocked) ? PadlockClosed : PadlockOpen;
    }
    unsigned k = 0;
    if (!parameter_at(row, column, k) || linked(*c, k - c->first) || k >= flags.size()) return PadlockNone;
    return (flags[k] & 3) + 1;
}

std::optional<COLORREF> ModelGridCells::background(int row, int column, bool current) const
{
    const SubModel* c = component_at(row);
    if (!c) return std::nullopt;
    if (column == 0) return model().color_of(c->index);
    unsigned k = 0;
    if (current || !parameter_at(row, column, k) || !covers(&value_vector(), k)) return std::nullopt;
    std::optional<COLORREF> colour;
    const double v = value_vector()(k);
    if (covers(src_.lower, k) && covers(src_.upper, k)) {
        const double lo = (*src_.lower)(k), hi = (*src_.upper)(k);
        if (v < lo || v > hi) colour = grid_red;
        else if (std::fabs(v - lo) <= 0.001 || std::fabs(v - hi) <= 0.001) colour = grid_silver;
    }
    if (has_errors() && k < src_.covariance->size1() && src_.is_varied && src_.is_varied(k) &&
        (*src_.covariance)(k, k) == 0.0)
        colour = grid_yellow;
    return colour;
}

std::optional<COLORREF> ModelGridCells::text_color(int row, int column) const
{
    const int e = row - static_cast<int>(model().component_count());
    if (e < 0 || e >= static_cast<int>(model().expressions.size()) || column != 1) return std::nullopt;
    if (model().expressions[e].expr) return std::nullopt;
    return grid_dark_red;
}

int ModelGridCells::first_cell_column(int) const
{
    return first_param_column;
}

int ModelGridCells::last_cell_column(int row) const
{
    const SubModel* c = component_at(row);
    return c ? static_cast<int>(c->shown_count) + first_param_column - 1 : 0;
}

std::optional<std::wstring> ModelGridCells::begin_edit(int row, int column) const
{
    unsigned k = 0;
    const SubModel* c = parameter_at(row, column, k);
    if (!options.editable || !c || linked(*c, k - c->first) || !covers(&value_vector(), k)) return std::nullopt;
    return formatted(c->subspec->param_info(k - c->first).format, value_vector()(k));
}

CellCommit ModelGridCells::commit(int row, int column, const std::wstring& text, const ModelGridCommits& commits) const
{
    unsigned k = 0;
    const SubModel* c = parameter_at(row, column, k);
    if (!options.editable || !c || linked(*c, k - c->first)) return {};
    const auto value = read_cell_number(text);
    if (!value) {
        return {false, MessageText(50132, c->index, c->subspec->param_info(k - c->first).name, text)
                           .str()};
    }
    commits.set_param(k, *value);
    return {true, {}};
}

bool ModelGridCells::image_click(int row, int column, const ModelGridCommits& commits) const
{
    if (!options.parameter_mode) return false;
    const SubModel* c = component_at(row);
    if (!c) return false;
    if (column == 1) {
        commits.toggle_flags(c->first, c->first + c->count, ParamLocked);
        return true;
    }
    unsigned k = 0;
    if (!parameter_at(row, column, k) || linked(*c, k - c->first)) return false;
    commits.toggle_flags(k, k + 1, ParamFree);
    return true;
}

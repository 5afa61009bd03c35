#include "plot/html_report.h"

#include <cmath>

#include "core/text/c_format.h"
#include "core/text/format_value.h"
#include "core/text/script_chars.h"
#include "core/text/text.h"
#include "plot/html_markup.h"

namespace {

constexpr const wchar_t* page_head[] = {
    L"<!DOCTYPE html>",
    L"<html>",
    L"  <head>",
    L"    <meta http-equiv=\"X-UA-Compatible\" content=\"IE=Edge\" />",
    L"    <title>Vexmoor results</title>",
    L"    <style type='text/css'>",
    L"      body { font-family: 'Times New Roman', serif; background: white; color: black; }",
    L"      .val { font-style: italic; }",
    L"      table.desc { margin-left: 2em; border-collapse: collapse; }",
    L"      table.desc td { padding-left: 0.5em; padding-right: 0.5em; border: solid black 1px; }",
    L"      table.expr { border-collapse: collapse; }",
    L"      table.expr td { padding-left: 1em; padding-right: 1em; border: none; }",
    L"      h1 { font-size: 200%; text-align: center; }",
    L"      h2 { font-size: 150%; margin-top: 0.5em; text-align: center; }",
    L"      h3 { font-size: 120%; margin-top: 0.5em; background: rgb(224, 224, 224); }",
    // A value wider than its cell widens the cell instead of wrapping under its name.
    L"      c { display: inline-block; min-width: 16em; white-space: nowrap; }",
    L"      n { display: inline-block; width: 4em; text-align: right; }",
    L"      v { display: inline-block; }",
    L"      v:before { content: \"\u00A0=\u00A0\"; }",
    L"      .over { text-decoration: overline; }",
    L"    </style>",
    L"  </head>",
    L"  <body>",
};

// The name of a line's quantity, "I(3)" with every character that has one as its
// superscript.
std::wstring line_name(const wchar_t* quantity, unsigned n)
{
    std::wstring name = (c_format(L"%s(%u)") % quantity % n).str();
    for (wchar_t& c : name)
        c = superscript_of(c);
    return name;
}

class ReportComposer {
public:
    ReportComposer(const ResultsSource& source, unsigned flags)
        : source_(source), model_(source.model), flags_(flags), scale_(std::fabs(source.model.scale)),
          fraction_(resonant_fraction(source.data.keywords))
    {
    }

    void head(const std::tm& t)
    {
        for (const wchar_t* line : page_head)
            page_ += std::wstring(line) + L"\n";
        html_heading(page_, 1, L"Vexmoor");
        page_ += (c_format(L"<p>Date: %04d-%02d-%02d %02d:%02d</p>\n") % (t.tm_year + 1900) % (t.tm_mon + 1) %
                  t.tm_mday % t.tm_hour % t.tm_min)
                     .str();
    }

    void descriptions()
    {
        if (!source_.spectrum_name.empty()) {
            page_ += L"<p>Spectrum data: " + html_escape(source_.spectrum_name) + L"</p>\n";
            html_desc_table(page_, source_.data.keywords);
            PropertyList properties;
            source_.data.property_list(properties, model_.is_emission(), false);
            html_desc_table(page_, properties);
        }
        if (!source_.model_name.empty()) {
            page_ += L"<p>Model: " + html_escape(source_.model_name) + L"</p>\n";
            html_desc_table(page_, model_.keywords);
        }
        if (model_.xrange_count() > 0) {
            page_ += L"<p>Excluded ranges: ";
            for (unsigned i = 0; i < model_.xrange_count(); ++i) {
                double from = 0.0, to = 0.0;
                model_.get_xrange(i, from, to);
                if (i > 0)
                    page_ += L"; ";
                page_ += (c_format(L"[%.3f, %.3f]") % from % to).str();
            }
            page_ += L"</p>\n";
        }
    }

    void image(const ReportImageWriter& writer)
    {
        if (!(flags_ & ReportPlotImage) || !writer)
            return;
        page_ += L"<p><img src='data:image/png;base64,";
        writer(page_);
        page_ += L"'></p>\n";
    }

    void global_results(const std::wstring& stop_text)
    {
        html_heading(page_, 2, L"Results");
        html_heading(page_, 3, L"Global");
        if (!stop_text.empty())
            page_ += L"<p>Stop code: " + html_escape(stop_text) + L"</p>\n";
        if (model_.has_components() && model_.components.front()->is_baseline())
            html_param_line(page_, L"N\u2080",
                            html_escape(fmt(model_.baseline_level(source_.values),
                                            model_.baseline_level_error(source_.covariance), L"%.0f") +
                                        L" imp"));
        const unsigned whole = model_.component_count();
        if (const auto area = derived_value(model_.area_exprs, whole, source_); area && scale_ * area->value > 0.0)
            html_param_line(page_, L"I",
                            html_escape(fmt(scale_ * area->value, scale_ * area->error, L"%.0f") + L" imp\u00D7mm/s"));
        if (const auto area = derived_value(model_.level_area_exprs, whole, source_);
            area && scale_ * area->value / fraction_ > 0.0)
            html_param_line(page_, L"In",
                            html_escape(fmt(scale_ * area->value / fraction_, scale_ * area->error / fraction_,
                                            L"%.2f") +
                                        L" mm/s"));
    }

    void components()
    {
        if (!(flags_ & ReportComponents))
            return;
        unsigned distribution = 0;
        for (const auto& component : model_.components)
            component_block(*component, distribution);
    }

    void expressions()
    {
        if (!(flags_ & ReportExpressions) || model_.expressions.empty())
            return;
        html_heading(page_, 3, L"Expressions");
        page_ += L"<table class='expr'>\n";
        for (const NamedExpr& e : model_.expressions) {
            page_ += L"<tr><td>" + html_escape(e.name) + L"</td><td>" + html_escape(e.text) + L"</td>";
            if (const auto v = expression_value(e, source_))
                page_ += L"<td>" + html_escape(fmt(v->value, v->error, L"%.5g")) + L"</td>";
            page_ += L"</tr>\n";
        }
        page_ += L"</table>\n";
    }

    std::wstring finish()
    {
        page_ += L"  </body>\n</html>\n";
        return std::move(page_);
    }

private:
    std::wstring fmt(double value, double error, std::wstring_view format) const
    {
        return format_value_with_error(value, error, format, !(flags_ & ReportRoundResults));
    }

    void close_row()
    {
        if (cells_ > 0) {
            page_ += L"<br>\n";
            cells_ = 0;
        }
    }

    void component_block(const SubModel& component, unsigned& distribution)
    {
        const ISubSpec& s = *component.subspec;
        std::wstring title = s.display_name();
        if (const auto* desc = dynamic_cast<const ISubSpecDesc*>(&s); desc && !desc->description().empty())
            title += L" (" + desc->description() + L")";
        html_heading(page_, 3, (c_format(L"%d. %s") % component.index % html_escape(title)).str());
        area_cells(component.index);
        parameter_cells(component);
        if (component.distribution())
            distribution_cells(distribution++);
        if (flags_ & ReportLineTables)
            line_cells(component);
    }

    void area_cells(unsigned k)
    {
        if (const auto v = derived_value(model_.relative_area_exprs, k, source_); v && v->value >= 0.0)
            html_param_cell(page_, cells_, L"%I", fmt(v->value, v->error, L"%.1f") + L"%");
        if (const auto v = derived_value(model_.area_exprs, k, source_); v && scale_ * v->value >= 0.0)
            html_param_cell(page_, cells_, L"I",
                            fmt(scale_ * v->value, scale_ * v->error, L"%.0f") + L" imp\u00D7mm/s");
        if (const auto v = derived_value(model_.level_area_exprs, k, source_);
            v && scale_ * v->value / fraction_ >= 0.0)
            html_param_cell(page_, cells_, L"In",
                            fmt(scale_ * v->value / fraction_, scale_ * v->error / fraction_, L"%.2f") + L" mm/s");
        close_row();
    }

    void parameter_cells(const SubModel& component)
    {
        std::vector<unsigned> layout;
        component.subspec->param_layout(layout);
        for (const unsigned j : layout) {
            if (j == param_group_marker) {
                close_row();
                continue;
            }
            const ParamInfo& info = component.subspec->param_info(j);
            const double value = source_.values(component.first + j);
            const double error = model_.param_std_error(component, j, source_.values, source_.covariance);
            std::wstring text = fmt(value, error, info.format);
            ParamLink link;
            if (component.get_link(j, link)) {
                text += L"=";
                if (link.factor != 1.0)
                    text += (c_format(L"%.3f\u00D7") % link.factor).str();
                text += model_.link_source_text(component, j);
            }
            html_param_cell(page_, cells_, info.name, text);
        }
        close_row();
    }

    void distribution_cells(unsigned d)
    {
        for (const auto& [first, last] : distribution_intervals(model_, d)) {
            close_row();
            page_ += L"<hr>\n";
            std::vector<DistStatistic> rows;
            model_.distribution_statistics(d, first, last, source_.values, source_.covariance, rows);
            for (const DistStatistic& row : rows) {
                if (row.starts_row)
                    close_row();
                html_param_cell(page_, cells_, row.name, fmt(row.value, row.error, row.format));
            }
        }
        close_row();
    }

    void line_cells(const SubModel& component)
    {
        const auto* info = dynamic_cast<const ILineInfo*>(component.subspec.get());
        if (!info)
            return;
        std::vector<LineInfo> lines;
        info->line_info(component.param_slice(source_.values), component.covariance_block(source_.covariance),
                        lines);
        unsigned n = 0;
        for (const LineInfo& line : lines) {
            ++n;
            html_param_cell(page_, cells_, line_name(L"I", n), fmt(line.intensity, line.intensity_error, L"%.3f"));
            html_param_cell(page_, cells_, line_name(L"v", n), fmt(line.position, line.position_error, L"%.3f"));
            html_param_cell(page_, cells_, line_name(L"\u0393", n), fmt(line.width, line.width_error, L"%.3f"));
            close_row();
        }
    }

    const ResultsSource& source_;
    const SpectrumModel& model_;
    unsigned flags_;
    double scale_;
    double fraction_;
    std::wstring page_;
    unsigned cells_ = 0;
};

} // namespace

std::wstring compose_html_report(const ResultsSource& source, const std::wstring& stop_text, unsigned flags,
                                 const std::tm& local_time, const ReportImageWriter& image)
{
    ReportComposer composer(source, flags);
    composer.head(local_time);
    composer.descriptions();
    composer.image(image);
    composer.global_results(stop_text);
    composer.components();
    composer.expressions();
    return composer.finish();
}

void write_html_report(const std::wstring& path, const ResultsSource& source, const std::wstring& stop_text,
                       unsigned flags, const ReportImageWriter& image)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    const std::wstring page = compose_html_report(source, stop_text, flags, local, image);
    write_text_file(path, with_crlf(html_script_runs(page)));
}

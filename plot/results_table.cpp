#include "plot/results_table.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "core/text/number_text.h"
#include "core/text/text.h"

namespace {

class TableComposer {
public:
    TableComposer(const ResultsSource& source, double chi_square, double reduced_chi_square, bool csv)
        : source_(source), model_(source.model), table_(csv), chi_square_(chi_square),
          reduced_(reduced_chi_square), e_(std::sqrt(reduced_chi_square)), scale_(std::fabs(source.model.scale)),
          fraction_(resonant_fraction(source.data.keywords))
    {
    }

    std::wstring compose()
    {
        table_.column(L"Spectrum", file_name_part(source_.spectrum_name));
        table_.column(L"Model", file_name_part(source_.model_name));
        double temperature = 0.0;
        if (!kwlist_get_double(source_.data.keywords, L"Temperature", temperature))
            temperature = 0.0;
        table_.column(L"T", temperature);
        table_.column(L"\u03A7\u00B2", reduced_);
        // Without a chi-square there is no spread of it to give.
        const double spread = std::sqrt(2.0 * reduced_ / chi_square_);
        table_.column(L"\u0394\u03A7\u00B2", chi_square_ > 0.0 && std::isfinite(spread) ? number_to_text(spread) : L"");
        properties();
        level_area(L"", model_.component_count());
        unsigned distribution = 0;
        for (const auto& component : model_.components)
            component_columns(*component, distribution);
        for (const NamedExpr& e : model_.expressions)
            if (const auto v = expression_value(e, source_))
                triple(e.name, L"", *v);
        return table_.text();
    }

private:
    void properties()
    {
        PropertyList list;
        source_.data.property_list(list, model_.is_emission(), false);
        for (const auto& [name, text] : list) {
            const auto pm = text.find(L'\u00B1');
            table_.column(name, text.substr(0, pm));
            table_.column(L"S_" + name, pm == std::wstring::npos ? L"" : text.substr(pm + 1));
        }
    }

    // Value, Δ and †Δ columns of one result.
    void triple(const std::wstring& name, const std::wstring& suffix, const ValueWithError& v)
    {
        table_.column(name + suffix, v.value);
        table_.column(L"\u0394" + name + suffix, v.error);
        table_.column(L"\u2020\u0394" + name + suffix, e_ * v.error);
    }

    // In of the whole model (suffix empty) or of a component: −1 and empty error fields
    // when it has no expression.
    void level_area(const std::wstring& suffix, unsigned k, bool with_scaled_error = true)
    {
        const auto v = derived_value(model_.level_area_exprs, k, source_);
        if (!v) {
            table_.column(L"In" + suffix, -1.0);
            table_.column(L"\u0394In" + suffix, L"");
            if (with_scaled_error)
                table_.column(L"\u2020\u0394In" + suffix, L"");
            return;
        }
        const ValueWithError in{scale_ * v->value / fraction_, scale_ * v->error / fraction_};
        if (with_scaled_error) {
            triple(L"In", suffix, in);
        } else {
            table_.column(L"In" + suffix, in.value);
            table_.column(L"\u0394In" + suffix, in.error);
        }
    }

    void component_columns(const SubModel& component, unsigned& distribution)
    {
        const ISubSpec& s = *component.subspec;
        const std::wstring suffix = L" / " + std::to_wstring(component.index) + L" / " + s.display_name();
        if (const auto v = derived_value(model_.relative_area_exprs, component.index, source_); v && v->value >= 0.0) {
            triple(L"I%", suffix, *v);
            level_area(suffix, component.index, false);
        }
        std::vector<unsigned> area_params;
        if (const auto* aa = dynamic_cast<const IAAParam*>(&s))
            aa->area_params(area_params);
        for (unsigned j = 0; j < component.count; ++j) {
            if (area_params.size() > 1 && std::find(area_params.begin(), area_params.end(), j) != area_params.end())
                continue;
            triple(s.param_info(j).name, suffix,
                   {source_.values(component.first + j),
                    model_.param_std_error(component, j, source_.values, source_.covariance)});
        }
        if (!component.distribution())
            return;
        for (const auto& [first, last] : distribution_intervals(model_, distribution)) {
            std::vector<DistStatistic> rows;
            model_.distribution_statistics(distribution, first, last, source_.values, source_.covariance, rows);
            for (const DistStatistic& row : rows) {
                table_.column(row.name + suffix, row.value);
                table_.column(L"\u0394" + row.name + suffix, row.error);
            }
        }
        ++distribution;
    }

    const ResultsSource& source_;
    const SpectrumModel& model_;
    TableWriter table_;
    double chi_square_;
    double reduced_;
    double e_;
    double scale_;
    double fraction_;
};

} // namespace

void TableWriter::column(const std::wstring& header, const std::wstring& value)
{
    if (columns_++ > 0) {
        header_ += separator();
        values_ += separator();
    }
    append_table_field(header_, header, csv_);
    append_table_field(values_, value, csv_);
}

void TableWriter::column(const std::wstring& header, double value)
{
    column(header, number_to_text(value));
}

std::wstring TableWriter::text() const
{
    return header_ + L"\n" + values_ + L"\n";
}

void append_table_field(std::wstring& row, std::wstring_view text, bool csv)
{
    // Quoted where the text would end the field or the row, or open a quoted field: in
    // CSV any ';' or quote; with tabs a tab, a line break or a leading quote.
    const bool quoted = text.find_first_of(csv ? L";\"\r\n" : L"\t\r\n") != std::wstring_view::npos ||
                        (!text.empty() && text.front() == L'"');
    if (quoted) {
        row += L'"';
        for (const wchar_t c : text) {
            if (c == L'"')
                row += L'"';
            row += c;
        }
        row += L'"';
    } else {
        row += text;
    }
}

bool is_csv_path(const std::wstring& path)
{
    if (path.size() <= 4)
        return false;
    std::wstring tail = path.substr(path.size() - 4);
    for (wchar_t& c : tail)
        c = static_cast<wchar_t>(std::towlower(c));
    return tail == L".csv";
}

std::wstring compose_results_table(const ResultsSource& source, double chi_square, double reduced_chi_square,
                                   bool csv)
{
    return TableComposer(source, chi_square, reduced_chi_square, csv).compose();
}

void write_results_table(const std::wstring& path, const ResultsSource& source, double chi_square,
                         double reduced_chi_square)
{
    write_text_file(path, with_crlf(compose_results_table(source, chi_square, reduced_chi_square, is_csv_path(path))));
}

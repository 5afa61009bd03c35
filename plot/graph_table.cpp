// Evaluates the model and each component once over all points, then writes the rows.
#include "plot/graph_table.h"

#include <stdexcept>
#include <vector>

#include "core/text/number_text.h"
#include "core/text/text.h"
#include "plot/results_table.h"

std::wstring compose_graph_table(const SpectrumModel& model, const SpectrumData& data, const DVector& values,
                                 bool csv)
{
    const bool with_model = model.component_count() > 0;
    if (with_model && values.size() != model.param_count())
        throw std::invalid_argument("compose_graph_table: one value per model parameter needed");
    const std::size_t n = data.x_data.size();
    DVector x(n);
    std::copy(data.x_data.begin(), data.x_data.end(), x.begin());

    std::vector<std::wstring> headers{L"v (mm/s)", L"Counts", L"\u03C3"};
    std::vector<DVector> curves;
    if (with_model) {
        headers.insert(headers.end(), {L"Model", L"Difference"});
        curves.emplace_back(n);
        if (n > 0)
            model.evaluate(x, 0, n, values, curves.back());
        for (unsigned c = 0; c < model.component_count(); ++c) {
            headers.push_back(std::to_wstring(c + 1) + L". " + model.components[c]->subspec->display_name());
            curves.emplace_back(n);
            model.evaluate_component(c, x, values, curves.back());
        }
    }

    const wchar_t separator = csv ? L';' : L'\t';
    std::wstring text;
    for (std::size_t k = 0; k < headers.size(); ++k) {
        if (k > 0)
            text += separator;
        append_table_field(text, headers[k], csv);
    }
    text += L'\n';
    std::vector<double> row;
    row.reserve(headers.size());
    for (std::size_t i = 0; i < n; ++i) {
        row.assign({data.x_data[i], data.y_data[i], data.std_dev_data[i]});
        if (with_model) {
            row.insert(row.end(), {curves[0](i), data.y_data[i] - curves[0](i)});
            for (std::size_t c = 1; c < curves.size(); ++c)
                row.push_back(curves[c](i));
        }
        for (std::size_t k = 0; k < row.size(); ++k) {
            if (k > 0)
                text += separator;
            text += number_to_text(row[k]);
        }
        text += L'\n';
    }
    return text;
}

void write_graph_table(const std::wstring& path, const SpectrumModel& model, const SpectrumData& data,
                       const DVector& values)
{
    write_text_file(path, with_crlf(compose_graph_table(model, data, values, is_csv_path(path))));
}

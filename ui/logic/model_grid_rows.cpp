#include "ui/logic/model_grid_rows.h"

std::optional<RowClip> row_clip_text(ModelGridDocument& document, int row, bool use_values)
{
    const SpectrumModel& model = *document.source().model;
    if (row < 0) return std::nullopt;
    const unsigned r = static_cast<unsigned>(row), nc = model.component_count();
    if (r < nc) return RowClip{component_clipboard_format, document.component_line(r, use_values)};
    if (r - nc >= model.expressions.size()) return std::nullopt;
    const NamedExpr& e = model.expressions[r - nc];
    return RowClip{expression_clipboard_format, expression_clip_text(e.name, e.text)};
}

bool cut_row(ModelGridDocument& document, int row, const std::function<bool(const RowClip&)>& copy)
{
    const SpectrumModel& model = *document.source().model;
    const auto clip = row_clip_text(document, row, true);
    if (!clip) return false;
    const unsigned r = static_cast<unsigned>(row), nc = model.component_count();
    if (r < nc && model.components[r]->is_baseline()) return false;
    return cut_after_copy([&] { return copy(*clip); }, [&] {
        if (r < nc) document.delete_component(r);
        else document.delete_expression(r - nc);
        return true;
    });
}

int paste_row(ModelGridDocument& document, unsigned row, const std::optional<std::wstring>& component_text,
              const std::optional<std::wstring>& expression_text)
{
    const SpectrumModel& model = *document.source().model;
    const PastePlace place =
        paste_place(row, model.component_count(), static_cast<unsigned>(model.expressions.size()));
    if (component_text && !component_text->empty()) {
        const auto parsed = parse_component_clip_text(*component_text);
        return parsed ? document.insert_pasted_component(place.component, *parsed) : -1;
    }
    if (expression_text && !expression_text->empty()) {
        std::wstring name, text;
        split_expression_clip_text(*expression_text, name, text);
        document.insert_pasted_expression(place.expression, name, text);
        return static_cast<int>(model.component_count() + place.expression);
    }
    return -1;
}

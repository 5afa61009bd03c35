// The model grids' row commands without the clipboard: which text a copied row
// carries, what a cut deletes, and where a pasted component or expression goes. The
// document is reached through ModelGridDocument, each change one undoable step.
#pragma once

#include <optional>
#include <string>

#include "ui/logic/clipboard_text.h"
#include "ui/logic/model_grid_cells.h"

// What the model grids need of the document; an adapter on the document implements it.
class ModelGridDocument {
public:
    virtual ~ModelGridDocument() = default;
    virtual ModelGridSource source() const = 0;
    virtual ModelGridCommits commits() = 0;
    // The component's line with its values, or with its fit values.
    virtual std::wstring component_line(unsigned component, bool use_values) const = 0;
    virtual void delete_component(unsigned component) = 0;
    virtual void delete_expression(unsigned expression) = 0;
    // Creates and inserts a pasted component at `index` (a baseline goes first and
    // replaces a leading one); its index, or -1 when the text makes no component.
    virtual int insert_pasted_component(unsigned index, const ComponentClipText& text) = 0;
    virtual void insert_pasted_expression(unsigned index, const std::wstring& name, const std::wstring& text) = 0;
};

struct RowClip {
    const wchar_t* format;  // component_clipboard_format or expression_clipboard_format
    std::wstring text;
};

// The text of row `row`; nothing for a row outside the model.
std::optional<RowClip> row_clip_text(ModelGridDocument& document, int row, bool use_values);
// A baseline is never cut; nothing else is either unless `copy` put it on the
// clipboard. True when the row was deleted.
bool cut_row(ModelGridDocument& document, int row, const std::function<bool(const RowClip&)>& copy);
// Inserts the clipboard's component text, or else its expression text, before
// insertion row `row`; the grid row of the pasted item, or -1. A component text that
// makes no component fails the paste without trying the expression.
int paste_row(ModelGridDocument& document, unsigned row, const std::optional<std::wstring>& component_text,
              const std::optional<std::wstring>& expression_text);

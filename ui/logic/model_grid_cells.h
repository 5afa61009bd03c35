// What the model grids show and how their edits reach the document, without a window:
// rows are the components, then the user expressions; columns are the number, the name,
// the relative area (or the baseline level) and one per shown parameter. Every cell is
// computed from the document when asked; nothing is copied, except that the relative
// areas with their errors are computed all at once on first use (one sweep over the
// covariance serves every row) and kept: one ModelGridCells reads one state of the
// document, and a refresh after a change takes a new one.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"

// The document's vectors by flat index, all owned by the document.
struct ModelGridSource {
    const SpectrumModel* model = nullptr;
    const DVector* values = nullptr;
    const DVector* fit_values = nullptr;
    const std::vector<int>* flags = nullptr;
    const DVector* lower = nullptr;
    const DVector* upper = nullptr;
    const DMatrix* covariance = nullptr;
    // The document's answer whether the fit varies flat index k.
    std::function<bool(unsigned)> is_varied;
};

struct ModelGridOptions {
    bool editable = false;
    bool show_errors = false;
    bool parameter_mode = false;
    bool use_fit_values = false;
    bool rounding = true;
};

// How an edit reaches the document: each call is one undoable change.
struct ModelGridCommits {
    std::function<void(unsigned index, double value)> set_param;
    // Flips `bits` of every flag in [first, end).
    std::function<void(unsigned first, unsigned end, int bits)> toggle_flags;
};

// Flags alone: free, not locked and not linked. The document's own rule, for callers
// that hold no document.
bool varied_by_flags(const SpectrumModel& model, const std::vector<int>& flags, unsigned k);

// The outcome of committing a cell's text.
struct CellCommit {
    bool changed = false;
    std::wstring error;  // why nothing changed, naming the cell; empty when nothing was wrong
};

// Padlock images of the model grids' image list.
enum PadlockImage : int { PadlockNone = -1, PadlockClosed = 1, PadlockOpen = 2, PadlockClosedGrey = 3, PadlockOpenGrey = 4 };

inline constexpr COLORREF grid_red = 0x0000FF;
inline constexpr COLORREF grid_silver = 0xC0C0C0;
inline constexpr COLORREF grid_yellow = 0x00FFFF;
inline constexpr COLORREF grid_dark_red = 0x0000C0;

class ModelGridCells {
public:
    ModelGridCells(ModelGridSource source, ModelGridOptions options) : options(options), src_(std::move(source)) {}

    unsigned row_count() const;
    // The largest shown parameter count plus 3.
    unsigned column_count() const;

    // Nothing for a cell without text.
    std::optional<std::wstring> text(int row, int column) const;
    int image(int row, int column) const;
    // The cell's own colours; nothing keeps the painter's. The current cell keeps its
    // highlight, so `current` suppresses the parameter colours.
    std::optional<COLORREF> background(int row, int column, bool current) const;
    std::optional<COLORREF> text_color(int row, int column) const;

    int first_cell_column(int row) const;
    int last_cell_column(int row) const;

    // The editor's starting text when the cell may be edited.
    std::optional<std::wstring> begin_edit(int row, int column) const;
    // Reads the text strictly (a "," is taken as the decimal point; "name=number", as a
    // copied cell holds, is accepted) and commits the number.
    CellCommit commit(int row, int column, const std::wstring& text, const ModelGridCommits& commits) const;
    // A click on a padlock: true when flags were toggled.
    bool image_click(int row, int column, const ModelGridCommits& commits) const;

    ModelGridOptions options;

private:
    const SpectrumModel& model() const { return *src_.model; }
    const DVector& value_vector() const { return options.use_fit_values ? *src_.fit_values : *src_.values; }
    bool has_errors() const;
    // The component of a row and its shown parameter of a column; null when none.
    const SubModel* component_at(int row) const;
    const SubModel* parameter_at(int row, int column, unsigned& k) const;
    bool linked(const SubModel& c, unsigned p) const;
    std::wstring component_text(const SubModel& c, int column) const;
    std::optional<std::wstring> level_text(const SubModel& c) const;
    std::optional<std::wstring> area_text(const SubModel& c) const;
    std::optional<std::wstring> expression_text(const NamedExpr& e, int column) const;
    std::optional<std::wstring> value_text(const SubModel& c, unsigned p) const;

    ModelGridSource src_;
    // The relative areas with their errors, once asked for.
    mutable std::optional<std::vector<std::optional<ValueWithError>>> relative_areas_;
};

// The component's display name, with " (description)" when it has a description.
std::wstring component_label(const ISubSpec& subspec);

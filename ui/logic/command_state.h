// The enabled, checked and text state of the main window's commands, as a pure function
// of what the frame knows about the document, the grids, the plot and the fit at one
// moment. The frame gathers the snapshot on every idle pass and applies the states.
#pragma once

#include <cstdint>
#include <vector>

// Which page of the tab container is in front.
enum class GridPage { Parameters, Results, Correlations };

// What the parameter grid's current row is.
enum class RowKind { None, Baseline, Component, Expression };

struct CommandSnapshot {
    std::size_t points = 0;        // points of the spectrum
    bool has_components = false;   // the model has at least one component
    bool has_xranges = false;      // the model has excluded ranges
    bool spectrum_can_undo = false, spectrum_can_redo = false;
    bool model_can_undo = false, model_can_redo = false;
    bool emission = false;         // the model's scale is not negative
    bool fit_running = false;      // a fit thread exists
    bool fit_waiting = false;      // it waits in step mode
    GridPage page = GridPage::Parameters;
    RowKind row = RowKind::None;   // the parameter grid's current row
    int column = -1;               // its current column; −1 when the whole row is selected
    bool component_has_properties = false;  // ISubSpecProperties or a distribution
    bool results_grid_has_row = false;      // the fit-result grid has a current row
    bool correlation_has_row = false;       // the correlation grid has a current row
    bool clipboard_has_model_data = false;
    unsigned plot_mask = 0;        // the plot's available options
    unsigned plot_options = 0;     // the plot's option word
    bool rounding = false;         // "Round results"
    int mouse_mode = 0;
    bool results = false;          // fit results on show
};

struct CommandState {
    unsigned id;
    bool enabled;
    bool checked;
    std::uint32_t text_message;  // a new item text (message id); 0 keeps the text
    bool operator==(const CommandState&) const = default;
};

// Where a command's state shows.
enum UpdateElement : unsigned { UpdateMenu = 1, UpdateToolbar = 2, UpdateStatusBar = 4 };

struct UpdateEntry {
    unsigned id;
    unsigned elements;  // UpdateElement bits
};

// The commands whose state the frame sets, in map order, with where each shows; status
// panes are listed by their index (0 and 1).
const std::vector<UpdateEntry>& update_ui_map();

// One state per command of the map (status panes excepted), in the order of the rules.
std::vector<CommandState> command_states(const CommandSnapshot& s);

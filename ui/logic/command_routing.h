// Where every command of the main window goes: a table from command ids (single ids
// and ranges) to the handler that owns them. The frame installs one handler per group;
// groups whose commands are not built yet answer with a clear notice.
#pragma once

#include <optional>
#include <span>

enum class CommandGroup {
    // Handled by the frame itself.
    open_spectrum,
    save_spectrum,
    recent_spectrum,
    recent_model,
    recent_folder,
    exit,
    view_option,
    reset_zoom,
    round_results,
    background_color,
    mouse_mode,
    language,
    help_contents,
    about,
    next_page,
    // Each handled in a file of its own.
    document_command,   // model and spectrum commands that change the document
    component_command,  // add, delete and edit one component
    model_file,         // open/save model, default folder, demo files
    report,             // results report, results table, graph table
    fit_control,        // run, step, pause, stop, fit area
    clipboard,
    links_and_expressions,
    spectrum_processing,
    calibration,
    ignored,            // ids the map takes but does nothing with
};

struct CommandRoute {
    unsigned first;
    unsigned last;
    CommandGroup group;
};

// The whole table; ranges do not overlap.
std::span<const CommandRoute> command_routes();
// The group of `id`; none for an id the table does not name.
std::optional<CommandGroup> route_command(unsigned id);

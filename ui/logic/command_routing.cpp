#include "ui/logic/command_routing.h"

#include <algorithm>
#include <array>

namespace {

using G = CommandGroup;

constexpr std::array routes{
    CommandRoute{201, 201, G::open_spectrum},
    CommandRoute{202, 202, G::save_spectrum},  // save under the current name
    CommandRoute{203, 203, G::save_spectrum},
    CommandRoute{204, 204, G::spectrum_processing},
    CommandRoute{205, 207, G::document_command},
    CommandRoute{208, 208, G::calibration},
    CommandRoute{209, 210, G::document_command},
    CommandRoute{211, 211, G::spectrum_processing},
    CommandRoute{212, 212, G::document_command},  // add spectrum
    CommandRoute{213, 213, G::document_command},
    CommandRoute{214, 214, G::spectrum_processing},
    CommandRoute{215, 217, G::document_command},
    CommandRoute{231, 249, G::calibration},
    CommandRoute{251, 253, G::model_file},
    CommandRoute{255, 255, G::component_command},
    CommandRoute{256, 258, G::document_command},
    CommandRoute{260, 260, G::document_command},
    CommandRoute{261, 261, G::component_command},  // isotope information
    CommandRoute{262, 262, G::links_and_expressions},
    CommandRoute{263, 263, G::document_command},
    CommandRoute{264, 264, G::links_and_expressions},
    CommandRoute{265, 265, G::component_command},
    CommandRoute{272, 273, G::document_command},
    CommandRoute{278, 278, G::document_command},
    CommandRoute{301, 301, G::view_option},
    CommandRoute{302, 303, G::ignored},
    CommandRoute{304, 307, G::view_option},
    CommandRoute{308, 308, G::reset_zoom},
    CommandRoute{309, 309, G::round_results},
    CommandRoute{310, 312, G::view_option},
    CommandRoute{313, 339, G::ignored},
    CommandRoute{340, 340, G::background_color},
    CommandRoute{351, 353, G::fit_control},
    CommandRoute{354, 355, G::document_command},
    CommandRoute{356, 357, G::report},
    CommandRoute{358, 358, G::document_command},
    CommandRoute{359, 359, G::fit_control},
    CommandRoute{360, 362, G::report},
    CommandRoute{363, 363, G::fit_control},
    CommandRoute{401, 403, G::mouse_mode},
    CommandRoute{451, 451, G::exit},
    CommandRoute{452, 452, G::model_file},
    CommandRoute{601, 620, G::recent_model},
    CommandRoute{621, 640, G::recent_spectrum},
    CommandRoute{641, 660, G::calibration},
    CommandRoute{661, 680, G::recent_folder},
    CommandRoute{701, 750, G::language},
    CommandRoute{800, 899, G::links_and_expressions},
    CommandRoute{951, 951, G::about},
    CommandRoute{952, 952, G::help_contents},
    CommandRoute{991, 993, G::clipboard},
    CommandRoute{1001, 1099, G::spectrum_processing},
    CommandRoute{5001, 5999, G::links_and_expressions},
    CommandRoute{20001, 21000, G::document_command},   // the isotope choice
    CommandRoute{21001, 23000, G::component_command},  // add subspectrum, add distribution
    CommandRoute{23101, 23300, G::model_file},        // demo spectra and models
    CommandRoute{30002, 30002, G::next_page},
    CommandRoute{259, 259, G::links_and_expressions},  // unlink
};

} // namespace

std::span<const CommandRoute> command_routes() { return routes; }

std::optional<CommandGroup> route_command(unsigned id)
{
    const auto it = std::find_if(routes.begin(), routes.end(), [id](const CommandRoute& r) { return r.first <= id && id <= r.last; });
    if (it == routes.end()) return std::nullopt;
    return it->group;
}

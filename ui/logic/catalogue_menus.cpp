#include "ui/logic/catalogue_menus.h"

#include <exception>
#include <functional>

#include "core/spectrum/isotope.h"
#include "catalogue/sub_spec_factory.h"

namespace {

// The catalogue's entries from `first_id` on, those that `offered` accepts; a separator
// entry only marks that the next offered item starts a new group.
std::vector<MenuEntry> catalogue_menu(const SubSpecFactory& catalogue, unsigned first_id,
                                      const std::function<bool(unsigned)>& offered)
{
    std::vector<MenuEntry> menu;
    bool separator_pending = false;
    for (unsigned i = 0; i < catalogue.size(); ++i) {
        const SubSpecFactory::SubSpecDesc& entry = catalogue.at(i);
        if (entry.display_name.empty()) {
            separator_pending = true;
            continue;
        }
        if (entry.hidden || !offered(i)) continue;
        if (separator_pending && !menu.empty()) menu.push_back({});
        separator_pending = false;
        menu.push_back({first_id + i, entry.display_name});
    }
    return menu;
}

} // namespace

std::vector<MenuEntry> add_subspectrum_menu(const SubSpecFactory& catalogue)
{
    return catalogue_menu(catalogue, first_add_subspectrum_command, [](unsigned) { return true; });
}

std::vector<MenuEntry> add_distribution_menu(const SubSpecFactory& catalogue, const Isotope* isotope)
{
    return catalogue_menu(catalogue, first_add_distribution_command, [&](unsigned i) {
        if (catalogue.is_baseline(i)) return false;
        try {
            const SubSpecPtr probe = catalogue.create_at(i, isotope);
            return dynamic_cast<const IDistVarTypes*>(probe.get()) != nullptr;
        } catch (const std::exception&) {
            // Not without an isotope (or a reference file): nothing to spread.
            return false;
        }
    });
}

std::vector<MenuEntry> isotope_menu(const IsotopeTable& isotopes, const std::wstring& information_text)
{
    std::vector<MenuEntry> menu;
    for (unsigned i = 0; i < isotopes.count() && first_isotope_command + i <= last_isotope_command; ++i)
        menu.push_back({first_isotope_command + i, isotopes.at(i).name});
    menu.push_back({});
    menu.push_back({isotope_information_command, information_text});
    return menu;
}

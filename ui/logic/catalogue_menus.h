// The three menus the Model menu builds at start: Isotope from the isotope table, Add
// subspectrum and Add distribution from the catalogue. Item ids follow the catalogue's
// indices (separators and hidden entries count), so the menus have gaps in their ids.
// Separators appear only between offered items, never first, last or twice in a row.
#pragma once

#include <string>
#include <vector>

class IsotopeTable;
class SubSpecFactory;
struct Isotope;

inline constexpr unsigned first_isotope_command = 20001;
inline constexpr unsigned last_isotope_command = 21000;
inline constexpr unsigned first_add_subspectrum_command = 21001;
inline constexpr unsigned first_add_distribution_command = 22001;
inline constexpr unsigned last_add_distribution_command = 23000;
inline constexpr unsigned isotope_information_command = 261;

struct MenuEntry {
    unsigned id = 0;  // 0: a separator
    std::wstring text;

    bool operator==(const MenuEntry&) const = default;
};

// Every visible catalogue entry.
std::vector<MenuEntry> add_subspectrum_menu(const SubSpecFactory& catalogue);
// Every visible entry that is no baseline and whose subspectrum, created for `isotope`
// as a probe, can be spread (offers IDistVarTypes); an entry that cannot be created
// for that isotope is not offered.
std::vector<MenuEntry> add_distribution_menu(const SubSpecFactory& catalogue, const Isotope* isotope);
// Every isotope by its display name, a separator, then Isotope information with
// `information_text` (message 50054 in the user-interface language).
std::vector<MenuEntry> isotope_menu(const IsotopeTable& isotopes, const std::wstring& information_text);

// The Isotope, Add subspectrum and Add distribution menus from the isotope table and the
// catalogue: ids by catalogue index, separators only between offered items, entries
// that cannot be distributed left out, and the Information item in both languages.
#include "ui/logic/catalogue_menus.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/text/messages.h"
#include "lineshapes/singlets.h"
#include "subspec/baseline.h"
#include "catalogue/sub_spec_factory.h"
#include "subspec/free_var.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"

namespace {

template <class T>
SubSpecPtr make(void*, const Isotope* isotope)
{
    return make_subspec<T>(isotope);
}

std::vector<unsigned> ids(const std::vector<MenuEntry>& menu)
{
    std::vector<unsigned> out;
    for (const MenuEntry& e : menu) out.push_back(e.id);
    return out;
}

// Separators at both ends, two in a row around a hidden entry, a baseline, a type that
// cannot be spread (the free variable), one that needs an isotope but cannot be spread
// and one that needs an isotope.
SubSpecFactory awkward_catalogue()
{
    SubSpecFactory c;
    c.add_separator();                                             // 0
    c.register_model(&make<BaseLine>, nullptr, L"Baseline", false);  // 1
    c.add_separator();                                             // 2
    c.register_model(&make<FreeVar>, nullptr, L"@Hidden", false);  // 3
    c.add_separator();                                             // 4
    c.register_model(&make<LorenzLine>, nullptr, L"Lorentz", false);  // 5
    c.register_model(&make<FreeVar>, nullptr, L"Variable", false);    // 6
    c.add_separator();                                             // 7
    c.register_model(&make<FreeVar>, nullptr, L"Later", true);     // 8
    c.add_separator();                                             // 9
    c.register_model(&make<LorenzLine>, nullptr, L"Needs isotope", true);  // 10
    c.add_separator();                                             // 11
    return c;
}

TEST(CatalogueMenus, SeparatorsOnlyBetweenOfferedItems)
{
    const SubSpecFactory c = awkward_catalogue();
    const std::vector<MenuEntry> add = add_subspectrum_menu(c);
    EXPECT_EQ(ids(add), (std::vector<unsigned>{21002, 0, 21006, 21007, 0, 21009, 0, 21011}));
    EXPECT_EQ(add[0].text, L"Baseline");
    EXPECT_EQ(add[2].text, L"Lorentz");

    // No baselines, nothing without spreadable kinds, nothing that cannot be created for
    // the isotope; a lone group leaves no separator behind.
    EXPECT_EQ(ids(add_distribution_menu(c, nullptr)), (std::vector<unsigned>{22006}));
    EXPECT_EQ(ids(add_distribution_menu(c, &test_support::iron())), (std::vector<unsigned>{22006, 0, 22011}));
}

TEST(CatalogueMenus, TheProgramsCatalogueHasNoStraySeparators)
{
    const SubSpecFactory& c = SubSpecFactory::instance();
    for (const std::vector<MenuEntry>& menu :
         {add_subspectrum_menu(c), add_distribution_menu(c, &test_support::iron())}) {
        ASSERT_FALSE(menu.empty());
        EXPECT_NE(menu.front().id, 0u);
        EXPECT_NE(menu.back().id, 0u);
        for (std::size_t k = 1; k < menu.size(); ++k) EXPECT_FALSE(menu[k].id == 0 && menu[k - 1].id == 0) << k;
        for (const MenuEntry& e : menu) {
            if (e.id != 0) {
                EXPECT_FALSE(c.is_hidden((e.id - 1) % 1000)) << e.id;
            }
        }
    }
    // Every baseline is offered to add, none to distribute; sextets are distributable.
    const std::vector<MenuEntry> distributions = add_distribution_menu(c, &test_support::iron());
    for (unsigned i = 0; i < c.size(); ++i) {
        const bool listed = std::any_of(distributions.begin(), distributions.end(),
                                        [&](const MenuEntry& e) { return e.id == 22001 + i; });
        if (c.is_baseline(i)) {
            EXPECT_FALSE(listed) << i;
        }
        if (c.name_at(i) == L"PseudoVoigt sextet") {
            EXPECT_TRUE(listed);
        }
    }
}

TEST(CatalogueMenus, IsotopesThenInformationInTheLanguageOfTheMessages)
{
    const IsotopeTable& isotopes = test_support::program_isotopes();
    for (const auto& [language, information] :
         std::vector<std::pair<std::uint16_t, std::wstring>>{{0x409, L"Information"}, {0x419, L"Информация"}}) {
        set_message_language(language);
        const std::vector<MenuEntry> menu = isotope_menu(isotopes, MessageText(50054).str());
        ASSERT_EQ(menu.size(), isotopes.count() + 2);
        for (unsigned i = 0; i < isotopes.count(); ++i) EXPECT_EQ(menu[i], (MenuEntry{20001 + i, isotopes.at(i).name}));
        EXPECT_EQ(menu[isotopes.count()].id, 0u);
        EXPECT_EQ(menu.back(), (MenuEntry{261, information}));
    }
    set_message_language(0x409);
}

} // namespace

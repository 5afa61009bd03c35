// The main window's rules without a window: where each command goes, the close prompt's
// answers, and the recent lists' registry layout.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "ui/logic/close_prompt.h"
#include "ui/logic/command_routing.h"
#include "ui/logic/recent_document_list.h"

namespace {

using G = CommandGroup;

TEST(CommandRouting, EveryMenuCommandReachesItsHandler)
{
    const std::pair<unsigned, G> cases[] = {
        {201, G::open_spectrum},     {203, G::save_spectrum},     {202, G::save_spectrum},
        {621, G::recent_spectrum},   {640, G::recent_spectrum},   {251, G::model_file},
        {252, G::model_file},        {253, G::model_file},        {601, G::recent_model},
        {620, G::recent_model},      {362, G::report},            {356, G::report},
        {361, G::report},            {357, G::report},            {360, G::report},
        {452, G::model_file},        {661, G::recent_folder},     {680, G::recent_folder},
        {23101, G::model_file},      {23300, G::model_file},      {451, G::exit},
        {257, G::document_command},  {258, G::document_command},  {993, G::clipboard},
        {991, G::clipboard},         {992, G::clipboard},         {301, G::view_option},
        {304, G::view_option},       {305, G::view_option},       {306, G::view_option},
        {307, G::view_option},       {310, G::view_option},       {311, G::view_option},
        {312, G::view_option},       {308, G::reset_zoom},        {309, G::round_results},
        {302, G::ignored},           {339, G::ignored},           {340, G::background_color},
        {209, G::document_command},  {210, G::document_command},  {204, G::spectrum_processing},
        {205, G::document_command},  {207, G::document_command},  {217, G::document_command},
        {211, G::spectrum_processing}, {214, G::spectrum_processing}, {1001, G::spectrum_processing},
        {1099, G::spectrum_processing}, {212, G::document_command}, {213, G::document_command},
        {216, G::document_command},  {231, G::calibration},       {249, G::calibration},
        {208, G::calibration},       {641, G::calibration},       {660, G::calibration},
        {215, G::document_command},  {206, G::document_command},  {20001, G::document_command},
        {263, G::document_command},  {261, G::component_command}, {21001, G::component_command}, {22001, G::component_command},
        {262, G::links_and_expressions}, {273, G::document_command}, {255, G::component_command},
        {260, G::document_command},  {272, G::document_command},  {5001, G::links_and_expressions},
        {5999, G::links_and_expressions}, {259, G::links_and_expressions}, {264, G::links_and_expressions},
        {800, G::links_and_expressions}, {899, G::links_and_expressions}, {278, G::document_command},
        {265, G::component_command},  {256, G::document_command},  {359, G::fit_control},
        {355, G::document_command},  {351, G::fit_control},       {352, G::fit_control},
        {363, G::fit_control},       {353, G::fit_control},       {354, G::document_command},
        {358, G::document_command},  {401, G::mouse_mode},        {403, G::mouse_mode},
        {701, G::language},          {750, G::language},          {952, G::help_contents},
        {951, G::about},             {30002, G::next_page},
    };
    for (const auto& [id, group] : cases) {
        const auto routed = route_command(id);
        ASSERT_TRUE(routed) << id;
        EXPECT_EQ(*routed, group) << id;
    }
}

TEST(CommandRouting, UnnamedIdsAndTheDistributionPopupGoNowhereAndRangesDoNotOverlap)
{
    // 266-270, 274-277 and 23001 upward are the distribution popup's, tracked by its own menu;
    // 30003 reaches the tab container, which has no handler for it.
    for (unsigned id : {0u, 200u, 218u, 266u, 270u, 274u, 277u, 23001u, 23100u, 30003u, 700u, 900u, 65535u})
        EXPECT_FALSE(route_command(id)) << id;
    const auto routes = command_routes();
    for (std::size_t i = 0; i < routes.size(); ++i) {
        EXPECT_LE(routes[i].first, routes[i].last);
        for (std::size_t j = i + 1; j < routes.size(); ++j)
            EXPECT_TRUE(routes[i].last < routes[j].first || routes[j].last < routes[i].first) << routes[i].first << " " << routes[j].first;
    }
}

struct Document : IDocumentChanges {
    bool changed = false;
    bool save_succeeds = true;
    int saves = 0;
    bool model_changed() const override { return changed; }
    bool save_model() override
    {
        ++saves;
        if (save_succeeds) changed = false;
        return save_succeeds;
    }
};

TEST(ClosePrompt, AnswersDecideWhetherTheWindowCloses)
{
    struct Case {
        bool changed, closing, save_succeeds;
        CloseAnswer answer;
        CloseQuestion expected_question;
        bool closes;
        int saves;
    };
    using Q = CloseQuestion;
    using A = CloseAnswer;
    const Case cases[] = {
        {false, true, true, A::ok, Q::close_ok_cancel, true, 0},
        {false, true, true, A::cancel, Q::close_ok_cancel, false, 0},
        {true, true, true, A::yes, Q::save_changes_yes_no_cancel, true, 1},
        {true, true, false, A::yes, Q::save_changes_yes_no_cancel, false, 1},  // failed or cancelled save keeps it
        {true, true, true, A::no, Q::save_changes_yes_no_cancel, true, 0},
        {true, true, true, A::cancel, Q::save_changes_yes_no_cancel, false, 0},
        {true, false, true, A::yes, Q::save_changes_yes_no, true, 1},
        {true, false, false, A::yes, Q::save_changes_yes_no, true, 1},  // the session end is never refused
        {true, false, true, A::no, Q::save_changes_yes_no, true, 0},
    };
    for (const Case& c : cases) {
        Document document;
        document.changed = c.changed;
        document.save_succeeds = c.save_succeeds;
        std::vector<Q> asked;
        const bool closes = query_save(document, c.closing, [&](Q q) {
            asked.push_back(q);
            return c.answer;
        });
        EXPECT_EQ(closes, c.closes);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], c.expected_question);
        EXPECT_EQ(document.saves, c.saves);
    }
}

TEST(ClosePrompt, AnUnchangedModelAsksNothingWhenTheSessionEnds)
{
    Document document;
    bool asked = false;
    EXPECT_TRUE(query_save(document, false, [&](CloseQuestion) {
        asked = true;
        return CloseAnswer::cancel;
    }));
    EXPECT_FALSE(asked);
}

struct MemoryStore : IRecentListStore {
    std::map<std::wstring, std::uint32_t> dwords;
    std::map<std::wstring, std::wstring> strings;
    std::optional<std::uint32_t> read_dword(const std::wstring& name) const override
    {
        const auto it = dwords.find(name);
        return it == dwords.end() ? std::nullopt : std::optional(it->second);
    }
    std::optional<std::wstring> read_string(const std::wstring& name) const override
    {
        const auto it = strings.find(name);
        return it == strings.end() ? std::nullopt : std::optional(it->second);
    }
    void write_dword(const std::wstring& name, std::uint32_t value) override { dwords[name] = value; }
    void write_string(const std::wstring& name, const std::wstring& value) override { strings[name] = value; }
    void delete_value(const std::wstring& name) override { strings.erase(name); }
};

TEST(RecentDocumentList, NewestIsDocument1AndTheFirstCommand)
{
    RecentDocumentList list(661);
    for (const wchar_t* path : {L"C:\\a", L"C:\\b", L"C:\\c"}) list.add(path);
    EXPECT_EQ(list.entry_for_command(661), L"C:\\c");
    EXPECT_EQ(list.entry_for_command(663), L"C:\\a");
    EXPECT_FALSE(list.entry_for_command(664));
    EXPECT_FALSE(list.entry_for_command(660));
    EXPECT_EQ(list.menu_texts(), (std::vector<std::wstring>{L"&1 C:\\c", L"&2 C:\\b", L"&3 C:\\a"}));

    MemoryStore store;
    store.strings[L"Document7"] = L"left over from a longer list";
    list.write(store);
    EXPECT_EQ(store.dwords[L"DocumentCount"], 9u);
    EXPECT_EQ(store.strings, (std::map<std::wstring, std::wstring>{
                                 {L"Document1", L"C:\\c"}, {L"Document2", L"C:\\b"}, {L"Document3", L"C:\\a"}}));

    // An entry chosen from position 3 is at position 1 afterwards.
    list.add(*list.entry_for_command(663));
    list.write(store);
    EXPECT_EQ(store.strings[L"Document1"], L"C:\\a");
    EXPECT_EQ(store.strings[L"Document3"], L"C:\\b");

    RecentDocumentList read_back(661);
    read_back.read(store);
    EXPECT_EQ(read_back.entries(), list.entries());
}

TEST(RecentDocumentList, CapacityFromDocumentCountIsClampedAndOldestGo)
{
    for (const auto& [stored, capacity] : std::vector<std::pair<std::optional<std::uint32_t>, unsigned>>{
             {std::nullopt, 9}, {0, 2}, {1, 2}, {2, 2}, {15, 15}, {20, 20}, {21, 20}, {0xFFFFFFFF, 20}}) {
        MemoryStore store;
        if (stored) store.dwords[L"DocumentCount"] = *stored;
        for (int i = 1; i <= 20; ++i) store.strings[L"Document" + std::to_wstring(i)] = L"D" + std::to_wstring(i);
        RecentDocumentList list(601);
        list.read(store);
        EXPECT_EQ(list.capacity(), capacity);
        ASSERT_EQ(list.size(), capacity);
        EXPECT_EQ(list.entry_for_command(601), L"D1");
        list.add(L"new");
        EXPECT_EQ(list.size(), capacity);
        EXPECT_EQ(list.entry_for_command(601), L"new");
        EXPECT_EQ(list.entry_for_command(601 + capacity - 1), L"D" + std::to_wstring(capacity - 1));
    }
}

TEST(RecentDocumentList, DuplicatesMissingValuesAndBadEntries)
{
    RecentDocumentList list(621);
    list.add(L"C:\\Data\\A.spc");
    list.add(L"C:\\data\\b.spc");
    list.add(L"c:\\DATA\\a.SPC");  // the same file in other letter case moves to the top
    EXPECT_EQ(list.entries(), (std::vector<std::wstring>{L"C:\\data\\b.spc", L"c:\\DATA\\a.SPC"}));
    list.add(L"");
    list.add(std::wstring(260, L'x'));
    EXPECT_EQ(list.size(), 2u);
    EXPECT_TRUE(list.remove(L"C:\\DATA\\B.SPC"));
    EXPECT_FALSE(list.remove(L"C:\\nowhere"));
    EXPECT_EQ(list.size(), 1u);

    // A missing key leaves the list empty; a gap ends the entries.
    MemoryStore empty;
    list.read(empty);
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(list.capacity(), 9u);
    MemoryStore gap;
    gap.strings = {{L"Document1", L"one"}, {L"Document2", L"two"}, {L"Document4", L"four"}};
    list.read(gap);
    EXPECT_EQ(list.entries(), (std::vector<std::wstring>{L"two", L"one"}));
}

TEST(ReplacingTheModel, GoesOnAfterNoOrASuccessfulSaveAndStopsOtherwise)
{
    struct Case {
        bool changed, save_succeeds;
        CloseAnswer answer;
        bool asked, goes_on;
        int saves;
    };
    using A = CloseAnswer;
    const Case cases[] = {
        {false, true, A::cancel, false, true, 0},  // nothing to lose: no question
        {true, true, A::yes, true, true, 1},
        {true, false, A::yes, true, false, 1},  // a failed or cancelled save keeps the model
        {true, true, A::no, true, true, 0},
        {true, true, A::cancel, true, false, 0},
    };
    for (const Case& c : cases) {
        Document document;
        document.changed = c.changed;
        document.save_succeeds = c.save_succeeds;
        std::vector<CloseQuestion> asked;
        EXPECT_EQ(may_replace_model(document, [&](CloseQuestion q) {
                      asked.push_back(q);
                      return c.answer;
                  }),
                  c.goes_on);
        EXPECT_EQ(asked, c.asked ? std::vector<CloseQuestion>{CloseQuestion::save_changes_yes_no_cancel}
                                 : std::vector<CloseQuestion>{});
        EXPECT_EQ(document.saves, c.saves);
    }
}


} // namespace

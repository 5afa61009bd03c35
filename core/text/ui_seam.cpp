#include "core/text/ui_seam.h"

#include <cstdio>
#include <filesystem>

#include "core/text/text.h"

namespace {

class HeadlessUserInterface final : public IUserInterface {
public:
    int edit_keyword_list(KeywordList&, int, const std::wstring&) override { return 2; }
    std::optional<std::wstring> choose_open_file(const std::wstring&, const std::wstring&,
                                                 const std::wstring&) override
    {
        return std::nullopt;
    }
    void message_box(const std::wstring& text, const std::wstring& caption) override
    {
        std::fprintf(stderr, "%s: %s\n", wide_to_utf8(caption).c_str(), wide_to_utf8(text).c_str());
    }
    bool ask_ok_cancel(const std::wstring& text, const std::wstring& caption) override
    {
        message_box(text, caption);
        return false;
    }
    void debug_output(const std::wstring& text) override
    {
        std::fprintf(stderr, "%s\n", wide_to_utf8(text).c_str());
    }
    std::wstring program_folder() override
    {
        const std::u8string u8 = std::filesystem::current_path().u8string();
        return utf8_to_wide(std::string(u8.begin(), u8.end()));
    }
};

HeadlessUserInterface headless;
IUserInterface* current = &headless;

} // namespace

IUserInterface& user_interface() { return *current; }

IUserInterface* set_user_interface(IUserInterface* ui)
{
    IUserInterface* previous = current;
    current = ui ? ui : &headless;
    return previous;
}

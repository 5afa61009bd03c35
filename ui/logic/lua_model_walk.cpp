#include "ui/logic/lua_model_walk.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "core/text/text.h"

namespace fs = std::filesystem;

namespace {

std::wstring path_text(const fs::path& path)
{
    const std::u8string u8 = path.u8string();
    return utf8_to_wide(std::string(u8.begin(), u8.end()));
}

std::wstring error_text(const std::exception& error) { return utf8_to_wide(error.what()); }

} // namespace

std::vector<std::wstring> load_lua_models(const std::wstring& folder, const LuaModelLoader& loader)
{
    std::vector<std::wstring> failures;
    try {
        const fs::path root = to_path(folder);
        std::error_code error;
        if (!fs::is_directory(root, error)) return failures;
        for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
            const std::wstring name = path_text(entry.path().filename());
            if (name.starts_with(L".") || !entry.is_regular_file()) continue;
            loader.init();
            try {
                loader.load(path_text(entry.path()));
            } catch (const std::runtime_error& script_error) {
                failures.push_back(name + L": " + error_text(script_error));
            }
        }
    } catch (const std::runtime_error& walk_error) {
        failures.push_back(error_text(walk_error));
    }
    return failures;
}

LuaModelLoader unavailable_lua_loader()
{
    return {[] { throw std::runtime_error("Lua models are not available: this build has no Lua support"); },
            [](const std::wstring&) {}};
}

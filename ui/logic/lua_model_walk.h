// Reading the Lua-scripted models of the "models" folder at start-up. The Lua side is
// reached through an injected loader, so the walk and its error handling are tested
// without Lua, and the program can run (and say so) where no Lua support is linked.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct LuaModelLoader {
    // Creates the Lua state and runs the support scripts on its first call; later calls
    // return at once. Throws std::runtime_error.
    std::function<void()> init;
    // Registers the model of the script at the full path. Throws std::runtime_error.
    std::function<void(const std::wstring& path)> load;
};

// Loads every regular file of `folder` whose name does not begin with ".", in the
// order the listing gives them, not recursing. A missing folder, or a file of that
// name, loads nothing. A script that fails is named in the returned text with its
// error, and the remaining scripts are still loaded; a failure of the loader's `init`
// or of the listing itself ends the walk, since nothing after it could load. The texts
// (UTF-16, one per failure) are for the caller to show.
std::vector<std::wstring> load_lua_models(const std::wstring& folder, const LuaModelLoader& loader);

// A loader for a build without Lua support: its `init` throws a text that says so.
LuaModelLoader unavailable_lua_loader();

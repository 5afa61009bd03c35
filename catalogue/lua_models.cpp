#include "catalogue/lua_models.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <system_error>

#include <lua.hpp>

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/text/data_files.h"
#include "core/text/text.h"
#include "core/text/ui_seam.h"
#include "catalogue/lua_subspec.h"
#include "catalogue/sub_spec_factory.h"

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// Lua opens files with narrow names: the ANSI code page on Windows, UTF-8 elsewhere.
std::string lua_path(const std::wstring& path)
{
#ifdef _WIN32
    const int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(n > 0 ? std::size_t(n) : 1, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, narrow.data(), n, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
#else
    return wide_to_utf8(path);
#endif
}

std::string pop_message(lua_State* state)
{
    const char* text = lua_tolstring(state, -1, nullptr);
    std::string message = text ? text : "(error object is not a string)";
    lua_settop(state, -2);
    return message;
}

// Throws the error message at the top of the stack, after `prefix`.
[[noreturn]] void luamodel_raise(lua_State* state, const char* prefix)
{
    throw std::runtime_error(prefix + pop_message(state));
}

// The address `rows` doubles before `first`: scripts index the arrays from 1. Formed
// as an integer: the address lies outside the array.
void* before(const double* first, std::size_t rows)
{
    return reinterpret_cast<void*>(reinterpret_cast<std::uintptr_t>(first) - rows * sizeof(double));
}

}  // namespace

extern "C" void luamodel_set_name(void* info, const char* name_utf8)
{
    // Called from Lua: nothing may be thrown through its frames.
    try {
        static_cast<LuaModelInfo*>(info)->name = utf8_to_wide(name_utf8 ? name_utf8 : "");
    } catch (...) {
        static_cast<LuaModelInfo*>(info)->declaration_failed = true;
    }
}

extern "C" void luamodel_add_param(void* info, const char* name_utf8, const char* format_utf8, int kind,
                                   double lower, double upper, int varied, double default_value)
{
    auto* model = static_cast<LuaModelInfo*>(info);
    try {
        model->params.push_back({{utf8_to_wide(name_utf8 ? name_utf8 : ""), utf8_to_wide(format_utf8 ? format_utf8 : ""),
                                  kind, lower, upper, varied != 0},
                                 default_value});
    } catch (...) {
        model->declaration_failed = true;
    }
}

LuaModelRuntime::~LuaModelRuntime()
{
    close();
}

void LuaModelRuntime::init(const std::wstring& lib_path, const std::wstring& dual_path)
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (state_)
        return;
    lua_State* state = luaL_newstate();
    if (!state)
        throw std::runtime_error("Can't allocate new Lua state");
    try {
        luaL_openlibs(state);  // turns the compiler on, which the limit may turn off
        limit_.attach(state);
        if (luaL_loadfile(state, lua_path(lib_path).c_str()) != 0 || limit_.pcall(state, 0, LUA_MULTRET) != 0)
            luamodel_raise(state, "Error loading library: ");
        lua_settop(state, 0);
        lua_getfield(state, LUA_GLOBALSINDEX, "init");
        lua_pushstring(state, lua_path(dual_path).c_str());
        if (limit_.pcall(state, 1, 0) != 0)
            luamodel_raise(state, "Error initializing library: ");
    } catch (...) {
        limit_.detach(state);
        lua_close(state);
        throw;
    }
    state_ = state;
}

void LuaModelRuntime::load(const std::wstring& script_path, SubSpecFactory& catalogue)
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (!state_)
        throw std::runtime_error("lua is not initialized");
    auto model = std::make_unique<LuaModelInfo>();
    model->runtime = this;
    LuaModelContext context{model.get(), &luamodel_set_name, &luamodel_add_param};
    lua_getfield(state_, LUA_GLOBALSINDEX, "loadModel");
    lua_pushstring(state_, lua_path(script_path).c_str());
    lua_pushlightuserdata(state_, &context);
    if (limit_.pcall(state_, 2, 1) != 0)
        luamodel_raise(state_, "Error loading model: ");
    model->model_ref = luaL_ref(state_, LUA_REGISTRYINDEX);
    if (model->declaration_failed) {
        luaL_unref(state_, LUA_REGISTRYINDEX, model->model_ref);
        throw std::runtime_error("Error loading model: out of memory");
    }
    if (!separator_added_) {
        catalogue.add_separator();
        separator_added_ = true;
    }
    catalogue.register_model(&LuaSubSpec::create, model.get(), model->name, false);
    models_.push_back(std::move(model));
}

void LuaModelRuntime::load_folder(const std::wstring& folder, SubSpecFactory& catalogue)
{
    std::error_code error;
    std::filesystem::directory_iterator entries(to_path(folder), error);
    if (error)
        return;  // no models folder: no scripted models
    std::vector<std::wstring> scripts;
    for (const std::filesystem::directory_entry& entry : entries) {
        if (!entry.is_regular_file(error))
            continue;
        const std::u8string name = entry.path().filename().u8string();
        const std::u8string path = entry.path().u8string();
        std::wstring script = utf8_to_wide(std::string(path.begin(), path.end()));
        if (name.starts_with(u8".") || is_lua_support_script(script))
            continue;
        scripts.push_back(std::move(script));
    }
    std::sort(scripts.begin(), scripts.end());
    for (const std::wstring& script : scripts)
        load(script, catalogue);
}

void LuaModelRuntime::close()
{
    const std::lock_guard<std::mutex> guard(lock_);
    if (state_) {
        limit_.detach(state_);
        lua_close(state_);
    }
    state_ = nullptr;
}

bool LuaModelRuntime::call(const char* function, LuaModelInfo& model, std::size_t nx, std::size_t np,
                           void* target, const double* x, const double* p, std::string& error)
{
    if (!state_) {
        error = "lua is not initialized";
        return false;
    }
    if (model.overran)
        return false;  // reported when it overran
    lua_getfield(state_, LUA_GLOBALSINDEX, function);
    lua_pushinteger(state_, static_cast<lua_Integer>(nx));
    lua_pushinteger(state_, static_cast<lua_Integer>(np));
    lua_pushlightuserdata(state_, target);
    lua_pushlightuserdata(state_, before(x, 1));
    lua_pushlightuserdata(state_, before(p, 1));
    lua_rawgeti(state_, LUA_REGISTRYINDEX, model.model_ref);
    if (limit_.pcall(state_, 6, 0, &model.overran) == 0)
        return true;
    error = pop_message(state_);
    return false;
}

void LuaModelRuntime::report_failure(LuaModelInfo& model, const std::string& error)
{
    if (!model.failure_reported.exchange(true))
        user_interface().debug_output(L"Lua model \"" + model.name + L"\": " + utf8_to_wide(error));
}

void LuaModelRuntime::invoke(LuaModelInfo& model, std::size_t nx, std::size_t np, double* out, const double* x,
                             const double* p)
{
    if (nx == 0)
        return;
    const std::lock_guard<std::mutex> guard(lock_);
    std::string error;
    if (call("invoke", model, nx, np, before(out, 1), x, p, error))
        return;
    std::fill_n(out, nx, not_a_number);
    report_failure(model, error);
}

void LuaModelRuntime::invoke_df(LuaModelInfo& model, std::size_t nx, std::size_t np, double* values,
                                double* jacobian, std::size_t stride, const double* x, const double* p)
{
    if (nx == 0)
        return;
    const std::lock_guard<std::mutex> guard(lock_);
    const std::size_t row = np + 1;
    // What a script leaves unwritten stays NaN rather than another call's numbers.
    scratch_.assign(nx * row, not_a_number);
    std::string error;
    if (!call("invokeDF", model, nx, np, before(scratch_.data(), row), x, p, error)) {
        std::fill(scratch_.begin(), scratch_.end(), not_a_number);
        report_failure(model, error);
    }
    for (std::size_t i = 0; i < nx; ++i) {
        values[i] = scratch_[i * row];
        std::copy_n(scratch_.data() + i * row + 1, np, jacobian + i * stride);
    }
}

bool is_lua_support_script(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"/\\");
    const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return name == L"lib.lua" || name == L"dualImpl.lua";
}

LuaModelRuntime& lua_models()
{
    static LuaModelRuntime runtime;
    return runtime;
}

void luamodel_init()
{
    lua_models().init(find_data_file(L"models/lib.lua"), find_data_file(L"models/dualImpl.lua"));
}

void luamodel_load(const std::wstring& script_path)
{
    lua_models().load(script_path, SubSpecFactory::instance());
}

void luamodel_close()
{
    lua_models().close();
}

void luamodel_load_folder(const std::wstring& folder)
{
    luamodel_init();
    lua_models().load_folder(folder, SubSpecFactory::instance());
}

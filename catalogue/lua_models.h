// Model types written as Lua scripts. At start-up every script of the "models" folder
// is loaded into one LuaJIT state: through two callbacks it declares its display name
// and parameters, and it returns a model object; each script becomes one catalogue
// entry whose components (LuaSubSpec) evaluate by calling the global functions
// "invoke" (values) and "invokeDF" (values and derivatives) with the addresses of the
// program's arrays, which the scripts read and write through LuaJIT's FFI.
// "lib.lua" sets up those globals and loads "dualImpl.lua", the dual numbers on the
// script side.
//
// The state is single-threaded: every call into it holds one lock, so the evaluation
// blocks of a Lua model run one after another. Every call runs under a time limit
// (LuaRunLimit): a script caught in an endless loop fails like any script error, and a
// model that overran once is not called again, so the program stays responsive.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "catalogue/lua_run_limit.h"
#include "subspec/param_info.h"

struct lua_State;
class SubSpecFactory;
class LuaModelRuntime;

struct LuaParamDecl {
    ParamInfo info;
    double default_value = 0.0;
};

// One loaded script, kept until the runtime ends.
struct LuaModelInfo {
    std::wstring name;
    std::vector<LuaParamDecl> params;
    int model_ref = -1;  // registry reference of the model object
    LuaModelRuntime* runtime = nullptr;
    bool declaration_failed = false;  // a callback could not store a declaration
    bool overran = false;             // stopped at the time limit: evaluates to NaN from then on
    std::atomic<bool> failure_reported{false};
};

// What a script's "loadModel" receives as light userdata: plain C calls (cdecl) that
// name the model and declare its parameters.
extern "C" {
void luamodel_set_name(void* info, const char* name_utf8);
void luamodel_add_param(void* info, const char* name_utf8, const char* format_utf8, int kind, double lower,
                        double upper, int varied, double default_value);
}

struct LuaModelContext {
    void* info;
    void (*set_name)(void*, const char*);
    void (*add_param)(void*, const char*, const char*, int, double, double, int, double);
};

// How long one call into a script may run.
inline constexpr std::chrono::milliseconds lua_run_limit{5000};

class LuaModelRuntime {
public:
    explicit LuaModelRuntime(std::chrono::milliseconds limit = lua_run_limit) : limit_(limit) {}
    LuaModelRuntime(const LuaModelRuntime&) = delete;
    LuaModelRuntime& operator=(const LuaModelRuntime&) = delete;
    ~LuaModelRuntime();

    // Nothing when the state exists. Otherwise creates it, runs `lib_path` and calls
    // its "init" with `dual_path`. Throws std::runtime_error ("Can't allocate new Lua
    // state", "Error loading library: ...", "Error initializing library: ...") and then
    // has no state.
    void init(const std::wstring& lib_path, const std::wstring& dual_path);
    // Loads one script and appends its entry to `catalogue` (a separator before the
    // first). Throws "lua is not initialized" without a state and "Error loading model:
    // ..." when the script fails or runs longer than the limit; the catalogue is then
    // unchanged.
    void load(const std::wstring& script_path, SubSpecFactory& catalogue);
    // load for every regular file of `folder` whose name does not begin with "." and
    // is not a support script, in name order; subfolders are not read. The first error
    // is thrown and ends the loading; models loaded before it stay.
    void load_folder(const std::wstring& folder, SubSpecFactory& catalogue);
    // Closes the state; components of loaded models then evaluate to NaN.
    void close();
    bool is_open() const { return state_ != nullptr; }

    // "invoke": out[i] for the nx velocities x and the np parameters p.
    // "invokeDF": values[i] and the np derivatives into row i of `jacobian` (rows
    // `stride` doubles apart), through a scratch block of nx rows of np + 1 doubles.
    // A script error fills the outputs with NaN (the fit rejects such a step) and goes
    // to the debugger output, once per model; after a call that ran longer than the
    // limit the model is not called again and evaluates to NaN.
    void invoke(LuaModelInfo& model, std::size_t nx, std::size_t np, double* out, const double* x,
                const double* p);
    void invoke_df(LuaModelInfo& model, std::size_t nx, std::size_t np, double* values, double* jacobian,
                   std::size_t stride, const double* x, const double* p);

private:
    // Calls the global `function` with (nx, np, target, x − 1, p − 1, model object)
    // under the lock held by the caller; false (and the message in `error`) when it
    // fails.
    bool call(const char* function, LuaModelInfo& model, std::size_t nx, std::size_t np, void* target,
              const double* x, const double* p, std::string& error);
    void report_failure(LuaModelInfo& model, const std::string& error);

    std::mutex lock_;
    LuaRunLimit limit_;
    lua_State* state_ = nullptr;
    bool separator_added_ = false;
    std::vector<std::unique_ptr<LuaModelInfo>> models_;
    std::vector<double> scratch_;  // the rows of "invokeDF", reused under the lock
};

// The program's runtime, its support scripts found beside the program ("models/lib.lua",
// "models/dualImpl.lua"), and the process-wide catalogue.
LuaModelRuntime& lua_models();
void luamodel_init();
void luamodel_load(const std::wstring& script_path);
void luamodel_close();
// True for the support scripts "lib.lua" and "dualImpl.lua", which share the models
// folder with the model scripts but are no models.
bool is_lua_support_script(const std::wstring& path);
// luamodel_init, then load_folder into the process-wide catalogue.
void luamodel_load_folder(const std::wstring& folder);

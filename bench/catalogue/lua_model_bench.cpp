// A Lorentz singlet written as a Lua script (the shipped example) against the built-in
// one at 1024 velocities: values, and values with the Jacobian. The Lua model should
// stay within ten times the built-in one.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/support/component_timing.h"
#include "core/text/text.h"
#include "lineshapes/singlets.h"
#include "catalogue/lua_models.h"
#include "catalogue/sub_spec_factory.h"
#include "subspec/subspec_impl.h"

namespace {

constexpr double params[] = {1.2, 0.2, 0.35};

std::wstring model_file(const char* name)
{
    return utf8_to_wide(std::string(VX_TEST_DATA_DIR "/../../data/models/") + name);
}

SubSpecPtr lua_lorentz()
{
    static LuaModelRuntime runtime;
    static SubSpecFactory catalogue;
    if (catalogue.size() == 0) {
        runtime.init(model_file("lib.lua"), model_file("dualImpl.lua"));
        runtime.load(model_file("examples/lorentz_singlet.lua"), catalogue);
    }
    return catalogue.create_by_name(L"Lorentz singlet (Lua)", nullptr);
}

void built_in_values(benchmark::State& state)
{
    time_evaluate(state, make_subspec<LorenzLine>(nullptr), params);
}

void built_in_jacobian(benchmark::State& state)
{
    time_evaluate_with_jacobian(state, make_subspec<LorenzLine>(nullptr), params);
}

void lua_values(benchmark::State& state)
{
    time_evaluate(state, lua_lorentz(), params);
}

void lua_jacobian(benchmark::State& state)
{
    time_evaluate_with_jacobian(state, lua_lorentz(), params);
}

BENCHMARK(built_in_values)->Arg(1024);
BENCHMARK(lua_values)->Arg(1024);
BENCHMARK(built_in_jacobian)->Arg(1024);
BENCHMARK(lua_jacobian)->Arg(1024);

}  // namespace

BENCHMARK_MAIN();

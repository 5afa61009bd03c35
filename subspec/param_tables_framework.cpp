// Parameter tables and display orders of the baselines, the measured spectrum and the free variable.
#include "subspec/param_tables.h"

const ParamInfo& AutoBaseLine2Params::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"ΔN₀", L"%.3f", KindLevel, -unbounded, unbounded, true},
        {L"c", L"%.3g", KindCurvature, -unbounded, unbounded, false},
        {L"v₀", L"%.2f", KindCentre, -unbounded, unbounded, false},
    };
    return param_table_entry(table, i);
}

void AutoBaseLine2Params::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}});
    area = {0};
}

const ParamInfo& AutoBaseLineParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"ΔN₀", L"%.0f", KindLevel, -unbounded, unbounded, true},
        {L"c", L"%.3g", KindCurvature, -unbounded, unbounded, false},
        {L"v₀", L"%.2f", KindCentre, -unbounded, unbounded, false},
    };
    return param_table_entry(table, i);
}

void AutoBaseLineParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}});
    area = {0};
}

const ParamInfo& BaseLineParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"N₀", L"%.0f", KindLevel, 0.0, unbounded, true},
        {L"c", L"%.3g", KindCurvature, -unbounded, unbounded, false},
        {L"v₀", L"%.2f", KindCentre, -unbounded, unbounded, false},
    };
    return param_table_entry(table, i);
}

void BaseLineParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}});
    area = {0};
}

const ParamInfo& SpectrumMParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"ΔN", L"%.3f", KindLevel, -unbounded, unbounded, false},
        {L"Δδ", L"%.3f", KindShift, -unbounded, unbounded, false},
        {L"Γv", L"%.3f", KindWidth, 0.01, unbounded, false},
    };
    return param_table_entry(table, i);
}

void SpectrumMParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2, 3}});
    area = {0};
}

const ParamInfo& FreeVarParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"x", L"%.6g", KindNone, -unbounded, unbounded, true},
    };
    return param_table_entry(table, i);
}

void FreeVarParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0}});
    area = {};
}

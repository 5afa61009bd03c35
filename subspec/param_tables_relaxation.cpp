// Parameter tables and display orders of the relaxation models.
#include "subspec/param_tables.h"

const ParamInfo& RelaxDoubletParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δA", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"εA", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"δB", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"εB", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"ln(ΩAB)", L"%.3g", KindLogRate, -unbounded, unbounded, true},
        {L"ΩBA/ΩAB", L"%6.4f", KindRateRatio, 0.0, unbounded, false},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, false},
    };
    return param_table_entry(table, i);
}

void RelaxDoubletParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1}, {2, 3}, {4, 5}, {6, 7}, {8}});
    area = {0};
}

const ParamInfo& RelaxSextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"Hn", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"ln(ΩAB)", L"%.3g", KindLogRate, -unbounded, unbounded, true},
        {L"ΩBA/ΩAB", L"%6.4f", KindRateRatio, 0.0, unbounded, false},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, false},
    };
    return param_table_entry(table, i);
}

void RelaxSextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6, 7}, {8}});
    area = {0};
}

const ParamInfo& TwoStateRelaxSextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δA", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"εA", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"HA", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"δB", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"εB", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"HB", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"ln(ΩAB)", L"%.3g", KindLogRate, -unbounded, unbounded, true},
        {L"ΩBA/ΩAB", L"%6.4f", KindRateRatio, 0.0, unbounded, true},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, false},
    };
    return param_table_entry(table, i);
}

void TwoStateRelaxSextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9, 10}, {11}});
    area = {0};
}

const ParamInfo& SpinRelaxSextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"H", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"ln(Ω)", L"%.3g", KindLogRate, -unbounded, unbounded, true},
        {L"p", L"%6.4f", KindCoefficient, 0.0, 1.0, true},
        {L"Γ", L"%.3f", KindWidth, 0.01, unbounded, false},
        {L"a₁₂", L"%.3f", KindCoefficient, 0.01, unbounded, false},
        {L"a₂₃", L"%.3f", KindCoefficient, 0.01, unbounded, false},
        {L"a₃₄", L"%.3f", KindCoefficient, 0.01, unbounded, false},
    };
    return param_table_entry(table, i);
}

void SpinRelaxSextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6, 7}, {8}, {9, 10, 11}});
    area = {0};
}

const ParamInfo& ManyStateRelaxSextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"H", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"ln(R)", L"%.3g", KindLogRate, -unbounded, unbounded, true},
        {L"p", L"%6.4f", KindCoefficient, 0.0, 1.0, true},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₃/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
    };
    return param_table_entry(table, i);
}

void ManyStateRelaxSextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6, 7}, {8, 9, 10}});
    area = {0};
}

const ParamInfo& ManyStateSPRelaxSextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"H", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"ln(R)", L"%.3g", KindLogRate, -unbounded, unbounded, true},
        {L"α", L"%6.4f", KindCoefficient, 0.0, unbounded, true},
        {L"h", L"%6.4f", KindCoefficient, -unbounded, unbounded, true},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₃/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
    };
    return param_table_entry(table, i);
}

void ManyStateSPRelaxSextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9, 10, 11}});
    area = {0};
}

const ParamInfo& FluctuatingMMFParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"H", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"ln(Ω)", L"%.3g", KindLogRate, -unbounded, unbounded, true},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, false},
    };
    return param_table_entry(table, i);
}

void FluctuatingMMFParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6}, {7}});
    area = {0};
}

const ParamInfo& FluctuatingEFGParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"ln(Ω)", L"%.3g", KindLogRate, -unbounded, unbounded, true},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, false},
    };
    return param_table_entry(table, i);
}

void FluctuatingEFGParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1}, {2, 3}, {4}, {5}});
    area = {0};
}

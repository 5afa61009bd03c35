// Parameter tables and display orders of the spin-modulation, spiral and density-wave models.
#include "subspec/param_tables.h"

const ParamInfo& SDW_CDW_SextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ₀", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"δ/H", L"%.3e", KindShiftPerField, -unbounded, unbounded, false},
        {L"ε₀", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"ε/H", L"%.3e", KindQuadrupolePerField, -unbounded, unbounded, false},
        {L"H₀", L"%.2f", KindField, 0.0, unbounded, false},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, false},
        {L"h₁", L"%.2f", KindHarmonic, -unbounded, unbounded, true},
        {L"h₃", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"h₅", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"h₇", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"h₉", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"h₁₁", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"h₁₃", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"h₁₅", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"φ", L"%.3f", KindAngle, -180.0, 180.0, false},
        {L"δ₂", L"%.3f", KindShiftHarmonic, -unbounded, unbounded, false},
        {L"δ₄", L"%.3f", KindShiftHarmonic, -unbounded, unbounded, false},
        {L"δ₆", L"%.3f", KindShiftHarmonic, -unbounded, unbounded, false},
        {L"δ₈", L"%.3f", KindShiftHarmonic, -unbounded, unbounded, false},
    };
    return param_table_entry(table, i);
}

void SDW_CDW_SextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17}, {18, 19, 20, 21, 22}});
    area = {0};
}

const ParamInfo& AnharmonicSpinModulationParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"εmagn", L"%.3f", KindQuadrupole, -unbounded, unbounded, false},
        {L"εlat", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"εQ", L"%.3f", KindQuadrupole, -unbounded, unbounded, false},
        {L"His", L"%.2f", KindField, 0.0, unbounded, true},
        {L"Han", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"m", L"%.3f", KindModulus, -0.999999, 0.999999, true},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₃/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, false},
    };
    return param_table_entry(table, i);
}

void AnharmonicSpinModulationParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5, 6, 7, 8, 9}, {10, 11, 12}, {13}});
    area = {0};
}

const ParamInfo& AnharmonicSpinModulationAnisotropicParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"Qmagn", L"%.3f", KindQuadrupole, -unbounded, unbounded, false},
        {L"Q", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"QQ", L"%.3f", KindQuadrupole, -unbounded, unbounded, false},
        {L"η", L"%.3f", KindAsymmetry, 0.0, 1.0, false},
        {L"α", L"%.2f", KindAngle, -unbounded, unbounded, false},
        {L"β", L"%.2f", KindAngle, -unbounded, unbounded, false},
        {L"γ", L"%.2f", KindAngle, -unbounded, unbounded, false},
        {L"Hxx", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"Hyy", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"Hzz", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"m", L"%.3f", KindModulus, -0.999999, 0.999999, true},
        {L"ψ", L"%.2f", KindAngle, -unbounded, unbounded, false},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₃/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"αG", L"%.3f", KindGaussFraction, 0.0, 1.0, false},
    };
    return param_table_entry(table, i);
}

void AnharmonicSpinModulationAnisotropicParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5, 6, 7}, {8, 9, 10}, {11, 12, 13}, {14, 15}, {16, 17, 18}, {19}});
    area = {0};
}

const ParamInfo& AnharmonicSpinModulationHamiltonParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"γ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"Q", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"φ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"η", L"%.3f", KindAsymmetry, -1.0, 1.0, false},
        {L"His", L"%.2f", KindField, 0.0, unbounded, true},
        {L"Han", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"m", L"%.3f", KindModulus, -0.999999, 0.999999, true},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, false},
    };
    return param_table_entry(table, i);
}

void AnharmonicSpinModulationHamiltonParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1}, {2, 3, 4, 5, 6, 7, 8}, {9}, {10}});
    area = {0};
}

const ParamInfo& Spiral_Spin_SextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"εlat", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"εQ", L"%.3f", KindQuadrupole, -unbounded, unbounded, false},
        {L"Hb₀", L"%.3f", KindField, -unbounded, unbounded, false},
        {L"Hc₀", L"%.3f", KindField, -unbounded, unbounded, false},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₃/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, false},
        {L"φ", L"%.3f", KindAngle, -180.0, 180.0, false},
        {L"hb/hc", L"%.2f", KindHarmonic, -unbounded, unbounded, true},
        {L"hc₁", L"%.2f", KindHarmonic, -unbounded, unbounded, true},
        {L"hc₃", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₅", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₇", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₉", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₁₁", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₁₃", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₁₅", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
    };
    return param_table_entry(table, i);
}

void Spiral_Spin_SextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5, 6, 7, 8, 9, 10, 11}, {12, 13, 14, 15, 16, 17, 18, 19, 20, 21}});
    area = {0};
}

const ParamInfo& Spiral_Spin_HamiltonParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"γ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"Q", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"Hb₀", L"%.3f", KindField, -unbounded, unbounded, false},
        {L"Hc₀", L"%.3f", KindField, -unbounded, unbounded, false},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, false},
        {L"φ", L"%.3f", KindAngle, -180.0, 180.0, false},
        {L"hb/hc", L"%.2f", KindHarmonic, -unbounded, unbounded, true},
        {L"hc₁", L"%.2f", KindHarmonic, -unbounded, unbounded, true},
        {L"hc₃", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₅", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₇", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₉", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₁₁", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₁₃", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
        {L"hc₁₅", L"%.2f", KindHarmonic, -unbounded, unbounded, false},
    };
    return param_table_entry(table, i);
}

void Spiral_Spin_HamiltonParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1}, {2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13, 14, 15, 16, 17}});
    area = {0};
}

const ParamInfo& NMR_AnharmonicSpinModulationParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"νis", L"%.2f", KindShift, 0.0, unbounded, true},
        {L"νan", L"%.2f", KindShift, -unbounded, unbounded, true},
        {L"m", L"%.3f", KindModulus, -0.999999, 0.999999, true},
        {L"Γ₀", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"ΔΓ", L"%.3f", KindWidth, -unbounded, unbounded, true},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, true},
    };
    return param_table_entry(table, i);
}

void NMR_AnharmonicSpinModulationParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0}, {1, 2, 3}, {4, 5}, {6}});
    area = {0};
}

const ParamInfo& NMR_Spiral_SpinParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"νb₀", L"%.3f", KindField, -unbounded, unbounded, false},
        {L"νc₀", L"%.3f", KindField, -unbounded, unbounded, false},
        {L"Γ₀", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"ΔΓ", L"%.3f", KindWidth, -unbounded, unbounded, true},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, false},
        {L"φ", L"%.3f", KindAngle, -180.0, 180.0, false},
        {L"νb/νc", L"%.3f", KindHarmonic, -unbounded, unbounded, true},
        {L"νc₁", L"%.3f", KindHarmonic, -unbounded, unbounded, true},
        {L"νc₃", L"%.3f", KindHarmonic, -unbounded, unbounded, false},
        {L"νc₅", L"%.3f", KindHarmonic, -unbounded, unbounded, false},
        {L"νc₇", L"%.3f", KindHarmonic, -unbounded, unbounded, false},
        {L"νc₉", L"%.3f", KindHarmonic, -unbounded, unbounded, false},
        {L"νc₁₁", L"%.3f", KindHarmonic, -unbounded, unbounded, false},
        {L"νc₁₃", L"%.3f", KindHarmonic, -unbounded, unbounded, false},
        {L"νc₁₅", L"%.3f", KindHarmonic, -unbounded, unbounded, false},
    };
    return param_table_entry(table, i);
}

void NMR_Spiral_SpinParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0}, {1, 2, 3, 4, 5}, {6, 7, 8, 9, 10, 11, 12, 13, 14, 15}});
    area = {0};
}

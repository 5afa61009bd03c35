// Parameter tables and display orders of the line, doublet, sextet and Hamiltonian models.
#include "subspec/param_tables.h"

const ParamInfo& LorenzLineParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, true},
    };
    return param_table_entry(table, i);
}

void LorenzLineParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0}, {1}, {2}});
    area = {0};
}

const ParamInfo& PseudoVoigtLineParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, true},
    };
    return param_table_entry(table, i);
}

void PseudoVoigtLineParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0}, {1}, {2}, {3}});
    area = {0};
}

const ParamInfo& PseudoVoigtDoubletParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, true},
    };
    return param_table_entry(table, i);
}

void PseudoVoigtDoubletParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1}, {2, 3}, {4, 5}, {6}});
    area = {0};
}

const ParamInfo& SimplePseudoVoigtSextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"Hn", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₃/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, true},
    };
    return param_table_entry(table, i);
}

void SimplePseudoVoigtSextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9}});
    area = {0};
}

const ParamInfo& PseudoVoigtSextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"Hn", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"a₊", L"%.3f", KindOuterPairShift, -unbounded, unbounded, false},
        {L"a₋", L"%.3f", KindInnerPairShift, -unbounded, unbounded, false},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₃/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₄/Γ₃", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₅/Γ₂", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"Γ₆/Γ₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, true},
    };
    return param_table_entry(table, i);
}

void PseudoVoigtSextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6, 7}, {8, 9, 10, 11, 12, 13}, {14}});
    area = {0};
}

const ParamInfo& VoigtLineParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ΓL", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"ΓG", L"%.3f", KindWidth, 0.01, unbounded, true},
    };
    return param_table_entry(table, i);
}

void VoigtLineParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0}, {1}, {2, 3}});
    area = {0};
}

const ParamInfo& VoigtDoubletParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"ΓL", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"ΓG₁", L"%.3f", KindWidth, 0.01, unbounded, true},
        {L"ΓG₂/ΓG₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
    };
    return param_table_entry(table, i);
}

void VoigtDoubletParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1}, {2, 3}, {4, 5, 6}});
    area = {0};
}

const ParamInfo& SimpleVoigtSextetParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"I₂/I₁", L"%.3f", KindIntensityRatio, 0.0, 4.0 / 3.0, false},
        {L"I₃/I₁", L"%.3f", KindIntensityRatio, 0.0, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"ε", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"Hn", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"ΓL", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"ΓG₁", L"%.3f", KindWidth, 0.01, unbounded, true},
        {L"ΓG₂/ΓG₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
        {L"ΓG₃/ΓG₁", L"%.3f", KindWidthRatio, 0.01, unbounded, false},
    };
    return param_table_entry(table, i);
}

void SimpleVoigtSextetParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1, 2}, {3, 4, 5}, {6, 7, 8, 9}});
    area = {0};
}

const ParamInfo& HamiltonParams::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"γ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"Q", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"Hn", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"θ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"φ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"η", L"%.3f", KindAsymmetry, -1.0, 1.0, false},
        {L"Γ", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, true},
    };
    return param_table_entry(table, i);
}

void HamiltonParams::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1}, {2, 3, 4}, {5, 6, 7}, {8}, {9}});
    area = {0};
}

const ParamInfo& Hamilton8Params::param_info(unsigned i)
{
    static const ParamInfo table[] = {
        {L"I", L"%.3f", KindIntensity, 0.0, unbounded, true},
        {L"γ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"δ", L"%.3f", KindShift, -unbounded, unbounded, true},
        {L"Q", L"%.3f", KindQuadrupole, -unbounded, unbounded, true},
        {L"Hn", L"%.2f", KindField, -unbounded, unbounded, true},
        {L"θ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"φ", L"%.3f", KindAngle, -unbounded, unbounded, false},
        {L"η", L"%.3f", KindAsymmetry, -1.0, 1.0, false},
        {L"Γ₁", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₂", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₃", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₄", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₅", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₆", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₇", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"Γ₈", L"%.3f", KindWidth, 0.001, unbounded, true},
        {L"α", L"%.3f", KindGaussFraction, 0.0, 1.0, true},
    };
    return param_table_entry(table, i);
}

void Hamilton8Params::param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area)
{
    order = param_groups({{0, 1}, {2, 3, 4}, {5, 6, 7}, {8, 9, 10, 11, 12, 13, 14, 15}, {16}});
    area = {0};
}

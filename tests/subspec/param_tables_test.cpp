// The descriptor tables of every catalogue model against tables transcribed from the
// model descriptions: names and formats code unit by code unit (model files are read
// back by exact names, subscripts included), kinds, bounds, free flags, display orders
// with their group markers, area parameters, catalogue names and isotope flags.
#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/text/text.h"
#include "subspec/param_tables.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr unsigned M = 2147483647;  // group marker

struct Row {
    const char16_t* name;
    const char16_t* format;
    int kind;
    double lower;
    double upper;
    bool free;
};

struct TableCase {
    // From the descriptor struct under test:
    const char* model;
    const wchar_t* actual_catalogue_name;
    bool actual_needs_isotope;
    unsigned n_params;
    const ParamInfo& (*info)(unsigned);
    void (*layout)(std::vector<unsigned>&, std::vector<unsigned>&);
    // Expected:
    const char16_t* catalogue_name;
    bool needs_isotope;
    std::vector<Row> rows;
    std::vector<unsigned> order;
    std::vector<unsigned> area;
};

void PrintTo(const TableCase& c, std::ostream* os)
{
    *os << c.model;
}

#define VX_MODEL(Model)                                                                      \
    #Model, Model##Params::catalogue_name, Model##Params::needs_isotope, Model##Params::n_params, \
        &Model##Params::param_info, &Model##Params::param_layout

// In catalogue order.
const TableCase cases[] = {
    {VX_MODEL(AutoBaseLine2), u"Baseline [auto,scaled]", false,
            {
                {u"ΔN₀", u"%.3f", 7, -inf, inf, true},
                {u"c", u"%.3g", 14, -inf, inf, false},
                {u"v₀", u"%.2f", 15, -inf, inf, false},
            },
            {0, 1, 2}, {0}},
    {VX_MODEL(AutoBaseLine), u"@Baseline [auto]", false,
            {
                {u"ΔN₀", u"%.0f", 7, -inf, inf, true},
                {u"c", u"%.3g", 14, -inf, inf, false},
                {u"v₀", u"%.2f", 15, -inf, inf, false},
            },
            {0, 1, 2}, {0}},
    {VX_MODEL(BaseLine), u"Baseline", false,
            {
                {u"N₀", u"%.0f", 7, 0.0, inf, true},
                {u"c", u"%.3g", 14, -inf, inf, false},
                {u"v₀", u"%.2f", 15, -inf, inf, false},
            },
            {0, 1, 2}, {0}},
    {VX_MODEL(LorenzLine), u"Lorentz singlet", false,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"Γ", u"%.3f", 9, 0.001, inf, true},
            },
            {0, M, 1, M, 2}, {0}},
    {VX_MODEL(PseudoVoigtLine), u"PseudoVoigt singlet", false,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"Γ", u"%.3f", 9, 0.001, inf, true},
                {u"α", u"%.3f", 8, 0.0, 1.0, true},
            },
            {0, M, 1, M, 2, M, 3}, {0}},
    {VX_MODEL(PseudoVoigtDoublet), u"PseudoVoigt doublet", false,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"α", u"%.3f", 8, 0.0, 1.0, true},
            },
            {0, 1, M, 2, 3, M, 4, 5, M, 6}, {0}},
    {VX_MODEL(SimplePseudoVoigtSextet), u"PseudoVoigt sextet [simple]", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"Hn", u"%.2f", 11, -inf, inf, true},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₃/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"α", u"%.3f", 8, 0.0, 1.0, true},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, 7, 8, M, 9}, {0}},
    {VX_MODEL(PseudoVoigtSextet), u"PseudoVoigt sextet", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"Hn", u"%.2f", 11, -inf, inf, true},
                {u"a₊", u"%.3f", 3, -inf, inf, false},
                {u"a₋", u"%.3f", 4, -inf, inf, false},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₃/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₄/Γ₃", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₅/Γ₂", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₆/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"α", u"%.3f", 8, 0.0, 1.0, true},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, 7, M, 8, 9, 10, 11, 12, 13, M, 14}, {0}},
    {VX_MODEL(VoigtLine), u"Voigt singlet", false,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ΓL", u"%.3f", 9, 0.001, inf, true},
                {u"ΓG", u"%.3f", 9, 0.01, inf, true},
            },
            {0, M, 1, M, 2, 3}, {0}},
    {VX_MODEL(VoigtDoublet), u"Voigt doublet", false,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"ΓL", u"%.3f", 9, 0.001, inf, true},
                {u"ΓG₁", u"%.3f", 9, 0.01, inf, true},
                {u"ΓG₂/ΓG₁", u"%.3f", 10, 0.01, inf, false},
            },
            {0, 1, M, 2, 3, M, 4, 5, 6}, {0}},
    {VX_MODEL(SimpleVoigtSextet), u"Voigt sextet [simple]", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"Hn", u"%.2f", 11, -inf, inf, true},
                {u"ΓL", u"%.3f", 9, 0.001, inf, true},
                {u"ΓG₁", u"%.3f", 9, 0.01, inf, true},
                {u"ΓG₂/ΓG₁", u"%.3f", 10, 0.01, inf, false},
                {u"ΓG₃/ΓG₁", u"%.3f", 10, 0.01, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, 7, 8, 9}, {0}},
    {VX_MODEL(Hamilton), u"Hamilton", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"γ", u"%.3f", 20, -inf, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"Q", u"%.3f", 2, -inf, inf, true},
                {u"Hn", u"%.2f", 11, -inf, inf, true},
                {u"θ", u"%.3f", 20, -inf, inf, false},
                {u"φ", u"%.3f", 20, -inf, inf, false},
                {u"η", u"%.3f", 21, -1.0, 1.0, false},
                {u"Γ", u"%.3f", 9, 0.001, inf, true},
                {u"α", u"%.3f", 8, 0.0, 1.0, true},
            },
            {0, 1, M, 2, 3, 4, M, 5, 6, 7, M, 8, M, 9}, {0}},
    {VX_MODEL(Hamilton8), u"Hamilton/separate width", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"γ", u"%.3f", 20, -inf, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"Q", u"%.3f", 2, -inf, inf, true},
                {u"Hn", u"%.2f", 11, -inf, inf, true},
                {u"θ", u"%.3f", 20, -inf, inf, false},
                {u"φ", u"%.3f", 20, -inf, inf, false},
                {u"η", u"%.3f", 21, -1.0, 1.0, false},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₃", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₄", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₅", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₆", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₇", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₈", u"%.3f", 9, 0.001, inf, true},
                {u"α", u"%.3f", 8, 0.0, 1.0, true},
            },
            {0, 1, M, 2, 3, 4, M, 5, 6, 7, M, 8, 9, 10, 11, 12, 13, 14, 15, M, 16}, {0}},
    {VX_MODEL(SDW_CDW_Sextet), u"Spin/Charge density wave", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ₀", u"%.3f", 1, -inf, inf, true},
                {u"δ/H", u"%.3e", 23, -inf, inf, false},
                {u"ε₀", u"%.3f", 2, -inf, inf, true},
                {u"ε/H", u"%.3e", 22, -inf, inf, false},
                {u"H₀", u"%.2f", 11, 0.0, inf, false},
                {u"Γ", u"%.3f", 9, 0.001, inf, true},
                {u"α", u"%.3f", 8, 0.0, 1.0, false},
                {u"h₁", u"%.2f", 25, -inf, inf, true},
                {u"h₃", u"%.2f", 25, -inf, inf, false},
                {u"h₅", u"%.2f", 25, -inf, inf, false},
                {u"h₇", u"%.2f", 25, -inf, inf, false},
                {u"h₉", u"%.2f", 25, -inf, inf, false},
                {u"h₁₁", u"%.2f", 25, -inf, inf, false},
                {u"h₁₃", u"%.2f", 25, -inf, inf, false},
                {u"h₁₅", u"%.2f", 25, -inf, inf, false},
                {u"φ", u"%.3f", 20, -180.0, 180.0, false},
                {u"δ₂", u"%.3f", 26, -inf, inf, false},
                {u"δ₄", u"%.3f", 26, -inf, inf, false},
                {u"δ₆", u"%.3f", 26, -inf, inf, false},
                {u"δ₈", u"%.3f", 26, -inf, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, 6, 7, 8, 9, M, 10, 11, 12, 13, 14, 15, 16, 17, M, 18, 19, 20, 21, 22}, {0}},
    {VX_MODEL(AnharmonicSpinModulation), u"Anharmonic spin modulation", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"εmagn", u"%.3f", 2, -inf, inf, false},
                {u"εlat", u"%.3f", 2, -inf, inf, true},
                {u"εQ", u"%.3f", 2, -inf, inf, false},
                {u"His", u"%.2f", 11, 0.0, inf, true},
                {u"Han", u"%.2f", 11, -inf, inf, true},
                {u"m", u"%.3f", 24, -0.999999, 0.999999, true},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₃/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"α", u"%.3f", 8, 0.0, 1.0, false},
            },
            {0, 1, 2, M, 3, 4, 5, 6, 7, 8, 9, M, 10, 11, 12, M, 13}, {0}},
    {VX_MODEL(AnharmonicSpinModulationAnisotropic), u"Anharmonic spin modulation [anisotropic]", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"Qmagn", u"%.3f", 2, -inf, inf, false},
                {u"Q", u"%.3f", 2, -inf, inf, true},
                {u"QQ", u"%.3f", 2, -inf, inf, false},
                {u"η", u"%.3f", 21, 0.0, 1.0, false},
                {u"α", u"%.2f", 20, -inf, inf, false},
                {u"β", u"%.2f", 20, -inf, inf, false},
                {u"γ", u"%.2f", 20, -inf, inf, false},
                {u"Hxx", u"%.2f", 11, -inf, inf, true},
                {u"Hyy", u"%.2f", 11, -inf, inf, true},
                {u"Hzz", u"%.2f", 11, -inf, inf, true},
                {u"m", u"%.3f", 24, -0.999999, 0.999999, true},
                {u"ψ", u"%.2f", 20, -inf, inf, false},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₃/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"αG", u"%.3f", 8, 0.0, 1.0, false},
            },
            {0, 1, 2, M, 3, 4, 5, 6, 7, M, 8, 9, 10, M, 11, 12, 13, M, 14, 15, M, 16, 17, 18, M, 19}, {0}},
    {VX_MODEL(AnharmonicSpinModulationHamilton), u"Anharmonic spin modulation [Hamilton]", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"γ", u"%.3f", 20, -inf, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"Q", u"%.3f", 2, -inf, inf, true},
                {u"φ", u"%.3f", 20, -inf, inf, false},
                {u"η", u"%.3f", 21, -1.0, 1.0, false},
                {u"His", u"%.2f", 11, 0.0, inf, true},
                {u"Han", u"%.2f", 11, -inf, inf, true},
                {u"m", u"%.3f", 24, -0.999999, 0.999999, true},
                {u"Γ", u"%.3f", 9, 0.001, inf, true},
                {u"α", u"%.3f", 8, 0.0, 1.0, false},
            },
            {0, 1, M, 2, 3, 4, 5, 6, 7, 8, M, 9, M, 10}, {0}},
    {VX_MODEL(Spiral_Spin_Sextet), u"Spiral-like spin structure", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"εlat", u"%.3f", 2, -inf, inf, true},
                {u"εQ", u"%.3f", 2, -inf, inf, false},
                {u"Hb₀", u"%.3f", 11, -inf, inf, false},
                {u"Hc₀", u"%.3f", 11, -inf, inf, false},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₃/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"α", u"%.3f", 8, 0.0, 1.0, false},
                {u"φ", u"%.3f", 20, -180.0, 180.0, false},
                {u"hb/hc", u"%.2f", 25, -inf, inf, true},
                {u"hc₁", u"%.2f", 25, -inf, inf, true},
                {u"hc₃", u"%.2f", 25, -inf, inf, false},
                {u"hc₅", u"%.2f", 25, -inf, inf, false},
                {u"hc₇", u"%.2f", 25, -inf, inf, false},
                {u"hc₉", u"%.2f", 25, -inf, inf, false},
                {u"hc₁₁", u"%.2f", 25, -inf, inf, false},
                {u"hc₁₃", u"%.2f", 25, -inf, inf, false},
                {u"hc₁₅", u"%.2f", 25, -inf, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, 6, 7, 8, 9, 10, 11, M, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}, {0}},
    {VX_MODEL(Spiral_Spin_Hamilton), u"Spiral-like spin structure [Hamilton]", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"γ", u"%.3f", 20, -inf, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"Q", u"%.3f", 2, -inf, inf, true},
                {u"Hb₀", u"%.3f", 11, -inf, inf, false},
                {u"Hc₀", u"%.3f", 11, -inf, inf, false},
                {u"Γ", u"%.3f", 9, 0.001, inf, true},
                {u"α", u"%.3f", 8, 0.0, 1.0, false},
                {u"φ", u"%.3f", 20, -180.0, 180.0, false},
                {u"hb/hc", u"%.2f", 25, -inf, inf, true},
                {u"hc₁", u"%.2f", 25, -inf, inf, true},
                {u"hc₃", u"%.2f", 25, -inf, inf, false},
                {u"hc₅", u"%.2f", 25, -inf, inf, false},
                {u"hc₇", u"%.2f", 25, -inf, inf, false},
                {u"hc₉", u"%.2f", 25, -inf, inf, false},
                {u"hc₁₁", u"%.2f", 25, -inf, inf, false},
                {u"hc₁₃", u"%.2f", 25, -inf, inf, false},
                {u"hc₁₅", u"%.2f", 25, -inf, inf, false},
            },
            {0, 1, M, 2, 3, 4, 5, 6, 7, M, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}, {0}},
    {VX_MODEL(NMR_AnharmonicSpinModulation), u"NMR Anharmonic spin modulation", false,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"νis", u"%.2f", 1, 0.0, inf, true},
                {u"νan", u"%.2f", 1, -inf, inf, true},
                {u"m", u"%.3f", 24, -0.999999, 0.999999, true},
                {u"Γ₀", u"%.3f", 9, 0.001, inf, true},
                {u"ΔΓ", u"%.3f", 9, -inf, inf, true},
                {u"α", u"%.3f", 8, 0.0, 1.0, true},
            },
            {0, M, 1, 2, 3, M, 4, 5, M, 6}, {0}},
    {VX_MODEL(NMR_Spiral_Spin), u"NMR Spiral-like spin structure", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"νb₀", u"%.3f", 11, -inf, inf, false},
                {u"νc₀", u"%.3f", 11, -inf, inf, false},
                {u"Γ₀", u"%.3f", 9, 0.001, inf, true},
                {u"ΔΓ", u"%.3f", 9, -inf, inf, true},
                {u"α", u"%.3f", 8, 0.0, 1.0, false},
                {u"φ", u"%.3f", 20, -180.0, 180.0, false},
                {u"νb/νc", u"%.3f", 25, -inf, inf, true},
                {u"νc₁", u"%.3f", 25, -inf, inf, true},
                {u"νc₃", u"%.3f", 25, -inf, inf, false},
                {u"νc₅", u"%.3f", 25, -inf, inf, false},
                {u"νc₇", u"%.3f", 25, -inf, inf, false},
                {u"νc₉", u"%.3f", 25, -inf, inf, false},
                {u"νc₁₁", u"%.3f", 25, -inf, inf, false},
                {u"νc₁₃", u"%.3f", 25, -inf, inf, false},
                {u"νc₁₅", u"%.3f", 25, -inf, inf, false},
            },
            {0, M, 1, 2, 3, 4, 5, M, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {0}},
    {VX_MODEL(RelaxDoublet), u"Two state paramagnetic relaxation", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δA", u"%.3f", 1, -inf, inf, true},
                {u"εA", u"%.3f", 2, -inf, inf, true},
                {u"δB", u"%.3f", 1, -inf, inf, true},
                {u"εB", u"%.3f", 2, -inf, inf, true},
                {u"ln(ΩAB)", u"%.3g", 12, -inf, inf, true},
                {u"ΩBA/ΩAB", u"%6.4f", 13, 0.0, inf, false},
                {u"Γ", u"%.3f", 9, 0.001, inf, false},
            },
            {0, 1, M, 2, 3, M, 4, 5, M, 6, 7, M, 8}, {0}},
    {VX_MODEL(RelaxSextet), u"Two state magnetic relaxation", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"Hn", u"%.2f", 11, -inf, inf, true},
                {u"ln(ΩAB)", u"%.3g", 12, -inf, inf, true},
                {u"ΩBA/ΩAB", u"%6.4f", 13, 0.0, inf, false},
                {u"Γ", u"%.3f", 9, 0.001, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, 7, M, 8}, {0}},
    {VX_MODEL(TwoStateRelaxSextet), u"Two state relaxation", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δA", u"%.3f", 1, -inf, inf, true},
                {u"εA", u"%.3f", 2, -inf, inf, true},
                {u"HA", u"%.2f", 11, -inf, inf, true},
                {u"δB", u"%.3f", 1, -inf, inf, true},
                {u"εB", u"%.3f", 2, -inf, inf, true},
                {u"HB", u"%.2f", 11, -inf, inf, true},
                {u"ln(ΩAB)", u"%.3g", 12, -inf, inf, true},
                {u"ΩBA/ΩAB", u"%6.4f", 13, 0.0, inf, true},
                {u"Γ", u"%.3f", 9, 0.001, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, 7, 8, M, 9, 10, M, 11}, {0}},
    {VX_MODEL(SpinRelaxSextet), u"Single-ion spin relaxation [S=5/2]", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"H", u"%.2f", 11, -inf, inf, true},
                {u"ln(Ω)", u"%.3g", 12, -inf, inf, true},
                {u"p", u"%6.4f", 17, 0.0, 1.0, true},
                {u"Γ", u"%.3f", 9, 0.01, inf, false},
                {u"a₁₂", u"%.3f", 17, 0.01, inf, false},
                {u"a₂₃", u"%.3f", 17, 0.01, inf, false},
                {u"a₃₄", u"%.3f", 17, 0.01, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, 7, M, 8, M, 9, 10, 11}, {0}},
    {VX_MODEL(ManyStateRelaxSextet), u"Many-state spin relaxation", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"H", u"%.2f", 11, -inf, inf, true},
                {u"ln(R)", u"%.3g", 12, -inf, inf, true},
                {u"p", u"%6.4f", 17, 0.0, 1.0, true},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₃/Γ₁", u"%.3f", 10, 0.01, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, 7, M, 8, 9, 10}, {0}},
    {VX_MODEL(ManyStateSPRelaxSextet), u"Many-state superparamagnetic relaxation", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"H", u"%.2f", 11, -inf, inf, true},
                {u"ln(R)", u"%.3g", 12, -inf, inf, true},
                {u"α", u"%6.4f", 17, 0.0, inf, true},
                {u"h", u"%6.4f", 17, -inf, inf, true},
                {u"Γ₁", u"%.3f", 9, 0.001, inf, true},
                {u"Γ₂/Γ₁", u"%.3f", 10, 0.01, inf, false},
                {u"Γ₃/Γ₁", u"%.3f", 10, 0.01, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, 7, 8, M, 9, 10, 11}, {0}},
    {VX_MODEL(FluctuatingMMF), u"Isotropic magnetic hyperfine field relaxation", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, 1.3333333333333333, false},
                {u"I₃/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"H", u"%.2f", 11, -inf, inf, true},
                {u"ln(Ω)", u"%.3g", 12, -inf, inf, true},
                {u"Γ", u"%.3f", 9, 0.001, inf, false},
            },
            {0, 1, 2, M, 3, 4, 5, M, 6, M, 7}, {0}},
    {VX_MODEL(FluctuatingEFG), u"Isotropic electric field gradient relaxation", true,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"I₂/I₁", u"%.3f", 6, 0.0, inf, false},
                {u"δ", u"%.3f", 1, -inf, inf, true},
                {u"ε", u"%.3f", 2, -inf, inf, true},
                {u"ln(Ω)", u"%.3g", 12, -inf, inf, true},
                {u"Γ", u"%.3f", 9, 0.001, inf, false},
            },
            {0, 1, M, 2, 3, M, 4, M, 5}, {0}},
    {VX_MODEL(SpectrumM), u"Spectrum", false,
            {
                {u"I", u"%.3f", 5, 0.0, inf, true},
                {u"ΔN", u"%.3f", 7, -inf, inf, false},
                {u"Δδ", u"%.3f", 1, -inf, inf, false},
                {u"Γv", u"%.3f", 9, 0.01, inf, false},
            },
            {0, 1, 2, 3}, {0}},
    {VX_MODEL(FreeVar), u"@FreeVar", false,
            {
                {u"x", u"%.6g", 0, -inf, inf, true},
            },
            {0}, {}},
};

#undef VX_MODEL

class ParamTableTest : public testing::TestWithParam<TableCase> {};

TEST_P(ParamTableTest, DescriptorsMatchTheTable)
{
    const TableCase& c = GetParam();
    ASSERT_EQ(c.n_params, c.rows.size());
    for (unsigned i = 0; i < c.n_params; ++i) {
        SCOPED_TRACE(i);
        const ParamInfo& info = c.info(i);
        const Row& row = c.rows[i];
        EXPECT_EQ(wide_to_utf16(info.name), std::u16string(row.name));
        EXPECT_EQ(wide_to_utf16(info.format), std::u16string(row.format));
        EXPECT_EQ(info.kind, row.kind);
        EXPECT_EQ(info.lower, row.lower);
        EXPECT_EQ(info.upper, row.upper);
        EXPECT_EQ(info.free, row.free);
        EXPECT_EQ(&info, &c.info(i)) << "the table is built once and returned by reference";
    }
}

TEST_P(ParamTableTest, IndexAtTheCountThrows)
{
    const TableCase& c = GetParam();
    try {
        c.info(c.n_params);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "parameter index out of range");
    }
    EXPECT_THROW(c.info(4000000000u), std::runtime_error);
}

TEST_P(ParamTableTest, DisplayOrderAndAreaParameters)
{
    const TableCase& c = GetParam();
    std::vector<unsigned> order{99, 98};
    std::vector<unsigned> area{99};
    c.layout(order, area);
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(area, c.area);
}

TEST_P(ParamTableTest, CatalogueNameAndIsotopeFlag)
{
    const TableCase& c = GetParam();
    EXPECT_EQ(wide_to_utf16(c.actual_catalogue_name), std::u16string(c.catalogue_name));
    EXPECT_EQ(c.actual_needs_isotope, c.needs_isotope);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, ParamTableTest, testing::ValuesIn(cases),
                         [](const testing::TestParamInfo<TableCase>& info) { return std::string(info.param.model); });

}  // namespace

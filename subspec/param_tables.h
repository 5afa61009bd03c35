// The descriptor tables of every built-in model type: parameter count, catalogue name
// (a leading '@' hides the entry from the add menus), whether the type is created for
// an isotope and named after it, the parameter descriptors in parameter order, and
// the display order with the area parameters.
//
// They are data, kept apart from the formulas: a model struct T derives from its
// T##Params struct and so supplies T::n_params, T::param_info and T::param_layout to
// SubSpecImpl<T>. The order of a table fixes the parameters' indices everywhere.
#pragma once

#include <vector>

#include "subspec/param_info.h"

#define VX_PARAM_TABLE(Model, count, name, isotope)                                          \
    struct Model##Params {                                                                   \
        static constexpr unsigned n_params = count;                                          \
        static constexpr const wchar_t* catalogue_name = name;                               \
        static constexpr bool needs_isotope = isotope;                                       \
        /* Built once, thread-safely; throws "parameter index out of range" for i >= count. */ \
        static const ParamInfo& param_info(unsigned i);                                      \
        static void param_layout(std::vector<unsigned>& order, std::vector<unsigned>& area); \
    }

VX_PARAM_TABLE(AutoBaseLine2, 3, L"Baseline [auto,scaled]", false);
VX_PARAM_TABLE(AutoBaseLine, 3, L"@Baseline [auto]", false);
VX_PARAM_TABLE(BaseLine, 3, L"Baseline", false);
VX_PARAM_TABLE(LorenzLine, 3, L"Lorentz singlet", false);
VX_PARAM_TABLE(PseudoVoigtLine, 4, L"PseudoVoigt singlet", false);
VX_PARAM_TABLE(PseudoVoigtDoublet, 7, L"PseudoVoigt doublet", false);
VX_PARAM_TABLE(SimplePseudoVoigtSextet, 10, L"PseudoVoigt sextet [simple]", true);
VX_PARAM_TABLE(PseudoVoigtSextet, 15, L"PseudoVoigt sextet", true);
VX_PARAM_TABLE(VoigtLine, 4, L"Voigt singlet", false);
VX_PARAM_TABLE(VoigtDoublet, 7, L"Voigt doublet", false);
VX_PARAM_TABLE(SimpleVoigtSextet, 10, L"Voigt sextet [simple]", true);
VX_PARAM_TABLE(Hamilton, 10, L"Hamilton", true);
VX_PARAM_TABLE(Hamilton8, 17, L"Hamilton/separate width", true);
VX_PARAM_TABLE(SDW_CDW_Sextet, 23, L"Spin/Charge density wave", true);
VX_PARAM_TABLE(AnharmonicSpinModulation, 14, L"Anharmonic spin modulation", true);
VX_PARAM_TABLE(AnharmonicSpinModulationAnisotropic, 20, L"Anharmonic spin modulation [anisotropic]", true);
VX_PARAM_TABLE(AnharmonicSpinModulationHamilton, 11, L"Anharmonic spin modulation [Hamilton]", true);
VX_PARAM_TABLE(Spiral_Spin_Sextet, 22, L"Spiral-like spin structure", true);
VX_PARAM_TABLE(Spiral_Spin_Hamilton, 18, L"Spiral-like spin structure [Hamilton]", true);
VX_PARAM_TABLE(NMR_AnharmonicSpinModulation, 7, L"NMR Anharmonic spin modulation", false);
VX_PARAM_TABLE(NMR_Spiral_Spin, 16, L"NMR Spiral-like spin structure", true);
VX_PARAM_TABLE(RelaxDoublet, 9, L"Two state paramagnetic relaxation", true);
VX_PARAM_TABLE(RelaxSextet, 9, L"Two state magnetic relaxation", true);
VX_PARAM_TABLE(TwoStateRelaxSextet, 12, L"Two state relaxation", true);
VX_PARAM_TABLE(SpinRelaxSextet, 12, L"Single-ion spin relaxation [S=5/2]", true);
VX_PARAM_TABLE(ManyStateRelaxSextet, 11, L"Many-state spin relaxation", true);
VX_PARAM_TABLE(ManyStateSPRelaxSextet, 12, L"Many-state superparamagnetic relaxation", true);
VX_PARAM_TABLE(FluctuatingMMF, 8, L"Isotropic magnetic hyperfine field relaxation", true);
VX_PARAM_TABLE(FluctuatingEFG, 6, L"Isotropic electric field gradient relaxation", true);
VX_PARAM_TABLE(SpectrumM, 4, L"Spectrum", false);
VX_PARAM_TABLE(FreeVar, 1, L"@FreeVar", false);

#undef VX_PARAM_TABLE

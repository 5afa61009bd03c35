// The built-in entries. Their order fixes the catalogue indices: the add commands
// (command id 21001 + index), the menus and the default-baseline choice rely on them.
#include "catalogue/builtin_models.h"

#include "lineshapes/doublets.h"
#include "lineshapes/hamilton.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/simple_sextets.h"
#include "lineshapes/singlets.h"
#include "relaxation/anharmonic_hamilton.h"
#include "relaxation/anharmonic_sextets.h"
#include "relaxation/density_wave.h"
#include "relaxation/fluctuating_fields.h"
#include "relaxation/many_state_relaxation.h"
#include "relaxation/nmr_anharmonic.h"
#include "relaxation/nmr_spiral.h"
#include "relaxation/spiral_models.h"
#include "relaxation/spin_relax_sextet.h"
#include "relaxation/two_state_models.h"
#include "subspec/baseline.h"
#include "catalogue/sub_spec_factory.h"
#include "subspec/free_var.h"
#include "subspec/param_tables.h"
#include "subspec/spectrum_m.h"
#include "subspec/subspec_impl.h"

namespace {

template <class T>
SubSpecPtr make_builtin(void*, const Isotope* isotope)
{
    return make_subspec<T>(isotope);
}

template <class T>
void add(SubSpecFactory& catalogue)
{
    catalogue.register_model(&make_builtin<T>, nullptr, T::catalogue_name, T::needs_isotope);
}

}  // namespace

void register_builtin_models(SubSpecFactory& catalogue)
{
    add<AutoBaseLine2>(catalogue);
    add<AutoBaseLine>(catalogue);
    add<BaseLine>(catalogue);
    catalogue.add_separator();
    add<LorenzLine>(catalogue);
    add<PseudoVoigtLine>(catalogue);
    add<PseudoVoigtDoublet>(catalogue);
    add<SimplePseudoVoigtSextet>(catalogue);
    add<PseudoVoigtSextet>(catalogue);
    catalogue.add_separator();
    add<VoigtLine>(catalogue);
    add<VoigtDoublet>(catalogue);
    add<SimpleVoigtSextet>(catalogue);
    catalogue.add_separator();
    add<Hamilton>(catalogue);
    add<Hamilton8>(catalogue);
    catalogue.add_separator();
    add<SDW_CDW_Sextet>(catalogue);
    add<AnharmonicSpinModulation>(catalogue);
    add<AnharmonicSpinModulationAnisotropic>(catalogue);
    add<AnharmonicSpinModulationHamilton>(catalogue);
    add<Spiral_Spin_Sextet>(catalogue);
    add<Spiral_Spin_Hamilton>(catalogue);
    add<NMR_AnharmonicSpinModulation>(catalogue);
    add<NMR_Spiral_Spin>(catalogue);
    catalogue.add_separator();
    add<RelaxDoublet>(catalogue);
    add<RelaxSextet>(catalogue);
    add<TwoStateRelaxSextet>(catalogue);
    add<SpinRelaxSextet>(catalogue);
    add<ManyStateRelaxSextet>(catalogue);
    add<ManyStateSPRelaxSextet>(catalogue);
    add<FluctuatingMMF>(catalogue);
    add<FluctuatingEFG>(catalogue);
    catalogue.add_separator();
    add<SpectrumM>(catalogue);
    add<FreeVar>(catalogue);
}

// A realistic mix of components for model and fit benchmarks: in turn a pseudo-Voigt
// sextet, a pseudo-Voigt doublet, a simple pseudo-Voigt sextet and a Hamiltonian, of
// ⁵⁷Fe from the program's table (kind 1), or Lorentz singlets (kind 0, nearly free: the
// cost of the model machinery itself).
#pragma once

#include <vector>

#include "core/model/spectrum_model.h"
#include "lineshapes/doublets.h"
#include "lineshapes/hamilton.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/simple_sextets.h"
#include "subspec/subspec_impl.h"
#include "tests/support/model_test_parts.h"
#include "tests/support/program_isotopes.h"

namespace bench_support {

using test_support::iron;

// Appends component k ≥ 1 of `components` and returns its parameters: the lines of
// component k stand at the shift −1 + 2k/components (Lorentz: −8 + 16k/components).
inline std::vector<double> append_component(SpectrumModel& model, int kind, int k, int components)
{
    const double shift = -1.0 + 2.0 * k / components;
    std::vector<double> p;
    switch (kind == 0 ? -1 : (k - 1) % 4) {
    case -1:
        model.insert_component(k, model_test::lorentz());
        p = {1.0, -8.0 + 16.0 * k / components, 0.3};
        break;
    case 0:  // I, I₂/I₁, I₃/I₁, δ, ε, Hn, a₊, a₋, Γ₁, Γ ratios, α
        model.insert_component(k, make_subspec<PseudoVoigtSextet>(&iron()));
        p = {1.0, 2.0 / 3.0, 1.0 / 3.0, shift, 0.01, 300.0 + 5.0 * k, 0, 0, 0.27, 1, 1, 1, 1, 1, 0.3};
        break;
    case 1:  // I, I₂/I₁, δ, ε, Γ₁, Γ₂/Γ₁, α
        model.insert_component(k, make_subspec<PseudoVoigtDoublet>(&iron()));
        p = {0.4, 1.0, shift, 0.42, 0.3, 1.0, 0.2};
        break;
    case 2:  // I, I₂/I₁, I₃/I₁, δ, ε, Hn, Γ₁, Γ₂/Γ₁, Γ₃/Γ₁, α
        model.insert_component(k, make_subspec<SimplePseudoVoigtSextet>(&iron()));
        p = {1.0, 0.7, 0.4, shift, 0.05, 250.0 + 5.0 * k, 0.3, 1.2, 0.8, 0.35};
        break;
    default:  // I, γ, δ, Q, Hn, θ, φ, η, Γ, α
        model.insert_component(k, make_subspec<Hamilton>(&iron()));
        p = {1.1, 30.0, shift, 0.9, 210.0, 35.0, 20.0, 0.4, 0.27, 0.3};
        break;
    }
    return p;
}

// The position of the isomer shift δ among the parameters of component k of the mix.
inline unsigned shift_index(int kind, int k)
{
    if (kind == 0)
        return 1;
    switch ((k - 1) % 4) {
    case 0:
    case 2:
        return 3;
    default:
        return 2;
    }
}

}  // namespace bench_support

// A component with the parameter table of a catalogue type (its names, bounds and
// flags) and a formula that adds nothing: for tests of what only reads parameter
// descriptors, such as the component line, before the type's own formula exists.
#pragma once

#include <cstddef>
#include <span>

struct Isotope;
struct SpectrumAnalysis;

namespace test_support {

template <class Params>
struct NamedParamsModel : Params {
    template <class R, class... P>
    void calc(std::span<const double> x, R* out, const P&...) const
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = 0.0;
    }
    // Parameter i starts at (i + 1)/4.
    void init_params(const Isotope*, const SpectrumAnalysis&, std::span<double> p) const
    {
        for (std::size_t i = 0; i < p.size(); ++i)
            p[i] = 0.25 * double(i + 1);
    }
};

}  // namespace test_support

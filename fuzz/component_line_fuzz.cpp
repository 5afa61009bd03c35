// Fuzz target for the component line. The first byte picks a component type (plain
// parameters, subscripted names, logarithmic parameters with and without a legacy
// entry, model data, a distribution whose points come with its model data) and the
// rest is the parameter part of a line. Beyond crashes it
// checks that a line that does not read leaves the vectors as they were, and that a
// line that reads is written so that it reads back to the same values, flags, bounds
// and links.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "core/model/component_line.h"
#include "core/model/spectrum_model.h"
#include "core/text/text.h"
#include "subspec/baseline.h"
#include "subspec/distribution.h"
#include "subspec/free_var.h"
#include "subspec/param_tables.h"
#include "subspec/subspec_impl.h"
#include "tests/support/named_params_model.h"

namespace {

// A component with the parameters of a relaxation doublet ("ln(ΩAB)" among them).
using Relaxation = test_support::NamedParamsModel<RelaxDoubletParams>;

// A distribution of a line over its position: its points come with its model data.
SubSpecPtr line_distribution(const Isotope*)
{
    return SubSpecPtr(new Distribution(make_subspec<test_support::NamedParamsModel<LorenzLineParams>>(nullptr)));
}

struct Kind {
    SubSpecPtr (*make)(const Isotope*);
    const wchar_t* legacy;  // the old name the line was written under, or null
};

const Kind kinds[] = {
    {make_subspec<BaseLine>, nullptr},
    {make_subspec<AutoBaseLine2>, nullptr},
    {make_subspec<FreeVar>, nullptr},
    {make_subspec<Relaxation>, nullptr},
    {make_subspec<Relaxation>, L"Two level charge relaxation doublet"},
    {line_distribution, nullptr},
};

void check(bool ok, const char* what)
{
    if (ok)
        return;
    std::fprintf(stderr, "component line broken: %s\n", what);
    std::abort();
}

bool same(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) || (std::isnan(a) && std::isnan(b));
}

struct Vectors {
    DVector values, lower, upper;
    std::vector<int> flags;
    std::vector<LinkSpec> links;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const Kind& kind = kinds[data[0] % std::size(kinds)];
    const std::wstring text = decode_text(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    const LegacyModelName* legacy = kind.legacy ? find_legacy_model(kind.legacy) : nullptr;

    Vectors read;
    read.values = DVector(1, 4.0);
    read.lower = read.upper = read.values;
    read.flags = {1};
    read.links = {LinkSpec{}};
    SubSpecPtr subspec = kind.make(nullptr);
    try {
        SpectrumModel::parse_component_line(text, subspec, read.values, read.flags, read.lower, read.upper,
                                            &read.links, legacy);
    } catch (const std::runtime_error&) {
        check(read.values.size() == 1 && read.flags.size() == 1 && read.lower.size() == 1 && read.links.size() == 1,
              "a failed reading changed the vectors");
        return 0;
    }

    // Write the component as read, its link requests as links, and read it back.
    SpectrumModel model;
    model.insert_component(0, subspec);
    SubModel& component = *model.components[0];
    component.first = 1;
    for (std::size_t k = 1; k < read.links.size(); ++k) {
        const LinkSpec& request = read.links[k];
        if (request.target_component == 0)
            continue;  // not writable as a target; the model file reader refuses it
        component.links.at(request.dependent_param) =
            ParamLink{request.target_component - 1, request.target_param, request.kind, request.factor};
    }
    const std::wstring line = format_component_line(component, read.values, read.flags, read.lower, read.upper);
    const std::size_t colon = line.find(L':');
    check(colon != std::wstring::npos, "no name");

    Vectors back;
    SpectrumModel::parse_component_line(line.substr(colon + 1), kind.make(nullptr), back.values, back.flags,
                                        back.lower, back.upper, &back.links, nullptr);
    check(back.values.size() + 1 == read.values.size(), "parameter count");
    for (std::size_t i = 0; i < back.values.size(); ++i) {
        check(same(back.values(i), read.values(i + 1)), "value");
        check(same(back.lower(i), read.lower(i + 1)), "lower bound");
        check(same(back.upper(i), read.upper(i + 1)), "upper bound");
        check(back.flags[i] == read.flags[i + 1], "flags");
    }
    std::size_t linked = 0;
    for (const ParamLink& link : component.links)
        linked += link.kind != NotLinked;
    check(back.links.size() == linked, "link count");
    for (const LinkSpec& link : back.links) {
        const ParamLink& written = component.links.at(link.dependent_param);
        check(written.kind == link.kind && written.target_component + 1 == link.target_component &&
                  (link.kind != LinkToParam || written.target_param == link.target_param) &&
                  same(written.factor, link.factor),
              "link");
    }
    return 0;
}

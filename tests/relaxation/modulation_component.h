// A spin-modulation component of ⁵⁷Fe as the program adds it, or with the model data
// of a component line.
#pragma once

#include <string>

#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"

template <class T>
SubSpecPtr modulation_component(const std::wstring& extra = L"")
{
    SubSpecPtr s = make_subspec<T>(&test_support::iron());
    auto& data = dynamic_cast<ISubSpecData&>(*s);
    extra.empty() ? data.set_defaults(L"") : data.load_extra(extra);
    return s;
}

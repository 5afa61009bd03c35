// The catalogue: the process-wide, ordered list of the subspectrum types that the user
// can add and that model files name, each a display name with a factory. The built-in
// types are registered when the catalogue is first used, in a fixed order whose indices
// the add commands, the menus and the default-baseline choice rely on; the Lua-scripted
// models are appended at start-up. Afterwards it is only read, from any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "subspec/subspec.h"

struct Isotope;

// A new subspectrum with count 1 for the isotope (null for none), given the entry's
// user data.
using SubSpecFactoryFn = SubSpecPtr (*)(void* user_data, const Isotope* isotope);

class SubSpecFactory {
public:
    struct SubSpecDesc {
        SubSpecFactoryFn factory = nullptr;  // null for a separator
        void* user_data = nullptr;           // a Lua model's record; null for built-in types
        std::wstring display_name;           // without the "@" that hides it; empty for a separator
        bool needs_isotope = false;
        bool is_baseline = false;  // known only for types that need no isotope
        bool hidden = false;       // not offered in the menus
        double baseline_rank = 0.0;

        bool is_separator() const { return !factory && display_name.empty(); }
        // Throws std::runtime_error: "Can't create a dummy model" for a separator,
        // message 50046 for a type that needs an isotope when none is given.
        SubSpecPtr create(const Isotope* isotope) const;
    };

    // The process-wide catalogue, with the built-in types from its first use on.
    static SubSpecFactory& instance();

    // Appends an entry. A type that needs no isotope is created once to learn whether
    // it is a baseline and its rank; a leading "@" of the name hides the entry.
    void register_model(SubSpecFactoryFn factory, void* user_data, std::wstring_view name, bool needs_isotope);
    void add_separator();

    unsigned size() const { return static_cast<unsigned>(entries_.size()); }
    // Entry i; std::out_of_range "invalid vector subscript" beyond the last.
    const SubSpecDesc& at(unsigned i) const;
    const std::wstring& name_at(unsigned i) const { return at(i).display_name; }
    bool is_baseline(unsigned i) const { return at(i).is_baseline; }
    bool is_hidden(unsigned i) const { return at(i).hidden; }

    SubSpecPtr create_at(unsigned i, const Isotope* isotope) const { return at(i).create(isotope); }
    // The first entry with exactly this display name, else the entry of its current
    // name in the legacy table; null when neither exists.
    SubSpecPtr create_by_name(std::wstring_view name, const Isotope* isotope) const;
    // The first baseline, in catalogue order, whose rank is not above `level`; for a
    // level below every rank, the first baseline of the lowest rank. Null only when the
    // catalogue has no baseline.
    SubSpecPtr create_baseline(const Isotope* isotope, double level) const;
    // The index create_by_name uses, else 0.
    unsigned index_of(std::wstring_view name) const;

private:
    // The index of the entry named `name` (exactly, else through the legacy table);
    // size() when none.
    unsigned find(std::wstring_view name) const;

    std::vector<SubSpecDesc> entries_;
};

// The creation of a component by the name a model file or the clipboard gives: "[D] "
// and a catalogue name make a distribution of that model, still without points (the
// distribution's error when the model cannot be distributed); any other name, also
// "[D] " and a rest that names no model (a scripted model may be called so), is created
// by name. Null when not found.
SubSpecPtr create_subspec(std::wstring_view name, const Isotope* isotope);

// The free variable: one parameter "x" that adds nothing to the spectrum but can be
// fitted, linked to and used in user expressions, so that several components can share
// a quantity through it. Its model data is a keyword list with one free label, "Name".
#pragma once

#include <span>
#include <string>

#include "core/text/kwfile.h"
#include "subspec/param_tables.h"
#include "subspec/subspec.h"

struct Isotope;
struct SpectrumAnalysis;

struct FreeVar : FreeVarParams, ISubSpecData, ISubSpecProperties, ISubSpecDesc {
    // 0 at every point, and so a zero Jacobian column.
    template <class R>
    void calc(std::span<const double> x, R* out, const R&) const
    {
        for (std::size_t i = 0; i < x.size(); ++i)
            out[i] = 0.0;
    }

    // x = 0.
    void init_params(const Isotope* isotope, const SpectrumAnalysis& analysis, std::span<double> p) const;

    // "Name" = the empty text; always true.
    bool set_defaults(const std::wstring& folder) override;
    // Appends the entries of the one-line text and adds an empty "Name" when none came.
    bool load_extra(const std::wstring& text) override;
    std::wstring save_extra() const override;
    // The keyword-list editor on the list; true when the user confirms.
    bool edit_properties() override;
    // The value of "Name", or the empty text.
    std::wstring description() const override;

    const KeywordList& model_data() const { return data_; }

private:
    KeywordList data_;
};

// A named expression: a user expression of the model (name and text as the user wrote
// them) or an entry of the model's derived lists (no name), with its compiled form.
#pragma once

#include <set>
#include <string>

#include "core/model/expr_interface.h"

class SpectrumModel;

struct NamedExpr {
    NamedExpr() = default;
    // Stores name and text and compiles against the model.
    NamedExpr(std::wstring name, std::wstring text, const SpectrumModel& model);

    // Compiles the text again against the model: expr is empty when it does not
    // compile (nothing is thrown, also not for a text too long once expanded),
    // used_params the parameters the expression reads.
    void compile(const SpectrumModel& model);

    std::wstring name;
    std::wstring text;
    ExprPtr expr;                    // shared by copies
    std::set<unsigned> used_params;  // flat indices; empty while expr is empty
};

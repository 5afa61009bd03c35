// Names with Unicode superscripts and subscripts (Γ₁, x², w₃) are drawn as runs: plain
// runs in the cell's font, script runs as plain characters in a smaller font, raised
// or lowered. Here the runs are found and mapped; the drawing is the window layer's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text/script_chars.h"

struct ScriptRun {
    ScriptClass kind;
    std::wstring text;  // script runs already mapped to plain characters
};

// The maximal runs of one class, left to right.
std::vector<ScriptRun> split_script_runs(std::wstring_view text);

// Digits and "+-=()" turned into their subscript forms; other characters unchanged.
std::wstring to_subscript(std::wstring_view text);

// Text passes over user expressions before they are parsed or after the model's layout
// changed: the expansion of user-expression names and component variables, the
// normalisation of super- and subscript characters in parameter names, and the
// renaming of parameter references when an old model file is read.
#pragma once

#include <map>
#include <string>

class SpectrumModel;

// ⁰…⁹ ⁺ ⁻ ⁼ ⁽ ⁾ and ₀…₉ ₊ ₋ ₌ ₍ ₎ (U+2070 to U+208F, by code mod 16 from
// "0123456789+-=() "), ¹ ² ³ as their ASCII forms; any other character unchanged.
wchar_t normalize_script_char(wchar_t c);

// `text` with every "<name>" of a user expression of the model replaced by its text in
// parentheses, itself expanded, and then every variable name that a component offers
// (IModelExtVars) replaced by its text in parentheses. An expression may use any other
// user expression, before or after it in the list; a name on a cycle of uses stays
// unexpanded, so the text does not parse.
std::wstring expand_expression_text(const SpectrumModel& model, const std::wstring& text);

// `text` with the inner text of every bracketed reference "[…]" replaced by its entry
// in `renames`, when it has one.
std::wstring rewrite_refs_on_load(const std::wstring& text, const std::map<std::wstring, std::wstring>& renames);

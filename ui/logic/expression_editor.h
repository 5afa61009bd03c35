// The expression editor's lists and rules without the dialog: the names it offers
// (variables, parameters, user expressions), its operations and constants with their
// values, where the caret goes after an insertion, where a text stops compiling, and
// the predefined expressions the model grid's menu offers for a component.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/model_expressions.h"

class SpectrumModel;
struct Isotope;

// Per component in model order: its extra variables, then "[c:name]" for each shown
// parameter, with plain characters for script ones; then "<name>" for each user
// expression.
std::vector<std::wstring> expression_parameter_items(const SpectrumModel& model);
// "+", "-", "*", "/", "^" and the functions with their parentheses.
const std::vector<std::wstring>& expression_operation_items();

struct ConstantItem {
    std::wstring symbol;
    std::wstring tip;  // the value with its unit
};
// The compiler's constants; the isotope's own (Eγ, Γτ, g_gr, g_ex, α, β, L, K) only
// with an isotope, since without one they do not compile.
std::vector<ConstantItem> expression_constant_items(const Isotope* isotope);

// The caret after `inserted` replaced the selection that began at `start`: after it,
// or inside its parentheses when it ends with ")".
std::size_t caret_after_insert(std::size_t start, std::wstring_view inserted);

struct ExpressionError {
    std::size_t position = 0;  // the first character that no completion makes readable
    std::wstring reason;       // why it failed beyond a misplaced character, or empty
};
// Nothing when the text compiles against the model. Otherwise the position up to which
// the text could still be completed into an expression (the text's length when only its
// end is missing, such as a closing parenthesis).
std::optional<ExpressionError> check_expression(const std::wstring& text, const SpectrumModel& model);

// The commands of the predefined expressions go from 801 up to 899.
inline constexpr std::size_t max_predefined_items = 99;
// "name:\ttext" without the brackets, plain characters for script ones; at most
// max_predefined_items.
std::vector<std::wstring> predefined_expression_items(const ModelExpressionList& entries);

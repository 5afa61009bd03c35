#include "core/model/named_expr.h"

#include "core/model/expr.h"

#include <utility>

NamedExpr::NamedExpr(std::wstring name, std::wstring text, const SpectrumModel& model)
    : name(std::move(name)), text(std::move(text))
{
    compile(model);
}

void NamedExpr::compile(const SpectrumModel& model)
{
    // The model keeps a text it cannot compile; the editor that takes the text shows why.
    try {
        expr = Expr::create(text, model);
    } catch (const expression_too_long&) {
        expr.reset();
    }
    used_params.clear();
    if (expr)
        expr->used_params(used_params);
}

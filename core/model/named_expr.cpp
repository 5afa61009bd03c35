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
    expr = Expr::create(text, model);
    used_params.clear();
    if (expr)
        expr->used_params(used_params);
}

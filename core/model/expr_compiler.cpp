#include "core/model/expr_interface.h"

namespace {

// Set once at start-up (or by a test) in the UI thread, read only afterwards.
ExprCompiler installed_compiler = nullptr;

}  // namespace

ExprCompiler set_expression_compiler(ExprCompiler compiler)
{
    const ExprCompiler previous = installed_compiler;
    installed_compiler = compiler;
    return previous;
}

ExprPtr compile_expression(const std::wstring& text, const SpectrumModel& model,
                           const std::vector<std::wstring>& variables)
{
    return installed_compiler ? installed_compiler(text, model, variables) : ExprPtr();
}

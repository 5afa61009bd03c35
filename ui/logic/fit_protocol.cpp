#include "ui/logic/fit_protocol.h"

#include <cmath>

#include "core/text/c_format.h"
#include "core/text/messages.h"

std::wstring fit_progress_insert(const FitProgress& p)
{
    if (p.iteration <= 0)
        return L"...";
    return (c_format(L": %d; χ²=%.3f (%.3f); Δχ²=%.3f; ρ=%.2f; lg(Δp)=%.1f") % p.iteration % p.chi_square %
            p.reduced_chi_square % (p.previous_chi_square - p.chi_square) % p.rho % std::log10(p.step_length))
        .str();
}

std::wstring fit_status_text(bool running, bool waiting, const FitProgress& progress)
{
    if (!running)
        return {};
    return MessageText(waiting ? 50004u : 50003u, fit_progress_insert(progress)).str();
}

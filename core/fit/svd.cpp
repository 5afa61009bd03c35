// Damped least-squares steps and pseudo-inverses from ALGLIB's singular value
// decomposition. The matrix B (A, or A + mu·I for a damped step) is first scaled
// symmetrically to unit diagonal, S = D·B·D with D = diag(B)^(−1/2); from S = U·diag(w)·Vᵀ
// follows pinv(B) = D·V·diag(w⁺)·Uᵀ·D with w⁺ᵢ = 1/wᵢ, or 0 for a singular value below
// 1e-10 of the largest. Without a cut this is B⁻¹ whatever the scale: the scaling only
// decides which directions count as undetermined, and makes that independent of the
// parameters' units. The scale of a damped step comes from A + mu·I itself, not
// from A alone, so that S keeps a unit diagonal (w₀ ≤ M) and a heavy damping of a
// parameter with a small diagonal cannot push other, well-determined directions below
// the cutoff. The back substitutions run row by row so their inner loops are
// contiguous, and the pseudo-inverse's rows are independent, which lets large ones
// share the block pool without changing any sum's order.
#include "core/fit/svd.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "core/fit/parallel_blocks.h"

namespace {

constexpr double relative_cutoff = 1e-10;
// Below this order the pseudo-inverse's product is too small to share out.
constexpr std::size_t parallel_order = 96;

// 1/wᵢ, or 0 for a singular value that counts as zero (also every one when w₀ is 0).
double inverted_singular_value(double wi, double w0)
{
    return wi > 0.0 && !(w0 * relative_cutoff > wi) ? 1.0 / wi : 0.0;
}

// D's diagonal: 1/√bⱼⱼ with bⱼⱼ = aⱼⱼ + shift, or 1 where bⱼⱼ is not positive and finite
// (a pinned parameter's empty row and column, or a matrix the decomposition refuses).
void diagonal_scale(const DMatrix& a, double shift, DVector& scale)
{
    const std::size_t m = a.size1();
    scale.resize(m, false);
    for (std::size_t j = 0; j < m; ++j) {
        const double b = a(j, j) + shift;
        scale(j) = b > 0.0 && std::isfinite(b) ? 1.0 / std::sqrt(b) : 1.0;
    }
}

// Copies D·(a + shift·I)·D into ALGLIB's array; false when an entry is not finite,
// which ALGLIB's iteration could not handle.
bool to_alglib_matrix(const DMatrix& a, double shift, const DVector& scale, alglib::real_2d_array& out)
{
    const std::size_t m = a.size1();
    out.setlength(static_cast<alglib::ae_int_t>(m), static_cast<alglib::ae_int_t>(m));
    for (std::size_t i = 0; i < m; ++i) {
        double* row = out[static_cast<alglib::ae_int_t>(i)];
        for (std::size_t j = 0; j < m; ++j) {
            const double v = scale(i) * (a(i, j) + (i == j ? shift : 0.0)) * scale(j);
            if (!std::isfinite(v))
                return false;
            row[j] = v;
        }
    }
    return true;
}

}  // namespace

bool svd_decompose(const DMatrix& a, double shift, SvdWorkspace& ws)
{
    diagonal_scale(a, shift, ws.scale);
    if (!to_alglib_matrix(a, shift, ws.scale, ws.a))
        return false;
    const auto m = static_cast<alglib::ae_int_t>(a.size1());
    try {
        return alglib::rmatrixsvd(ws.a, m, m, 2, 2, 2, ws.w, ws.u, ws.vt);
    } catch (const alglib::ap_error&) {
        return false;
    }
}

bool svd_solve(const DMatrix& a, double shift, const DVector& b, DVector& x, SvdWorkspace& ws)
{
    if (!svd_decompose(a, shift, ws))
        return false;
    const std::size_t m = a.size1();
    const double w0 = ws.w[0];
    // t = diag(w⁺)·Uᵀ·D·b
    ws.t.resize(m, false);
    std::fill(ws.t.begin(), ws.t.end(), 0.0);
    for (std::size_t j = 0; j < m; ++j) {
        const double* u_row = ws.u[static_cast<alglib::ae_int_t>(j)];
        const double bj = ws.scale(j) * b(j);
        for (std::size_t k = 0; k < m; ++k)
            ws.t(k) += u_row[k] * bj;
    }
    for (std::size_t k = 0; k < m; ++k)
        ws.t(k) *= inverted_singular_value(ws.w[static_cast<alglib::ae_int_t>(k)], w0);
    // x = D·V·t
    x.resize(m, false);
    std::fill(x.begin(), x.end(), 0.0);
    for (std::size_t k = 0; k < m; ++k) {
        const double tk = ws.t(k);
        if (tk == 0.0)
            continue;
        const double* vt_row = ws.vt[static_cast<alglib::ae_int_t>(k)];
        for (std::size_t i = 0; i < m; ++i)
            x(i) += vt_row[i] * tk;
    }
    for (std::size_t i = 0; i < m; ++i)
        x(i) *= ws.scale(i);
    return true;
}

bool svd_pseudo_inverse(const DMatrix& a, DMatrix& p, DMatrix* directions, SvdWorkspace& ws)
{
    const std::size_t m = a.size1();
    p.resize(m, m, false);
    p.clear();
    if (directions) {
        directions->resize(m, m + 1, false);
        directions->clear();
    }
    if (!svd_decompose(a, 0.0, ws))
        return false;

    const double w0 = ws.w[0];
    if (directions) {
        for (std::size_t i = 0; i < m; ++i) {
            const double* vt_row = ws.vt[static_cast<alglib::ae_int_t>(i)];
            for (std::size_t j = 0; j < m; ++j)
                (*directions)(i, j) = vt_row[j];
            const double wi = ws.w[static_cast<alglib::ae_int_t>(i)];
            (*directions)(i, m) = inverted_singular_value(wi, w0) != 0.0 ? wi / w0 : 0.0;
        }
    }

    // Row k of scaled_ut is w⁺ₖ times column k of U times D; only the kept singular values.
    std::size_t kept = 0;
    while (kept < m && inverted_singular_value(ws.w[static_cast<alglib::ae_int_t>(kept)], w0) != 0.0)
        ++kept;
    ws.scaled_ut.resize(kept, m, false);
    for (std::size_t j = 0; j < m; ++j) {
        const double* u_row = ws.u[static_cast<alglib::ae_int_t>(j)];
        for (std::size_t k = 0; k < kept; ++k)
            ws.scaled_ut(k, j) = u_row[k] * inverted_singular_value(ws.w[static_cast<alglib::ae_int_t>(k)], w0) *
                                 ws.scale(j);
    }

    // Row i of P = Dᵢᵢ · Σₖ Vᵀ[k][i] · scaled_ut row k.
    parallel_blocks(static_cast<unsigned>(m), [&](unsigned i) {
        double* p_row = &p(i, 0);
        for (std::size_t k = 0; k < kept; ++k) {
            const double c = ws.vt[static_cast<alglib::ae_int_t>(k)][i];
            const double* s_row = &ws.scaled_ut(k, 0);
            for (std::size_t j = 0; j < m; ++j)
                p_row[j] += c * s_row[j];
        }
        const double di = ws.scale(i);
        for (std::size_t j = 0; j < m; ++j)
            p_row[j] *= di;
    }, m >= parallel_order);
    for (std::size_t i = 0; i < m; ++i)
        if (p(i, i) < 0.0)
            p(i, i) = 0.0;
    return true;
}

// Test doubles for the fit engine: a model of Lorentzian lines on a sloped baseline with
// distributions of fixed lines, links to parameters and to product expressions, and
// excluded x-ranges.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/numerics/dual.h"
#include "core/fit/model_interfaces.h"
#include "core/spectrum/spectrum_analysis.h"

// Peak height times the Lorentz profile of full width Γ at x0.
template <class T>
T lorentz(double x, const T& height, const T& x0, const T& width)
{
    const T g = width * 0.5;
    const T d = x - x0;
    return height * g * g / (d * d + g * g);
}

class TestModel : public IModel, public IDepVars, public IModelWithXRanges, public IDistParams {
public:
    // A link of parameter `dependent`: kind 0 = factor × p[target], kind 1 = factor ×
    // p[a]·p[b] of expression `target`.
    struct Link {
        unsigned dependent;
        int kind;
        unsigned target;
        double factor;
    };
    struct Product {
        unsigned a, b;  // a < b
    };

    // Baseline b0 + b1·x at 0 and 1, the rest added by the add_* calls.
    TestModel() : n_(2) {}

    unsigned add_line()
    {
        lines_.push_back(n_);
        n_ += 3;
        return lines_.back();
    }
    // Weights of lines of the given width at fixed positions; deviations one per weight.
    unsigned add_distribution(std::vector<double> positions, double width, std::vector<double> deviations)
    {
        dists_.push_back({n_, std::move(positions), width, std::move(deviations)});
        n_ += static_cast<unsigned>(dists_.back().positions.size());
        return dists_.back().first;
    }
    // A parameter the model function does not read (an expression's operand).
    unsigned add_free() { return n_++; }

    std::vector<Link> links;  // in increasing order of the dependent index
    std::vector<Product> expressions;
    std::vector<std::pair<double, double>> xranges;
    double scale = -1.0;
    // Faults on demand.
    bool nan_values = false;         // evaluate gives NaN
    bool throw_in_jacobian = false;  // evaluate_range_with_jacobian throws
    bool throw_in_values = false;    // evaluate throws
    double jacobian_sign = 1.0;      // −1: every step goes uphill
    mutable int evaluate_calls = 0;  // evaluate runs serially
    mutable std::shared_ptr<std::mutex> block_mutex = std::make_shared<std::mutex>();
    mutable std::vector<std::pair<std::size_t, std::size_t>> blocks;  // (first, count) of each Jacobian call

    // IModel
    unsigned param_count() const override { return n_; }
    void evaluate_component(unsigned, const DVector& x, const DVector& p, DVector& out) const override
    {
        evaluate(x, 0, x.size(), p, out);
    }
    void evaluate_range_with_jacobian(const DVector& x, std::size_t first, std::size_t count, const DVector& p,
                                      const ExprGradients& gradients, DVector& out, DMatrix& j) const override
    {
        {
            std::lock_guard lock(*block_mutex);
            blocks.emplace_back(first, count);
        }
        if (throw_in_jacobian)
            throw std::runtime_error("model failure");
        for (std::size_t i = 0; i < count; ++i) {
            const double xi = x(first + i);
            for (unsigned c = 0; c < n_; ++c)
                j(i, c) = 0.0;
            out(i) = p(0) + p(1) * xi;
            j(i, 0) = 1.0;
            j(i, 1) = xi;
            for (unsigned l : lines_) {
                using D = Dual<3>;
                const D f = lorentz(xi, D::seed(p(l), 0), D::seed(p(l + 1), 1), D::seed(p(l + 2), 2));
                out(i) += scale * f[0];
                for (unsigned k = 0; k < 3; ++k)
                    j(i, l + k) = scale * f[k + 1];
            }
            for (const Dist& d : dists_)
                for (std::size_t k = 0; k < d.positions.size(); ++k) {
                    const double shape = lorentz(xi, 1.0, d.positions[k], d.width);
                    out(i) += scale * p(d.first + k) * shape;
                    j(i, d.first + k) = scale * shape;
                }
            for (unsigned c = 0; c < n_; ++c)
                j(i, c) *= jacobian_sign;
        }
        carry_links(gradients, j, count);
    }
    void evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& p,
                  DVector& out) const override
    {
        ++evaluate_calls;
        if (throw_in_values)
            throw std::invalid_argument("trial failure");
        for (std::size_t i = 0; i < count; ++i)
            out(i) = nan_values ? std::nan("") : value(x(first + i), p);
    }
    bool has_components() const override { return true; }
    bool is_emission() const override { return !(scale < 0.0); }
    unsigned component_count() const override
    {
        return static_cast<unsigned>(1 + lines_.size() + dists_.size());
    }
    bool set_distribution_abscissa(unsigned, unsigned) override { return false; }
    void set_distribution_marks(unsigned, const PointRangeList&) override {}

    // IDepVars
    void dependent_mask(std::vector<int>& mask) const override
    {
        mask.assign(n_, 0);
        for (const Link& l : links)
            mask[l.dependent] = 1;
    }
    void apply_links(DVector& values, ExprGradients* gradients) const override
    {
        if (gradients)
            gradients->resize(expressions.size());
        for (const Link& l : links) {
            if (l.kind == 0) {
                values(l.dependent) = l.factor * values(l.target);
                continue;
            }
            const Product& e = expressions[l.target];
            values(l.dependent) = l.factor * values(e.a) * values(e.b);
            if (gradients) {
                DVector& g = (*gradients)[l.target];
                g = DVector(n_, 0.0);
                g(e.a) = values(e.b);
                g(e.b) = values(e.a);
            }
        }
    }

    // IModelWithXRanges
    unsigned xrange_count() const override { return static_cast<unsigned>(xranges.size()); }
    void get_xrange(unsigned i, double& from, double& to) const override
    {
        from = xranges.at(i).first;
        to = xranges.at(i).second;
    }

    // IDistParams
    void scaled_point_params(const SpectrumAnalysis& a, std::vector<DistPointParams>& out) const override
    {
        const double c = std::max(std::fabs(a.N0), std::fabs(a.N0 + a.depth));
        if (c == 0.0)
            return;
        const std::size_t before = out.size();
        point_params(out);
        for (std::size_t i = before; i < out.size(); ++i)
            for (double& s : out[i].deviations)
                s /= std::sqrt(c);
    }
    void point_params(std::vector<DistPointParams>& out) const override
    {
        for (const Dist& d : dists_)
            out.push_back({static_cast<std::int32_t>(d.first), d.deviations});
    }
    bool distributed_param(unsigned, const DVector&, double&, double&, std::wstring&) const override
    {
        return false;
    }
    unsigned component_index(unsigned) const override { return 0; }
    void marked_ranges(unsigned, PointRangeList&) const override {}

    // The model value at x without derivatives.
    double value(double x, const DVector& p) const
    {
        double sum = 0.0;
        for (unsigned l : lines_)
            sum += lorentz(x, p(l), p(l + 1), p(l + 2));
        for (const Dist& d : dists_)
            for (std::size_t k = 0; k < d.positions.size(); ++k)
                sum += p(d.first + k) * lorentz(x, 1.0, d.positions[k], d.width);
        return p(0) + p(1) * x + scale * sum;
    }

private:
    struct Dist {
        unsigned first;
        std::vector<double> positions;
        double width;
        std::vector<double> deviations;
    };

    // The chain rule: a dependent parameter's column moves to what it depends on.
    void carry_links(const ExprGradients& gradients, DMatrix& j, std::size_t rows) const
    {
        for (const Link& l : links) {
            const unsigned d = l.dependent;
            for (std::size_t i = 0; i < rows; ++i) {
                if (l.kind == 0) {
                    j(i, l.target) += j(i, d) * l.factor;
                } else {
                    const Product& e = expressions[l.target];
                    const DVector& g = gradients.at(l.target);
                    j(i, e.a) += j(i, d) * g(e.a) * l.factor;
                    j(i, e.b) += j(i, d) * g(e.b) * l.factor;
                }
                j(i, d) = 0.0;
            }
        }
    }

    unsigned n_;
    std::vector<unsigned> lines_;
    std::vector<Dist> dists_;
};

// The same model seen through IModel alone: no links, x-ranges or distributions.
class PlainModel : public IModel {
public:
    explicit PlainModel(TestModel& m) : m_(m) {}
    unsigned param_count() const override { return m_.param_count(); }
    void evaluate_component(unsigned c, const DVector& x, const DVector& p, DVector& out) const override
    {
        m_.evaluate_component(c, x, p, out);
    }
    void evaluate_range_with_jacobian(const DVector& x, std::size_t first, std::size_t count, const DVector& p,
                                      const ExprGradients& g, DVector& out, DMatrix& j) const override
    {
        m_.evaluate_range_with_jacobian(x, first, count, p, g, out, j);
    }
    void evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& p,
                  DVector& out) const override
    {
        m_.evaluate(x, first, count, p, out);
    }
    bool has_components() const override { return true; }
    bool is_emission() const override { return m_.is_emission(); }
    unsigned component_count() const override { return m_.component_count(); }
    bool set_distribution_abscissa(unsigned c, unsigned p) override { return m_.set_distribution_abscissa(c, p); }
    void set_distribution_marks(unsigned d, const PointRangeList& r) override { m_.set_distribution_marks(d, r); }

private:
    TestModel& m_;
};

// Parts for the document tests and benchmarks: components to add, and a snapshot of
// everything a document edit may change, compared exactly (bit for bit for numbers).
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "core/document/model_state.h"
#include "subspec/distribution.h"
#include "tests/support/model_test_parts.h"

namespace document_test {

// A distribution of Lorentz lines over `points` points, the position spread.
inline SubSpecPtr distribution(unsigned points)
{
    return make_distribution(model_test::lorentz(), points, {1});
}

// Appends a component as the user's add command does.
inline void add(ModelState& d, SubSpecPtr s)
{
    d.add_component(d.model.component_count(), SpectrumAnalysis(), std::move(s), true);
}

inline bool same_bits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline bool same_doubles(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!same_bits(a[i], b[i]))
            return false;
    return true;
}

inline std::vector<double> as_vector(const DVector& v)
{
    return std::vector<double>(v.begin(), v.end());
}

// A link's meaning: a link that is not linked has no target.
inline ParamLink meaning(const ParamLink& l)
{
    return l.kind == NotLinked ? ParamLink() : l;
}

struct ComponentState {
    const ISubSpec* subspec;
    COLORREF color;
    std::vector<ParamLink> links;
    unsigned points;                 // distributions only
    std::vector<double> deviations;  // distributions only

    bool operator==(const ComponentState& o) const
    {
        return subspec == o.subspec && color == o.color && links == o.links && points == o.points &&
               same_doubles(deviations, o.deviations);
    }
};

struct ExpressionState {
    std::wstring name, text;
    bool compiled;
    bool operator==(const ExpressionState&) const = default;
};

// Everything that the model history's records change (model_part) and the excluded
// x-ranges that the spectrum history's records change.
struct Snapshot {
    std::vector<double> values, fit_values, lower, upper;
    std::vector<int> flags;
    std::vector<ComponentState> components;
    std::vector<ExpressionState> expressions;
    std::size_t covariance_rows = 0, covariance_columns = 0;
    double scale = 0.0, level = 0.0;
    std::vector<XRange> xranges;

    explicit Snapshot(const ModelState& d)
        : values(as_vector(d.values)), fit_values(as_vector(d.fit_values)), lower(as_vector(d.lower_bounds)),
          upper(as_vector(d.upper_bounds)), flags(d.flags), covariance_rows(d.covariance.size1()),
          covariance_columns(d.covariance.size2()), scale(d.model.scale), level(d.model.level),
          xranges(d.model.xranges)
    {
        for (const auto& c : d.model.components) {
            ComponentState s{c->subspec.get(), c->color, {}, 0, {}};
            for (const ParamLink& l : c->links)
                s.links.push_back(meaning(l));
            if (const IDistribution* dist = c->distribution()) {
                s.points = dist->point_count();
                s.deviations = dist->point_deviations();
            }
            components.push_back(std::move(s));
        }
        for (const NamedExpr& e : d.model.expressions)
            expressions.push_back({e.name, e.text, e.expr != nullptr});
    }

    bool model_part_equals(const Snapshot& o) const
    {
        return same_doubles(values, o.values) && same_doubles(fit_values, o.fit_values) &&
               same_doubles(lower, o.lower) && same_doubles(upper, o.upper) && flags == o.flags &&
               components == o.components && expressions == o.expressions &&
               covariance_rows == o.covariance_rows && covariance_columns == o.covariance_columns &&
               same_bits(scale, o.scale) && same_bits(level, o.level);
    }

    bool operator==(const Snapshot& o) const { return model_part_equals(o) && xranges == o.xranges; }

    // The first part that differs, for a failure message.
    std::string difference(const Snapshot& o) const
    {
        if (!same_doubles(values, o.values))
            return "values";
        if (!same_doubles(fit_values, o.fit_values))
            return "fit values";
        if (!same_doubles(lower, o.lower) || !same_doubles(upper, o.upper))
            return "bounds";
        if (flags != o.flags)
            return "flags";
        if (components.size() != o.components.size())
            return "component count";
        for (std::size_t k = 0; k < components.size(); ++k)
            if (!(components[k] == o.components[k]))
                return "component " + std::to_string(k) +
                       (components[k].links != o.components[k].links ? " links" : "");
        if (!(expressions == o.expressions))
            return "expressions";
        if (covariance_rows != o.covariance_rows || covariance_columns != o.covariance_columns)
            return "covariance size";
        if (!same_bits(scale, o.scale) || !same_bits(level, o.level))
            return "scale or level";
        if (!(xranges == o.xranges))
            return "x-ranges";
        return "";
    }
};

// Every per-parameter vector has one entry per parameter.
inline bool vectors_fit_model(const ModelState& d)
{
    const std::size_t n = d.model.param_count();
    return d.values.size() == n && d.fit_values.size() == n && d.lower_bounds.size() == n &&
           d.upper_bounds.size() == n && d.flags.size() == n &&
           (d.covariance.size1() == 0 || (d.covariance.size1() == n && d.covariance.size2() == n));
}

}  // namespace document_test

#include "plot/report_values.h"

std::optional<ValueWithError> derived_value(const std::vector<NamedExpr>& list, unsigned k,
                                            const ResultsSource& source)
{
    if (k >= list.size())
        return std::nullopt;
    return expression_value(list[k], source);
}

std::optional<ValueWithError> expression_value(const NamedExpr& expression, const ResultsSource& source)
{
    if (!expression.expr)
        return std::nullopt;
    ValueWithError out;
    out.value = expression.expr->value_with_variance(source.values, source.covariance, out.error);
    return out;
}

double resonant_fraction(const KeywordList& spectrum_keys)
{
    double nonresonant = 0.0;
    if (!kwlist_get_double(spectrum_keys, L"NonresonantPart", nonresonant))
        nonresonant = 0.0;
    const double f = 1.0 - nonresonant;
    return f > 0.0 && f <= 1.0 ? f : 1.0;
}

PointRangeList distribution_intervals(const SpectrumModel& model, unsigned n)
{
    PointRangeList out;
    const SubModel* component = model.distribution_at(n);
    if (!component)
        return out;
    const unsigned points = component->distribution()->point_count();
    if (points == 0)
        return out;
    out.emplace_back(0u, points - 1);
    PointRangeList marks;
    model.marked_ranges(n, marks);
    out.insert(out.end(), marks.begin(), marks.end());
    return out;
}

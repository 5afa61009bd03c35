// The rows are compiled once, each sum's term once; a sum is evaluated point by point
// when a row first names it, giving its value and its derivatives by the parameters and
// by the rows its term names. A row's derivatives by a sum or an input are carried on
// to theirs (the chain rule), so that its gradient is one over the parameters and over
// the rows alone. The covariance enters last: one sweep over it gives every row's
// gᵀ V g (covariance_gram), and the rows' own errors are added in row order.
#include "core/model/statistics_evaluation.h"

#include <cmath>
#include <limits>

#include "core/model/covariance_gram.h"
#include "core/model/expr.h"

namespace {

constexpr double not_a_number = std::numeric_limits<double>::quiet_NaN();

// A value's derivatives by the flat parameters (dense, with the indices reached) and by
// the rows.
class Gradient {
public:
    Gradient(std::size_t params, std::size_t rows) : by_row(rows, 0.0), by_param_(params, 0.0), reached_(params, 0)
    {
    }

    // A parameter beyond the values has no derivative to carry.
    void add_param(unsigned k, double g)
    {
        if (k >= by_param_.size())
            return;
        if (!reached_[k]) {
            reached_[k] = 1;
            order_.push_back(k);
        }
        by_param_[k] += g;
    }

    // += factor · other.
    void add(const Gradient& other, double factor)
    {
        for (unsigned k : other.order_)
            add_param(k, factor * other.by_param_[k]);
        for (std::size_t v = 0; v < by_row.size(); ++v)
            by_row[v] += factor * other.by_row[v];
    }

    SparseGradient by_params() const
    {
        SparseGradient out;
        for (std::size_t k = 0; k < reached_.size(); ++k)
            if (reached_[k]) {
                out.index.push_back(static_cast<unsigned>(k));
                out.value.push_back(by_param_[k]);
            }
        return out;
    }

    std::vector<double> by_row;

private:
    std::vector<double> by_param_;
    std::vector<char> reached_;
    std::vector<unsigned> order_;
};

// A sum or an input, evaluated when a row first names it.
struct NamedValue {
    bool evaluated = false;
    bool valid = false;
    double value = not_a_number;
    Gradient gradient;
};

// A row evaluated, before its error.
struct EvaluatedRow {
    std::size_t row;
    double value;
    SparseGradient by_params;
    std::vector<double> by_rows;
};

const Expr* compiled(const ExprPtr& e)
{
    return dynamic_cast<const Expr*>(e.get());
}

class StatisticsTable {
public:
    StatisticsTable(const SpectrumModel& model, const std::vector<DistStatRow>& rows,
                    const std::vector<DistStatSum>& sums, unsigned first_weight,
                    const std::vector<StatisticsInput>& inputs, const DVector& values)
        : rows_(rows), sums_(sums), inputs_(inputs), first_weight_(first_weight), values_(values),
          point_(static_cast<unsigned>(rows.size() + sums.size() + inputs.size())),
          variables_(point_ + 2, not_a_number),
          named_(sums.size() + inputs.size(), NamedValue{false, false, not_a_number, Gradient(values.size(), rows.size())})
    {
        // One list of names for the rows and the terms: the rows, the sums, the inputs,
        // then a term's point index "i" and weight "w".
        std::vector<std::wstring> names, texts;
        for (const DistStatRow& row : rows) {
            names.push_back(row.name);
            texts.push_back(row.text);
        }
        for (const DistStatSum& sum : sums) {
            names.push_back(sum.name);
            texts.push_back(sum.term);
        }
        for (const StatisticsInput& input : inputs)
            names.push_back(input.name);
        names.push_back(L"i");
        names.push_back(L"w");
        exprs_ = Expr::create_all(texts, model, names);
    }

    std::vector<EvaluatedRow> evaluate()
    {
        std::vector<EvaluatedRow> out;
        std::vector<double> g;
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            const Expr* e = compiled(exprs_[r]);
            if (!e || !named_values_of(*e))
                continue;
            const double value = e->value_and_reference_gradient(values_, variables_, g);
            variables_(r) = value;
            Gradient gradient(values_.size(), rows_.size());
            carry(*e, g, 0, gradient);
            out.push_back({r, value, gradient.by_params(), std::move(gradient.by_row)});
        }
        return out;
    }

private:
    // Evaluates the sums and inputs that e names; false when one does not compile.
    bool named_values_of(const Expr& e)
    {
        bool complete = true;
        for (unsigned id : e.references())
            if (id >= Expr::variable_id_base + rows_.size() && id < Expr::variable_id_base + point_)
                complete = named(id - Expr::variable_id_base - rows_.size()) && complete;
        return complete;
    }

    // Evaluates sum or input d on first use; false when it does not compile.
    bool named(std::size_t d)
    {
        NamedValue& n = named_[d];
        if (!n.evaluated) {
            n.evaluated = true;
            if (d < sums_.size())
                evaluate_sum(sums_[d], compiled(exprs_[rows_.size() + d]), n);
            else
                evaluate_input(compiled(inputs_[d - sums_.size()].expr), n);
            variables_(rows_.size() + d) = n.value;
        }
        return n.valid;
    }

    // Adds e's derivatives g by its references to `gradient`: a parameter's as they are,
    // a row's by that row, a sum's or an input's through its own derivatives, the
    // weight's at the weight of point i (the index is no parameter).
    void carry(const Expr& e, const std::vector<double>& g, unsigned i, Gradient& gradient) const
    {
        const std::vector<unsigned>& references = e.references();
        for (std::size_t s = 0; s < references.size(); ++s) {
            if (references[s] < Expr::variable_id_base) {
                gradient.add_param(references[s], g[s]);
                continue;
            }
            const std::size_t v = references[s] - Expr::variable_id_base;
            if (v < rows_.size())
                gradient.by_row[v] += g[s];
            else if (v < point_)
                gradient.add(named_[v - rows_.size()].gradient, g[s]);
            else if (v == point_ + 1u)
                gradient.add_param(first_weight_ + i, g[s]);
        }
    }

    void evaluate_sum(const DistStatSum& sum, const Expr* term, NamedValue& n)
    {
        if (!term || !named_values_of(*term))
            return;
        std::vector<double> g;
        double total = 0.0;
        for (unsigned i = sum.first; i <= sum.last; ++i) {
            const unsigned weight = first_weight_ + i;
            variables_(point_) = i;
            variables_(point_ + 1) = weight < values_.size() ? values_(weight) : not_a_number;
            total += term->value_and_reference_gradient(values_, variables_, g);
            carry(*term, g, i, n.gradient);
        }
        // Outside a term there is no point.
        variables_(point_) = variables_(point_ + 1) = not_a_number;
        n.value = total;
        n.valid = true;
    }

    void evaluate_input(const Expr* e, NamedValue& n)
    {
        if (!e)
            return;
        std::vector<double> g;
        n.value = e->value_and_reference_gradient(values_, DVector(), g);
        carry(*e, g, 0, n.gradient);
        n.valid = true;
    }

    const std::vector<DistStatRow>& rows_;
    const std::vector<DistStatSum>& sums_;
    const std::vector<StatisticsInput>& inputs_;
    const unsigned first_weight_;
    const DVector& values_;
    // The index of the variable "i"; "w" follows it.
    const unsigned point_;
    // The rows' values, the sums' and the inputs', then a term's i and w.
    DVector variables_;
    std::vector<NamedValue> named_;
    // The rows, then the sums' terms.
    std::vector<ExprPtr> exprs_;
};

}  // namespace

void evaluate_statistics(const SpectrumModel& model, const std::vector<DistStatRow>& rows,
                         const std::vector<DistStatSum>& sums, unsigned first_weight,
                         const std::vector<StatisticsInput>& inputs, const DVector& values,
                         const DMatrix& covariance, std::vector<DistStatistic>& out)
{
    const std::vector<EvaluatedRow> evaluated =
        StatisticsTable(model, rows, sums, first_weight, inputs, values).evaluate();
    const bool known = covariance.size1() > 0 && covariance.size1() == covariance.size2();
    DMatrix gram;
    if (known) {
        std::vector<SparseGradient> gradients;
        for (const EvaluatedRow& e : evaluated)
            gradients.push_back(e.by_params);
        gram = covariance_gram(covariance, gradients);
    }
    // The rows named count as independent, each with its own error; a row that did not
    // compile has none.
    std::vector<double> deviations(rows.size(), 0.0);
    for (std::size_t k = 0; k < evaluated.size(); ++k) {
        const EvaluatedRow& e = evaluated[k];
        double error = 0.0;
        if (known) {
            double variance = gram(k, k);
            for (std::size_t v = 0; v < e.by_rows.size(); ++v)
                variance += e.by_rows[v] * e.by_rows[v] * deviations[v] * deviations[v];
            error = std::sqrt(variance);
        }
        deviations[e.row] = error;
        const DistStatRow& row = rows[e.row];
        out.push_back({row.name, row.format, e.value, error, (row.flags & DistStatRow::NewRow) != 0});
    }
}

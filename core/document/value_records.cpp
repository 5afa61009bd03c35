// The records that copy values, bounds, flags, deviations, the spectrum or the
// direction back and forth.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "core/document/change_records.h"

ModelState::ChangeRecordA0::ChangeRecordA0(ModelState& document, const DVector& after)
    : before_(document.values), after_(after)
{
    redo(document);
}

void ModelState::ChangeRecordA0::undo(ModelState& document)
{
    document.values = before_;
}

void ModelState::ChangeRecordA0::redo(ModelState& document)
{
    document.values = after_;
    document.model.apply_links(document.values, nullptr);
}

ModelState::ChangeRecordBounds::ChangeRecordBounds(ModelState& document, unsigned index, double old_lower,
                                                   double old_upper, double new_lower, double new_upper)
    : old_lower_(old_lower), old_upper_(old_upper), new_lower_(new_lower), new_upper_(new_upper), index_(index)
{
    redo(document);
}

void ModelState::ChangeRecordBounds::write(ModelState& document, double lower, double upper) const
{
    document.lower_bounds(index_) = lower;
    document.upper_bounds(index_) = upper;
}

void ModelState::ChangeRecordBounds::undo(ModelState& document)
{
    write(document, old_lower_, old_upper_);
}

void ModelState::ChangeRecordBounds::redo(ModelState& document)
{
    write(document, new_lower_, new_upper_);
}

namespace {

bool same_spectrum(const SpectrumData& a, const SpectrumData& b)
{
    return a.keywords == b.keywords && a.x_data == b.x_data && a.y_data == b.y_data &&
           a.std_dev_data == b.std_dev_data;
}

}  // namespace

ModelState::ChangeRecordData::ChangeRecordData(ModelState& document, const KeywordList& before)
{
    const std::shared_ptr<const SpectrumData> last = document.last_spectrum_.lock();
    if (last && last->keywords == before) {
        before_ = last;
    } else {
        auto state = std::make_shared<SpectrumData>();
        KeywordList copy = before;
        try {
            state->load_keywords(copy);
            state->keywords = std::move(copy);
        } catch (const std::runtime_error&) {
            *state = SpectrumData();
        }
        before_ = std::move(state);
    }
    take_after(document);
}

ModelState::ChangeRecordData::ChangeRecordData(ModelState& document, const SpectrumData& before)
{
    const std::shared_ptr<const SpectrumData> last = document.last_spectrum_.lock();
    before_ = last && same_spectrum(*last, before) ? last : std::make_shared<const SpectrumData>(before);
    take_after(document);
}

void ModelState::ChangeRecordData::take_after(ModelState& document)
{
    document.keep_spectrum();
    document.data.store_keywords();
    after_ = std::make_shared<const SpectrumData>(document.data);
    document.last_spectrum_ = after_;
    document.set_levels_from_spectrum();
}

void ModelState::ChangeRecordData::load(ModelState& document, const SpectrumData& state)
{
    document.keep_spectrum();
    document.data = state;
    document.set_levels_from_spectrum();
}

void ModelState::ChangeRecordData::undo(ModelState& document)
{
    load(document, *before_);
}

void ModelState::ChangeRecordData::redo(ModelState& document)
{
    load(document, *after_);
}

ModelState::ChangeRecordDir::ChangeRecordDir(ModelState& document, bool emission)
    : before_(document.model.is_emission()), after_(emission)
{
    redo(document);
}

void ModelState::ChangeRecordDir::apply(ModelState& document, bool emission)
{
    const double magnitude = std::fabs(document.model.scale);
    document.model.scale = emission ? magnitude : -magnitude;
    document.set_levels_from_spectrum();
}

void ModelState::ChangeRecordDir::undo(ModelState& document)
{
    apply(document, before_);
}

void ModelState::ChangeRecordDir::redo(ModelState& document)
{
    apply(document, after_);
}

namespace {

IDistribution* nth_distribution(const ModelState& document, unsigned n)
{
    const SubModel* c = document.model.distribution_at(n);
    return c ? c->distribution() : nullptr;
}

}  // namespace

ModelState::ChangeRecordDistYDev::ChangeRecordDistYDev(ModelState& document, unsigned n, unsigned first,
                                                       unsigned end, double v)
    : distribution_(n), first_(first)
{
    IDistribution* d = nth_distribution(document, n);
    if (!d)
        return;
    const std::vector<double>& all = d->point_deviations();
    if (first > end || end > all.size())
        throw std::out_of_range("Point range beyond the distribution");
    before_.assign(all.begin() + first, all.begin() + end);
    after_ = before_;
    for (double& x : after_)
        x = v >= 0.0 ? v : std::clamp(x * std::fabs(v), 0.003162277660168379, 316.2277660168379);
    write(document, after_);
}

ModelState::ChangeRecordDistYDev::ChangeRecordDistYDev(ModelState& document, unsigned n, std::vector<double> after)
    : distribution_(n)
{
    IDistribution* d = nth_distribution(document, n);
    if (!d)
        return;
    if (after.size() != d->point_count())
        throw std::out_of_range("Deviations of another point count");
    before_ = d->point_deviations();
    after_ = std::move(after);
    write(document, after_);
}

void ModelState::ChangeRecordDistYDev::write(ModelState& document, const std::vector<double>& deviations) const
{
    if (IDistribution* d = nth_distribution(document, distribution_))
        if (!deviations.empty())
            d->set_point_deviations(first_, deviations);
}

void ModelState::ChangeRecordDistYDev::undo(ModelState& document)
{
    write(document, before_);
}

void ModelState::ChangeRecordDistYDev::redo(ModelState& document)
{
    write(document, after_);
}

void ModelState::ChangeRecordList::undo(ModelState& document)
{
    for (auto it = records_.rbegin(); it != records_.rend(); ++it)
        (*it)->undo(document);
}

void ModelState::ChangeRecordList::redo(ModelState& document)
{
    for (const ChangeRecordPtr& r : records_)
        r->redo(document);
}

ModelState::ChangeRecordLock::ChangeRecordLock(ModelState& document, unsigned from, unsigned to, int mask, int bits)
    : first_(from)
{
    if (from < to) {
        if (to > document.flags.size())
            throw std::out_of_range("Flag range beyond the model");
        before_.assign(document.flags.begin() + from, document.flags.begin() + to);
    }
    after_ = before_;
    for (int& f : after_)
        f = (f & ~mask) ^ bits;
    write(document, after_);
}

void ModelState::ChangeRecordLock::write(ModelState& document, const std::vector<int>& flags) const
{
    std::copy(flags.begin(), flags.end(), document.flags.begin() + first_);
}

void ModelState::ChangeRecordLock::undo(ModelState& document)
{
    write(document, before_);
}

void ModelState::ChangeRecordLock::redo(ModelState& document)
{
    write(document, after_);
}

ModelState::ChangeRecordParam::ChangeRecordParam(ModelState& document, unsigned index, double value)
    : index_(index), after_(value)
{
    document.model.component_of_param(index);  // "Invalid variable index" beyond the model
    before_ = document.values(index);
    for_each_dependant(document, [&](unsigned i, const ParamLink&, const IExpr*) {
        dependants_before_.emplace_back(i, document.values(i));
    });
    redo(document);
}

template <class Visit>
void ModelState::ChangeRecordParam::for_each_dependant(const ModelState& document, Visit visit) const
{
    const SubModel& q = document.model.component_of_param(index_);
    const unsigned k = index_ - q.first;
    for (const auto& c : document.model.components)
        for (unsigned p = 0; p < c->count; ++p) {
            const ParamLink& link = c->links[p];
            if (link.kind == LinkToParam && link.target_component == q.index && link.target_param == k) {
                visit(c->first + p, link, nullptr);
            } else if (link.kind == LinkToExpr && link.target_component < document.model.expressions.size()) {
                const NamedExpr& e = document.model.expressions[link.target_component];
                if (e.expr && e.used_params.count(index_))
                    visit(c->first + p, link, e.expr.get());
            }
        }
}

void ModelState::ChangeRecordParam::propagate(ModelState& document) const
{
    for_each_dependant(document, [&](unsigned i, const ParamLink& link, const IExpr* e) {
        document.values(i) = link.factor * (e ? e->value(document.values) : document.values(index_));
    });
}

void ModelState::ChangeRecordParam::undo(ModelState& document)
{
    document.values(index_) = before_;
    for (const auto& [d, v] : dependants_before_)
        document.values(d) = v;
}

void ModelState::ChangeRecordParam::redo(ModelState& document)
{
    document.values(index_) = after_;
    propagate(document);
}

ModelState::ChangeRecordParams::ChangeRecordParams(ModelState& document, unsigned from, unsigned to, double value)
    : first_(from)
{
    if (from < to) {
        if (to > document.values.size())
            throw std::out_of_range("Parameter range beyond the model");
        before_.assign(document.values.begin() + from, document.values.begin() + to);
    }
    after_.assign(before_.size(), value);
    write(document, after_);
}

void ModelState::ChangeRecordParams::write(ModelState& document, const std::vector<double>& values) const
{
    std::copy(values.begin(), values.end(), document.values.begin() + first_);
}

void ModelState::ChangeRecordParams::undo(ModelState& document)
{
    write(document, before_);
}

void ModelState::ChangeRecordParams::redo(ModelState& document)
{
    write(document, after_);
}

ModelState::ChangeRecordDistMarks::ChangeRecordDistMarks(ModelState& document, unsigned n, PointRangeList marks)
    : distribution_(n), after_(std::move(marks))
{
    document.model.marked_ranges(n, before_);
    redo(document);
}

void ModelState::ChangeRecordDistMarks::undo(ModelState& document)
{
    document.model.set_distribution_marks(distribution_, before_);
}

void ModelState::ChangeRecordDistMarks::redo(ModelState& document)
{
    document.model.set_distribution_marks(distribution_, after_);
}

// Operations as all or nothing: what the outermost transaction keeps of the document and
// how it puts it back. Subspectrum objects stay the same objects; the states that
// operations change inside them (a distribution's points, deviations, marks and axis,
// an automatic baseline's level) are kept beside them.
#include <exception>
#include <utility>

#include "core/document/model_state.h"

namespace {

struct SubSpecState {
    SubSpecPtr subspec;
    unsigned points = 0;
    std::vector<double> deviations;
    PointRangeList marks;
    int axis = -1;
    double level = 0.0;

    explicit SubSpecState(SubSpecPtr s) : subspec(std::move(s))
    {
        if (const auto* d = dynamic_cast<const IDistribution*>(subspec.get())) {
            points = d->point_count();
            deviations = d->point_deviations();
            marks = d->marked_ranges();
            axis = d->axis_param();
        }
        if (const auto* automatic = dynamic_cast<const IAutoBaseLine*>(subspec.get()))
            level = automatic->get_level();
    }

    void put_back() const
    {
        if (auto* d = dynamic_cast<IDistribution*>(subspec.get())) {
            if (d->point_count() != points) {
                const DVector scratch(subspec->param_count(), 0.0);
                std::vector<double> unused;
                d->resize(points, ParamRange(scratch, boost::numeric::ublas::range(0, scratch.size())), unused);
            }
            d->set_point_deviations(0, deviations);
            d->set_marked_ranges(marks);
            d->set_axis_param(axis);
        }
        if (auto* automatic = dynamic_cast<IAutoBaseLine*>(subspec.get()))
            automatic->set_level(level);
    }
};

// A copy of the model without its derived expressions, which follow from its components
// and are large (every area names its parameters): they are built again on the way back.
SpectrumModel without_derived(SpectrumModel& model)
{
    std::vector<NamedExpr> areas = std::move(model.area_exprs);
    std::vector<NamedExpr> relative = std::move(model.relative_area_exprs);
    std::vector<NamedExpr> over_level = std::move(model.level_area_exprs);
    SpectrumModel copy;
    try {
        copy = model;
    } catch (...) {
        model.area_exprs = std::move(areas);
        model.relative_area_exprs = std::move(relative);
        model.level_area_exprs = std::move(over_level);
        throw;
    }
    model.area_exprs = std::move(areas);
    model.relative_area_exprs = std::move(relative);
    model.level_area_exprs = std::move(over_level);
    return copy;
}

}  // namespace

struct ModelState::Kept {
    SpectrumModel model;
    std::vector<SubSpecState> subspecs;
    // The spectrum and the fit matrices are kept only once an operation is about to
    // change them: most steps leave them alone.
    bool spectrum_kept = false;
    SpectrumData data;
    DVector values, fit_values, lower, upper;
    std::vector<int> flags;
    ChangeHistory::Kept spectrum_history, model_history;
    std::weak_ptr<const SpectrumData> last_spectrum;
    bool fit_matrices_kept = false;
    DMatrix covariance, singular_directions;

    explicit Kept(ModelState& d)
        : model(without_derived(d.model)), values(d.values), fit_values(d.fit_values), lower(d.lower_bounds),
          upper(d.upper_bounds), flags(d.flags), spectrum_history(d.spectrum_history.keep()),
          model_history(d.model_history.keep()), last_spectrum(d.last_spectrum_)
    {
        // Components as copies of their own: an operation changes links and layout in place.
        for (auto& c : model.components) {
            c = std::make_shared<SubModel>(*c);
            subspecs.emplace_back(c->subspec);
        }
    }
};

ModelState::Transaction::Transaction(ModelState& document)
    : document_(document), exceptions_(std::uncaught_exceptions())
{
    if (document.kept_)
        return;
    kept_ = std::make_unique<Kept>(document);
    document.kept_ = kept_.get();
}

ModelState::Transaction::~Transaction()
{
    if (!kept_)
        return;
    document_.kept_ = nullptr;
    if (std::uncaught_exceptions() <= exceptions_)
        return;
    Kept& k = *kept_;
    ModelState& d = document_;
    d.model = std::move(k.model);
    if (k.spectrum_kept)
        d.data = std::move(k.data);
    d.values.swap(k.values);
    d.fit_values.swap(k.fit_values);
    d.lower_bounds.swap(k.lower);
    d.upper_bounds.swap(k.upper);
    d.flags.swap(k.flags);
    d.spectrum_history.put_back(k.spectrum_history);
    d.model_history.put_back(k.model_history);
    d.last_spectrum_ = std::move(k.last_spectrum);
    if (k.fit_matrices_kept) {
        d.covariance.swap(k.covariance);
        d.singular_directions.swap(k.singular_directions);
    }
    // Putting a distribution's points and the derived expressions back may need memory;
    // without it the document keeps what it has, and the exception under way still
    // reports the failure.
    try {
        for (const SubSpecState& s : k.subspecs)
            s.put_back();
        d.model.rebuild_derived();
    } catch (...) {
    }
}

void ModelState::keep_spectrum()
{
    if (!kept_ || kept_->spectrum_kept)
        return;
    kept_->data = data;
    kept_->spectrum_kept = true;
}

void ModelState::replace_fit_matrices(DMatrix& new_covariance)
{
    DMatrix empty(0, 0);
    if (kept_ && !kept_->fit_matrices_kept) {
        kept_->covariance.swap(covariance);
        kept_->singular_directions.swap(singular_directions);
        kept_->fit_matrices_kept = true;
    }
    covariance.swap(new_covariance);
    singular_directions.swap(empty);
}

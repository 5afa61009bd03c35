// The document's spectrum edits. Each one follows the same protocol (edit_spectrum): the
// spectrum before the change is kept, the spectrum changes, and one ChangeRecordData on
// the spectrum history holds both states. After a change of the counts the leading
// baseline's level parameter follows the spectrum as a separate model record, so that
// each history is undone by its own command.
#include <cmath>
#include <memory>
#include <stdexcept>
#include <utility>

#include "core/document/change_records.h"
#include "core/model/spectrum_operations.h"
#include "core/spectrum/savitzky_golay.h"
#include "core/text/c_format.h"
#include "core/text/messages.h"

namespace {

// Message 50057: the transform's expression did not compile.
constexpr unsigned msg_error_in_expression = 50057;

// Equal element by element; a NaN equals a NaN, so an unchanged vector holding one is
// not taken for a change.
bool same_values(const DVector& a, const DVector& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(a(i) == b(i) || (std::isnan(a(i)) && std::isnan(b(i)))))
            return false;
    return true;
}

}  // namespace

bool ModelState::edit_spectrum(const std::function<bool()>& change)
{
    const Transaction transaction(*this);
    keep_spectrum();
    data.store_keywords();
    // The spectrum before, exactly: a change that reports none may have touched it on
    // its way; an exception is the transaction's to undo.
    SpectrumData before = data;
    if (!change()) {
        data = std::move(before);
        return false;
    }
    spectrum_history.push(std::make_shared<ChangeRecordData>(*this, before));
    return true;
}

void ModelState::adapt_to_spectrum()
{
    const Transaction transaction(*this);
    DVector adapted = values;
    // The level the model took from the spectrum (1 for a spectrum at level 0): the
    // model's level itself changes only with the spectrum's records.
    model.set_baseline_level(model.level, adapted);
    if (!same_values(adapted, values))
        model_history.push(std::make_shared<ChangeRecordA0>(*this, adapted));
}

void ModelState::clear_spectrum()
{
    const Transaction transaction(*this);
    edit_spectrum([this] {
        data.x_data.clear();
        data.y_data.clear();
        data.std_dev_data.clear();
        data.absorption.reset();
        data.emission = data.absorption.emission_reading();
        return true;
    });
}

void ModelState::delete_points_in_xranges()
{
    const Transaction transaction(*this);
    if (model.xranges.empty())
        return;
    const std::vector<XRange> ranges = model.xranges;
    edit_spectrum([this, &ranges] {
        for (const XRange& r : ranges)
            data.remove_x_interval(r.from, r.to);
        return true;
    });
    model.xranges.clear();
    model_history.push(std::make_shared<ChangeRecordDelXRAll>(ranges, model.xranges));
}

int ModelState::deconvolve_spectrum(DeconvolutionRequest& request)
{
    const Transaction transaction(*this);
    // Fit values of another length belong to another model: the values stand in.
    const bool fitted = request.use_fit_values && fit_values.size() == values.size();
    std::vector<double> counts;
    const int code = model.deconvolve_spectrum_values(
        fitted ? fit_values : values, request.fs * request.chi, request.source_width,
        data.analysis(model.is_emission()).depth, data.x_data, request.largest_e, request.model_width, counts);
    if (code != 0)
        return code;
    edit_spectrum([this, &request, &counts] {
        // The counts are new Poisson draws: deviations stored with the measured counts
        // no longer describe them, so they follow from the new counts.
        std::vector<double> deviations(counts.size());
        for (std::size_t i = 0; i < counts.size(); ++i)
            deviations[i] = std::sqrt(std::fabs(counts[i]));
        data.set_counts_and_std_dev(counts, deviations);
        data.store_keywords();
        KeywordList list = data.keywords;
        std::wstring comment;
        kwlist_find(list, L"Comment", comment);
        const std::wstring entry = (c_format(L"(Deconvolution f\u209B=%.5f, \u03C7=%.5f, \u0393\u209B=%.5f)") %
                                    request.fs % request.chi % request.source_width)
                                       .str();
        kwlist_set(list, L"Comment", comment.empty() ? entry : comment + L" " + entry, 0);
        data.load_keywords(list);
        data.keywords = std::move(list);
        return true;
    });
    adapt_to_spectrum();
    return 0;
}

void ModelState::filter_spectrum(double width)
{
    const Transaction transaction(*this);
    const unsigned half_width = filter_half_width(data.keywords, width);
    if (half_width == 0)
        return;
    std::vector<double> kernel;
    savitzky_golay_coefficients(4, half_width, 0, kernel);
    edit_spectrum([this, &kernel, width] {
        data.apply_filter(kernel);
        append_spectrum_comment((c_format(L"Filter (%.2f)") % width).str());
        return true;
    });
    adapt_to_spectrum();
}

bool ModelState::invert_spectrum()
{
    const Transaction transaction(*this);
    if (data.y_data.empty())
        return false;
    edit_spectrum([this] {
        data.reverse_counts();
        append_spectrum_comment(L"inverse");
        return true;
    });
    adapt_to_spectrum();
    return true;
}

void ModelState::transform_spectrum(const TransformRequest& request)
{
    const Transaction transaction(*this);
    if (!request.expr)
        throw std::runtime_error(MessageText(msg_error_in_expression).to_utf8());
    std::vector<double> counts, deviations;
    transform_counts(*request.expr, request.values, data, counts, deviations);
    edit_spectrum([this, &request, &counts, &deviations] {
        data.set_counts_and_std_dev(counts, deviations);
        append_spectrum_comment(L"Transform(" + request.name + L")");
        return true;
    });
}

bool ModelState::decimate_spectrum()
{
    const Transaction transaction(*this);
    if (!edit_spectrum([this] { return data.decimate_by_2(); }))
        return false;
    adapt_to_spectrum();
    return true;
}

void ModelState::add_spectrum(const SpectrumData& other, const std::wstring& name)
{
    const Transaction transaction(*this);
    edit_spectrum([this, &other, &name] {
        data.add_counts(other);
        append_spectrum_comment(L"Add(" + name + L")");
        return true;
    });
    adapt_to_spectrum();
}

bool ModelState::set_spectrum_count(std::size_t index, double value)
{
    const Transaction transaction(*this);
    if (index >= data.y_data.size())
        return false;
    edit_spectrum([this, index, value] {
        data.y_data[index] = value;
        data.compute_std_dev(data.keywords);
        data.update_analysis();
        return true;
    });
    adapt_to_spectrum();
    return true;
}

void ModelState::scale_areas_to_spectrum()
{
    const Transaction transaction(*this);
    // A baseline's level counts among the area parameters of "Fit area", but it is set
    // from the spectrum just below: it is not an area to scale.
    std::vector<int> areas;
    for (const auto& c : model.components)
        if (!c->is_baseline())
            c->append_area_params(areas);
    adapt_to_spectrum();
    const NamedExpr* total = model.area_exprs.empty() ? nullptr : &model.area_exprs.back();
    if (!total || !total->expr)
        return;
    DVector scaled = values;
    const double t = std::fabs(model.scale) * total->expr->value(scaled);
    if (t == 0.0 || !std::isfinite(t))
        return;
    const double ratio = data.analysis(model.is_emission()).S / t;
    // Areas that already give S (to rounding) are not a change worth an undo step.
    if (std::fabs(ratio - 1.0) <= 1e-12)
        return;
    for (const int i : areas)
        scaled(i) *= ratio;
    model.apply_links(scaled, nullptr);
    if (!same_values(scaled, values))
        model_history.push(std::make_shared<ChangeRecordA0>(*this, scaled));
}

void ModelState::use_difference_as_data()
{
    const Transaction transaction(*this);
    const double level = model.baseline_level(values);
    edit_spectrum([this, level] {
        subtract_model(data, level, model, values);
        return true;
    });
}

void ModelState::simulate_spectrum(unsigned n, double from, double to, bool noise)
{
    const Transaction transaction(*this);
    edit_spectrum([this, n, from, to, noise] {
        simulate(data, n, from, to, noise, model, values);
        return true;
    });
    adapt_to_spectrum();
}

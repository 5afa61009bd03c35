// The document: the spectrum being fitted, the model that fits it, every per-parameter
// vector (values, the last fit's values, bounds, flags) with the last fit's covariance,
// and two undo histories: one for the spectrum and single excluded x-ranges, one for
// every other change. Every change is an undo record that applies itself while it is
// built and is then pushed on one history; views read the public members directly.
//
// Invariant after every operation, n the model's parameter count: values, fit_values,
// lower_bounds, upper_bounds and flags have n entries, entry i for flat index i, and the
// covariance is n × n or empty. Only the user-interface thread touches the document,
// and only while no fit runs.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/document/change_history.h"
#include "core/fit/model_interfaces.h"
#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"

class ModelFileParts;

// What the deconvolution of the source line needs, and what it reports back.
struct DeconvolutionRequest {
    bool use_fit_values = false;
    double fs = 0.0;            // recoilless fraction of the source
    double chi = 0.0;           // probability of the effect in the source
    double source_width = 0.0;  // Γₛ, mm/s
    double largest_e = 0.0;     // out: the largest absorption that failed (code −3)
    double model_width = 0.0;   // out: the model's line width (code −2)
};

// A predefined transform of the counts: its expression is compiled with the parameter
// values as its variables, followed by "v" (velocity) and "I" (count).
struct TransformRequest {
    std::wstring name;
    ExprPtr expr;
    std::vector<double> values;
};

class ModelState : public ILockInfo {
public:
    class ChangeRecordA0;
    class ChangeRecordBounds;
    class ChangeRecordData;
    class ChangeRecordDir;
    class ChangeRecordDistYDev;
    class ChangeRecordDistYDevAll;
    class ChangeRecordDistMarks;
    class ChangeRecordList;
    class ChangeRecordLock;
    class ChangeRecordParam;
    class ChangeRecordParams;
    class ChangeRecordReplaceExpr;
    class ChangeRecordResizeDist;
    class ChangeRecordWholeModel;
    class ChangeRecordModel;
    class ChangeRecordAddModel;
    class ChangeRecordDelModel;
    class ChangeRecordLink;
    class ChangeRecordAddLink;
    class ChangeRecordDelLink;
    class ChangeRecordLinkDist;
    class ChangeRecordAddLinkDist;
    class ChangeRecordDelLinkDist;
    class ChangeRecordExpr;
    class ChangeRecordAddExpr;
    class ChangeRecordDelExpr;
    class ChangeRecordXR;
    class ChangeRecordAddXR;
    class ChangeRecordDelXR;
    class ChangeRecordDelXRAll;

    // All or nothing for every operation, undo and redo: the outermost transaction keeps
    // the whole document (model, subspectrum states, spectrum, vectors, histories) and
    // puts it back when the operation ends by an exception; inner ones do nothing. The
    // spectrum and the fit matrices are kept only when an operation changes them.
    class Transaction;

    // An empty model (absorption) at the levels of an empty spectrum; empty histories.
    ModelState();
    ModelState(const ModelState&) = delete;
    ModelState& operator=(const ModelState&) = delete;

    // std::runtime_error "Invalid variable index" for an index outside the model.
    bool is_varied(unsigned index) const override;

    // ---- Whole-document operations ----

    // All values at once (the fit's results), linked ones recomputed; one record.
    void accept_fit_values(const DVector& new_values);
    // Not recorded: the expressions are compiled again, since they may read the
    // isotope's constants.
    void set_isotope(const Isotope* isotope);
    // Runs a component's property editor; when it reports a change the user
    // expressions are compiled again. Not recorded.
    bool edit_component_properties(ISubSpecProperties& editor);
    // Appends to the spectrum's "Comment" (", " between entries); not recorded.
    void append_spectrum_comment(const std::wstring& text);
    // The model's scale and level from the spectrum's analysis for the model's direction.
    void set_levels_from_spectrum();

    // ---- Model edits (model history unless noted) ----

    // A new component with its starting values from `analysis`, bounds and flags from
    // its descriptors; an area is shared out among the components present, a baseline's
    // level is not. The first component added without the user asking for it does not
    // count as a change.
    void add_component(unsigned index, const SpectrumAnalysis& analysis, SubSpecPtr subspec, bool user_requested);
    // A baseline always goes first, replacing the baseline there.
    void insert_component(unsigned index, SubSpecPtr subspec, const DVector& values, const std::vector<int>& flags,
                          const DVector& lower, const DVector& upper);
    void delete_all_components();
    void add_expression(unsigned index, const std::wstring& name, const std::wstring& text);
    void replace_expression(unsigned index, const std::wstring& name, const std::wstring& text);
    void delete_all_expressions();
    // Spectrum history.
    void add_xrange(const XRange& range);
    void delete_xrange(double from, double to);
    // Replaces a link in place as one step. std::runtime_error (message 50049) for a
    // target that does not exist or an expression that does not compile.
    void add_link(const LinkSpec& spec);
    // Both must be distributions, else nothing; the dependent one takes the target's
    // point count first.
    void link_distribution(unsigned target, unsigned dependent, double factor);
    void unlink_distribution(unsigned component);
    // Fixes or frees weights p1 … p2 of distribution component c; false, nothing
    // recorded, for a point outside it.
    bool fix_distribution_points(unsigned component, unsigned p1, unsigned p2, bool fix);
    void set_direction(bool emission);
    // The statistics grid (point ranges) of distribution number n, as one step; no record
    // when it is already that grid or there is no such distribution.
    void set_distribution_marks(unsigned n, const PointRangeList& marks);
    // flags[from … to−1] ← (flags & ~mask) ^ bits.
    void set_flags(unsigned from, unsigned to, int mask, int bits);
    // One value; its direct dependants follow. A distribution's start or end value
    // re-ranges the distribution's grid.
    void set_param(unsigned index, double value);
    // values[from … to−1] ← value; dependants are not recomputed.
    void set_params(unsigned from, unsigned to, double value);

    // ---- Spectrum edits (spectrum history; the model's levels follow the spectrum) ----

    // The protocol of every spectrum edit: `change` edits `data` and says whether it
    // changed anything; a change becomes one record on the spectrum history and the
    // model's scale and level follow the new analysis. All or nothing: when `change`
    // throws, the spectrum is put back as it was and the exception passes on.
    bool edit_spectrum(const std::function<bool()>& change);
    // An empty spectrum with the default analysis; the values stay.
    void clear_spectrum();
    // Removes the points inside every excluded x-range, then the ranges themselves (one
    // record on each history). Nothing without ranges.
    void delete_points_in_xranges();
    // Codes of SpectrumModel::deconvolve_spectrum_values; only 0 changes the document.
    int deconvolve_spectrum(DeconvolutionRequest& request);
    // Savitzky-Golay smoothing (order 4) over `width` mm/s; nothing for a width of fewer
    // than 2 or more than 1000 channels either side, or a price not above 0.
    void filter_spectrum(double width);
    // Mirrors the counts about the middle of the velocity range; false without counts.
    bool invert_spectrum();
    void transform_spectrum(const TransformRequest& request);
    // Merges pairs of channels; false, nothing changed, for fewer than two points.
    bool decimate_spectrum();
    // Adds the counts of `other` (see SpectrumData::add_counts) as one spectrum edit,
    // with "Add(name)" in the comment; the leading baseline follows the new level.
    void add_spectrum(const SpectrumData& other, const std::wstring& name);
    // The difference to the model (at the values) on the model's baseline level becomes
    // the spectrum. A model that gives a count that is not finite is refused
    // (std::runtime_error, message 50230), changing nothing.
    void use_difference_as_data();
    // A spectrum of n equidistant velocities generated from the model at the values,
    // with Poisson noise when `noise` is set; refused as use_difference_as_data is.
    void simulate_spectrum(unsigned n, double from, double to, bool noise);
    // The count of point `index` becomes `value` (deviations follow unless the spectrum
    // stores its own); false, nothing recorded, for an index outside the counts.
    bool set_spectrum_count(std::size_t index, double value);
    // After the baseline follows the spectrum, every area parameter of the components
    // other than baselines is scaled so that the model's total area equals the
    // spectrum's area S for the model's direction: one record on the model history, none
    // when nothing changes or there is no area.
    void scale_areas_to_spectrum();
    // The leading baseline's level parameter takes the model's level, which follows the
    // spectrum (one record on the model history, none when it already has it).
    void adapt_to_spectrum();

    // ---- Model files ----

    // Replace the model by the file's as one step that empties the model history and
    // drops the spectrum history's x-range records of the old model. All or nothing: on
    // an error (std::runtime_error naming the file and the entry) nothing has changed.
    void load_model_file(const Isotope* isotope, const std::wstring& path, const ModelFileParts& parts);
    void load_model_text(const Isotope* isotope, const std::wstring& text, const ModelFileParts& parts);
    // Writes the model file (the old file is replaced only by a complete new one) and
    // marks the saved state.
    void save_model_file(const std::wstring& path, const ModelFileParts& parts);

    // Lets the user edit the model's keyword list (written from the model first) and
    // reads the model back from it as one undoable step. False when cancelled, or when
    // the edited list does not read: that error is shown (caption "Error") and the
    // document stays as it was.
    bool edit_model_properties(const ModelFileParts& parts);

    // ---- State ----

    SpectrumModel model;
    SpectrumData data;
    DVector values;
    DVector fit_values;
    DVector lower_bounds;
    DVector upper_bounds;
    DMatrix covariance;
    DMatrix singular_directions;
    std::vector<int> flags;
    ChangeHistory spectrum_history;
    ChangeHistory model_history;

    // ---- Component replacement ----

    // The component's subspectrum replaced by another of the same parameter count.
    class ChangeRecordSubSpec;
    // Runs the property editor of component `component` on a copy of its subspectrum
    // (the original may be in use by views until the step is made); when the user
    // changes something, the copy takes the component's place as one step. False,
    // nothing recorded, when nothing changed or the component has no property editor.
    bool edit_component_properties(unsigned component);
    // Distribution component `component`: `replacement` (a copy with other model data,
    // or null) takes its place, then the distribution gets `points` points, as one step;
    // nothing is recorded when neither changes anything.
    void change_distribution(unsigned component, SubSpecPtr replacement, unsigned points);

    // Builds a record (which applies its change) and pushes it on `history`, as one
    // operation: a record that fails, or a push that fails, changes nothing.
    template <class R, class... Args>
    void push_record(ChangeHistory& history, Args&&... args);

    // The spectrum as it is, kept for the running transaction: called before anything
    // changes the spectrum.
    void keep_spectrum();
    // The fit matrices replaced by `covariance` (taken by swapping) and an empty
    // singular-direction matrix; the old ones are kept for the running transaction.
    void replace_fit_matrices(DMatrix& covariance);

private:
    struct Kept;
    // The running transaction's copy of the document; null outside one.
    Kept* kept_ = nullptr;
    // The state after of the latest spectrum record, for the next one to share.
    std::weak_ptr<const SpectrumData> last_spectrum_;

    void take_loaded_model(const Isotope* isotope, SpectrumModel& loaded, DVector& new_values,
                           std::vector<int>& new_flags, DVector& new_lower, DVector& new_upper);
};

class ModelState::Transaction {
public:
    explicit Transaction(ModelState& document);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    // Puts the document back when it ends by an exception that began inside it.
    ~Transaction();

private:
    ModelState& document_;
    std::unique_ptr<Kept> kept_;  // null for an inner transaction
    int exceptions_;
};

template <class R, class... Args>
void ModelState::push_record(ChangeHistory& history, Args&&... args)
{
    const Transaction transaction(*this);
    history.push(std::make_shared<R>(*this, std::forward<Args>(args)...));
}

// The model fitted to a spectrum: an ordered list of components, each a subspectrum
// with a contiguous slice of one flat parameter vector, and what ties the parameters
// together: links (a parameter as a multiple of another parameter or of a user
// expression), the user expressions, the excluded x-ranges, the signed scale that turns
// the component shapes into counts (below 0: absorption), the baseline level, the
// isotope and the keyword list that is the model file.
//
// The parameter values live in the document, indexed by the flat index laid out here.
// Only the UI thread changes a model; the evaluations only read it and may run on many
// threads at once.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/spectrum/isotope.h"
#include "core/text/kwfile.h"
#include "core/text/sum_expression.h"
#include "core/model/colors.h"
#include "core/model/model_records.h"
#include "core/model/named_expr.h"
#include "core/model/sub_model.h"
#include "core/fit/model_interfaces.h"

struct LegacyModelName;

// A derived value with its propagated standard error.
struct ValueWithError {
    double value = 0.0;
    double error = 0.0;
};

// One evaluated statistic of a distribution.
struct DistStatistic {
    std::wstring name;
    std::wstring format;  // printf-style, for the value
    double value = 0.0;
    double error = 0.0;   // propagated standard error
    bool starts_row = false;
};

class SpectrumModel final : public IModel,
                            public IModelWithBaseline,
                            public IModelWithXRanges,
                            public IDepVars,
                            public ILinePosModel,
                            public IModelWithRange,
                            public IDistParams,
                            public IModelWithEG,
                            public Colors::ISubSpColor {
public:
    // No components, scale −1 (absorption), level 0, no isotope.
    SpectrumModel() = default;
    // A copy shares the components (SubModel objects) and the compiled expressions.
    SpectrumModel(const SpectrumModel&) = default;
    SpectrumModel& operator=(const SpectrumModel&) = default;
    ~SpectrumModel() = default;
    void assign(const SpectrumModel& other) { *this = other; }

    // ---- Layout and lookup ----

    // Recomputes every component's first, index, counts and link list (kept entries,
    // new ones not linked) and total_param_count. Needed after every change of the
    // component list and after a component's parameter count changes.
    void layout_params();
    // The component that holds flat index `index`; std::runtime_error "Invalid
    // variable index" beyond the last one.
    SubModel& component_of_param(unsigned index) const;
    bool starts_with_baseline() const;

    // ---- Component list ----

    // Inserts a new component before position `index` (the component count appends;
    // beyond it: std::out_of_range). An automatic baseline takes the model's level as
    // its stored level. Lays out, rebuilds the derived expressions, rewrites the user
    // expressions' component references and recompiles them, and keeps the parameter
    // links right. The document adjusts its value, bound and flag vectors itself.
    void insert_component(unsigned index, SubSpecPtr subspec);
    // Appends a component without any per-parameter vectors (a model of its own, such as
    // the calibration's). A baseline may only start the model: std::runtime_error
    // "Baseline can't be added after the model is populated" when one is there already;
    // an automatic baseline takes the model's level.
    void append_component(SubSpecPtr subspec);
    // The model's level becomes N0; a leading automatic baseline keeps it itself (its
    // level parameter in `values` becomes 0), a leading plain baseline gets it as its
    // level parameter.
    void set_baseline_level(double N0, DVector& values);
    // Keeps every link to a parameter right after component `index` was inserted or
    // removed: a link to the removed component becomes not linked (its target and
    // factor stay), links behind it move with their targets.
    void shift_param_links(unsigned index, bool removed);
    // Rewrites the component references of every user expression for the inserted or
    // removed component and compiles it again.
    void rewrite_expression_refs(unsigned index, bool removed);
    // `text` with every reference "[t:" renumbered after a component was inserted at
    // `index` (t ≥ index becomes t + 1) or deleted there (t > index becomes t − 1,
    // t = index becomes "?", so the text no longer compiles).
    static std::wstring rewrite_component_refs(const std::wstring& text, unsigned index, bool deleting);
    // Appends the links that deleting `component` loses, for the undo to restore: its
    // own links to parameters and expressions, then every link of the model (its own
    // included) to one of its parameters.
    void collect_component_links(const SubModel& component, std::vector<LinkSpec>& out) const;

    // ---- Component lines ----

    // Reads the parameter part of a component line (everything after "Name:", see
    // core/model/component_line.h) for the new component `subspec` and appends its
    // values, flags (ParamFree unless "F") and bounds to the four vectors; the model data
    // go to the subspectrum. With `links`, each "L" request is appended as written
    // (target counted from 1, dependent component 0, dependent parameter its index);
    // without, "L" is ignored. `legacy` (or null) is the legacy entry of the line's name,
    // whose renames let old parameter names read. Parameters the line does not name
    // keep their starting values, fixed. All or nothing: std::runtime_error (messages
    // 50042 to 50045; 50043 for a distribution that got no points) leaves the vectors
    // and `links` as they were.
    static void parse_component_line(std::wstring_view text, SubSpecPtr subspec, DVector& values,
                                     std::vector<int>& flags, DVector& lower, DVector& upper,
                                     std::vector<LinkSpec>* links, const LegacyModelName* legacy);

    // ---- Expression texts ----

    // `text` with the user-expression names "<name>" and the components' extra variables
    // replaced by their texts in parentheses. An expression may use any other user
    // expression, before or after it in the list; a cycle of uses stays unexpanded and
    // so does not compile. Each use is written out in full, so a chain of expressions
    // that each use the next twice doubles with every link: an expansion that would
    // grow beyond max_expanded_length characters throws expression_too_long before it
    // is built.
    std::wstring expand_expression_text(const std::wstring& text) const;
    // The components' extra variables ("[c:I]" and the like), each with the text in
    // parentheses that replaces it, in the order the expansion replaces them: collected
    // once, they serve many expansions.
    std::vector<std::pair<std::wstring, std::wstring>> component_variables() const;
    // expand_expression_text with the component variables collected before.
    std::wstring expand_expression_text(const std::wstring& text,
                                        const std::vector<std::pair<std::wstring, std::wstring>>& variables) const;
    // `text` with the inner text of every bracketed reference "[…]" replaced by its
    // entry in `renames`, when it has one (parameter names of old model files).
    static std::wstring rewrite_refs_on_load(const std::wstring& text,
                                             const std::map<std::wstring, std::wstring>& renames);

    // ---- User expressions ----

    // Compiles every user expression again. Needed after every change of the list, the
    // components or the isotope: an expression's compiled form depends on all of them.
    void compile_expressions();
    // Inserts a user expression at `position` (the list's length appends; beyond it:
    // std::out_of_range), keeps the expression links right and compiles every user
    // expression again, so that those that use the new one by name compile now.
    void insert_expression(unsigned position, const std::wstring& name, const std::wstring& text);
    // Erases user expression `position` (std::out_of_range beyond the list), shifts
    // the expression links and compiles the remaining expressions again.
    void remove_expression(unsigned position);
    // Keeps every link to a user expression right after one was inserted at or
    // removed from `position`.
    void shift_expr_links(unsigned position, bool removed);
    // Every link to a user expression without a compiled form becomes not linked.
    void unlink_uncompiled_expressions();

    // ---- Links ----

    // Writes the link of `spec` at its dependent parameter (std::out_of_range when that
    // does not exist). A target that does not exist, or a user expression that did not
    // compile, throws std::runtime_error (message 50049) and changes nothing.
    void set_link(const LinkSpec& spec);
    // The name of a link's target: "[c]" and the parameter's name, the user expression's
    // name ("<E%u>" when it has none), or nothing when not linked. std::out_of_range for
    // a target that does not exist.
    std::wstring describe_link(const LinkSpec& spec) const;
    // describe_link of parameter j's link, without "[c]" when the target is in the same
    // component.
    std::wstring link_source_text(const SubModel& component, unsigned j) const;
    // The standard error of parameter j through its link: its own variance, or the
    // target's error times |factor|. An expression target that does not exist or did not
    // compile gives NaN. std::out_of_range when the covariance matrix does not cover the
    // indices.
    double param_std_error(const SubModel& component, unsigned j, const DVector& values,
                           const DMatrix& covariance) const;

    // ---- Derived expressions ----

    // Rebuilds area_exprs (each component's area, then the total), relative_area_exprs
    // (each component's share of the total in percent) and level_area_exprs (each area,
    // then the total, over the baseline level), aligned with the component indices: an
    // entry that cannot be formed has an empty text and no compiled expression.
    void rebuild_derived();
    // Value and standard error of relative_area_exprs entry i; −1, error untouched, when
    // it has no compiled expression.
    double derived_value_with_variance(unsigned i, const DVector& values, const DMatrix& covariance,
                                       double& error) const;
    // Every entry of relative_area_exprs at once with its standard error, nothing for an
    // entry without a compiled expression or while an area it divides by has none. One
    // sweep over the covariance serves all of them: what a single entry costs through its
    // expression (the total area's gradient reaches every area parameter).
    std::vector<std::optional<ValueWithError>> relative_areas(const DVector& values, const DMatrix& covariance) const;
    // Appends the flat indices of every component's area parameters, in model order.
    void area_param_indices(std::vector<int>& out) const;

    // ---- Distributions, numbered from 0 among the distribution components ----

    // The component of distribution n; null when there are fewer.
    SubModel* distribution_at(unsigned n) const;
    // The flat index of the i-th area parameter (weight) of distribution n; false when
    // there is none.
    bool distribution_point_param(unsigned n, unsigned i, unsigned& index) const;
    // Appends the statistics of points a … b of distribution n, each with its standard
    // error from the covariance (0 for an empty matrix); nothing when there is no such
    // distribution, std::out_of_range unless a ≤ b < N.
    void distribution_statistics(unsigned n, unsigned a, unsigned b, const DVector& values, const DMatrix& covariance,
                                 std::vector<DistStatistic>& out) const;
    // Writes distribution n as spectrum data: "Comment" and "VelocitySpectrumStdDev"
    // with one line per point (abscissa, weight and its error in percent of the weight
    // sum). Errors are 0 while the covariance does not cover the weights (no fit yet).
    // Nothing when there is no such distribution.
    void distribution_as_data(const std::wstring& prefix, unsigned n, const DVector& values,
                              const DMatrix& covariance, KeywordList& out) const;

    // ---- Levels and spectrum operations ----

    // Brings the scale and the baseline level in line with a spectrum of area S and
    // level N0 (each 0 taken as 1): the scale becomes |S| with the sign of the model's
    // direction, the level N0, and a leading automatic baseline keeps N0 as its stored
    // level. Rebuilds the derived expressions.
    void set_levels(double S, double N0);
    // The counts of the spectrum that a source line of width Γₛ (source_width) would
    // have given, from the model's first distribution of Lorentz singlets at `values`:
    // each line's width is reduced by Γₛ, the absorption E taken through the resonance
    // of the source (fₛ·χ = fs_chi), the result scaled to `depth` under the baseline
    // level and drawn as Poisson counts. `out` gets one count per x. Codes: 0 done;
    // −1 no leading baseline, no second component, no distribution of Lorentz lines or
    // a baseline level not above 0; −2 Γₛ ≥ Γ (width holds Γ); −3 the absorption
    // reaches fₛ·χ somewhere (largest_e holds the largest such E). Only 0 leaves `out`
    // complete.
    int deconvolve_spectrum_values(const DVector& values, double fs_chi, double source_width, double depth,
                                   const std::vector<double>& x, double& largest_e, double& width,
                                   std::vector<double>& out) const;

    // ---- IModel ----

    unsigned param_count() const override { return total_param_count; }
    void evaluate_component(unsigned component, const DVector& x, const DVector& params,
                            DVector& out) const override;
    void evaluate_range_with_jacobian(const DVector& x, std::size_t first, std::size_t count,
                                      const DVector& params, const ExprGradients& gradients, DVector& out,
                                      DMatrix& jacobian) const override;
    void evaluate(const DVector& x, std::size_t first, std::size_t count, const DVector& params,
                  DVector& out) const override;
    bool has_components() const override { return !components.empty(); }
    bool is_emission() const override { return !(scale < 0.0); }
    unsigned component_count() const override { return static_cast<unsigned>(components.size()); }
    bool set_distribution_abscissa(unsigned component, unsigned param) override;
    void set_distribution_marks(unsigned distribution, const PointRangeList& marks) override;

    // ---- IModelWithBaseline ----

    void to_percent_of_level(const DVector& x, const DVector& params, DVector& values) const override;
    double baseline_level(const DVector& params) const override;
    double baseline_level_error(const DMatrix& covariance) const override;
    bool baseline_values(const DVector& x, const DVector& params, DVector& out) const override;
    bool is_level_param(unsigned index) const override;

    // ---- IModelWithXRanges ----

    unsigned xrange_count() const override { return static_cast<unsigned>(xranges.size()); }
    // std::out_of_range for an index beyond the list.
    void get_xrange(unsigned index, double& from, double& to) const override;

    // ---- IDepVars ----

    void dependent_mask(std::vector<int>& mask) const override;
    // One pass over the components and their parameters in order: a linked value is
    // recomputed from its target's value at that point of the pass. With `gradients`,
    // the list is resized to the number of user expressions and entry e receives the
    // gradient of expression e wherever a parameter is linked to it. A link whose
    // target does not exist leaves its value alone. std::out_of_range when `values`
    // is shorter than the parameter count.
    void apply_links(DVector& values, ExprGradients* gradients) const override;

    // ---- ILinePosModel, IModelWithRange ----

    void line_positions(unsigned component, const DVector& params,
                        std::vector<std::vector<double>>& groups) const override;
    void velocity_range(const DVector& params, double& low, double& high) const override;

    // ---- IDistParams ----

    void scaled_point_params(const SpectrumAnalysis& analysis, std::vector<DistPointParams>& out) const override;
    void point_params(std::vector<DistPointParams>& out) const override;
    bool distributed_param(unsigned n, const DVector& params, double& first, double& last,
                           std::wstring& name) const override;
    unsigned component_index(unsigned n) const override;
    void marked_ranges(unsigned n, PointRangeList& out) const override;

    // ---- IModelWithEG ----

    unsigned graph_count(unsigned i) const override;
    void graph_with_errors(unsigned i, unsigned curve, const DVector& params, const DMatrix& covariance,
                           std::vector<double>& x, std::vector<double>& y,
                           std::vector<double>& y_errors) const override;
    void graph(unsigned i, unsigned curve, const DVector& params, std::vector<double>& x,
               std::vector<double>& y) const override;
    void axis_names(unsigned i, unsigned curve, std::wstring& x_name, std::wstring& y_name) const override;

    // ---- Colors::ISubSpColor ----

    COLORREF color_of(unsigned i) const override;

    // ---- Fields ----

    ComponentList components;
    std::uint32_t total_param_count = 0;
    // Baselines are added unscaled, every other component multiplied by it; negative
    // means absorption.
    double scale = -1.0;
    double level = 0.0;  // baseline level N0; an automatic baseline's stored level
    std::vector<XRange> xranges;
    std::vector<NamedExpr> expressions;  // a link to an expression names its position
    std::vector<NamedExpr> area_exprs;
    std::vector<NamedExpr> relative_area_exprs;
    std::vector<NamedExpr> level_area_exprs;
    KeywordList keywords;
    const Isotope* isotope = nullptr;  // not owned

private:
    // Each component's area text (ISubSpecArea), empty for a component without one.
    std::vector<std::wstring> component_area_texts() const;
    // The flat index of a link's target parameter; false when it does not exist.
    bool link_target_index(const ParamLink& link, std::size_t& target) const;
    // The user expression a link names; null when it does not exist or did not compile.
    const IExpr* link_expression(const ParamLink& link) const;
    // Moves the Jacobian column of every linked parameter onto the parameters it
    // depends on (chain rule) and clears it.
    void carry_links(const ExprGradients& gradients, std::size_t rows, DMatrix& jacobian) const;
};

// Sets the stored level of an automatic baseline; std::runtime_error for any other
// subspectrum.
void set_auto_baseline_level(ISubSpec& subspec, double level);

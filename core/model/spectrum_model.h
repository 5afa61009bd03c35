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
#include <string>
#include <vector>

#include "core/isotope.h"
#include "core/kwfile.h"
#include "core/model/colors.h"
#include "core/model/model_records.h"
#include "core/model/named_expr.h"
#include "core/model/sub_model.h"
#include "core/model_interfaces.h"

class SpectrumModel final : public IModel, public IModelWithXRanges, public IDepVars, public Colors::ISubSpColor {
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
    // its stored level. Lays out, rewrites the user expressions' component references
    // and recompiles them, and keeps the parameter links right. The document adjusts
    // its value, bound and flag vectors itself.
    void insert_component(unsigned index, SubSpecPtr subspec);
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

    // ---- User expressions ----

    void compile_expressions();
    // Erases user expression `position` (std::out_of_range beyond the list), shifts
    // the expression links and compiles the remaining expressions again.
    void remove_expression(unsigned position);
    // Keeps every link to a user expression right after one was inserted at or
    // removed from `position`.
    void shift_expr_links(unsigned position, bool removed);
    // Every link to a user expression without a compiled form becomes not linked.
    void unlink_uncompiled_expressions();

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

// The undo records of the document. Each holds what it needs to bring the document
// back to the state before its change and forward to the state after; its constructor
// applies the change. Undo and redo trust the history order: every later record of the
// same history has been undone first.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/document/model_state.h"

// All values at once, linked values recomputed. Undo writes the kept values as they
// were, linked ones included.
class ModelState::ChangeRecordA0 : public ChangeRecordBase {
public:
    ChangeRecordA0(ModelState& document, const DVector& after);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    DVector before_, after_;
};

// The bounds of one parameter; the caller supplies both states.
class ModelState::ChangeRecordBounds : public ChangeRecordBase {
public:
    ChangeRecordBounds(ModelState& document, unsigned index, double old_lower, double old_upper, double new_lower,
                       double new_upper);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    void write(ModelState& document, double lower, double upper) const;
    double old_lower_, old_upper_, new_lower_, new_upper_;
    unsigned index_;
};

// The whole spectrum (points, deviations, analysis and keyword list) before and after;
// the caller has changed the spectrum already. Undo and redo give back exactly the
// spectra that were, not their texts read again. A state before equal to the one the
// previous spectrum record kept as its state after is shared with it: one edit after
// another keeps each spectrum once.
class ModelState::ChangeRecordData : public ChangeRecordBase {
public:
    // The state before as its keyword list; a list that does not read stands for an
    // empty spectrum.
    ChangeRecordData(ModelState& document, const KeywordList& before);
    ChangeRecordData(ModelState& document, const SpectrumData& before);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    void take_after(ModelState& document);
    static void load(ModelState& document, const SpectrumData& state);
    std::shared_ptr<const SpectrumData> before_, after_;
};

// Absorption or emission, with the levels of that reading of the spectrum.
class ModelState::ChangeRecordDir : public ChangeRecordBase {
public:
    ChangeRecordDir(ModelState& document, bool emission);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    static void apply(ModelState& document, bool emission);
    bool before_, after_;
};

// Point deviations of distribution number n (among the distributions) from a point on.
class ModelState::ChangeRecordDistYDev : public ChangeRecordBase {
public:
    // v ≥ 0: the points [first, end) get v; v < 0: each is multiplied by |v| and held
    // to [10^−2.5, 10^2.5].
    ChangeRecordDistYDev(ModelState& document, unsigned n, unsigned first, unsigned end, double v);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

protected:
    ChangeRecordDistYDev(ModelState& document, unsigned n, std::vector<double> after);
    void write(ModelState& document, const std::vector<double>& deviations) const;

    unsigned distribution_, first_ = 0;
    std::vector<double> before_, after_;
};

class ModelState::ChangeRecordDistYDevAll : public ModelState::ChangeRecordDistYDev {
public:
    ChangeRecordDistYDevAll(ModelState& document, unsigned n, std::vector<double> after)
        : ChangeRecordDistYDev(document, n, std::move(after))
    {
    }
};

// The statistics grid (marked point ranges) of distribution number n.
class ModelState::ChangeRecordDistMarks : public ChangeRecordBase {
public:
    ChangeRecordDistMarks(ModelState& document, unsigned n, PointRangeList marks);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    unsigned distribution_;
    PointRangeList before_, after_;
};

// Records built one after another, undone and redone as one step.
class ModelState::ChangeRecordList : public ChangeRecordBase {
public:
    explicit ChangeRecordList(std::vector<ChangeRecordPtr> records) : records_(std::move(records)) {}
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;
    const std::vector<ChangeRecordPtr>& records() const { return records_; }

private:
    std::vector<ChangeRecordPtr> records_;
};

// flags[from … to−1] ← (flags & ~mask) ^ bits.
class ModelState::ChangeRecordLock : public ChangeRecordBase {
public:
    ChangeRecordLock(ModelState& document, unsigned from, unsigned to, int mask, int bits);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    void write(ModelState& document, const std::vector<int>& flags) const;
    unsigned first_;
    std::vector<int> before_, after_;
};

// One value; parameters linked directly to it, or to an expression that reads it,
// follow. Their values before are kept: they need not have matched their link.
class ModelState::ChangeRecordParam : public ChangeRecordBase {
public:
    ChangeRecordParam(ModelState& document, unsigned index, double value);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    // Calls visit(flat index, link, expression or null) for each direct dependant.
    template <class Visit>
    void for_each_dependant(const ModelState& document, Visit visit) const;
    void propagate(ModelState& document) const;
    unsigned index_;
    double before_, after_;
    std::vector<std::pair<unsigned, double>> dependants_before_;
};

// values[from … to−1] ← one value.
class ModelState::ChangeRecordParams : public ChangeRecordBase {
public:
    ChangeRecordParams(ModelState& document, unsigned from, unsigned to, double value);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    void write(ModelState& document, const std::vector<double>& values) const;
    unsigned first_;
    std::vector<double> before_, after_;
};

// A user expression's name and text. Links that lose their expression (it, or one that
// uses it, no longer compiles) are kept and come back on undo.
class ModelState::ChangeRecordReplaceExpr : public ChangeRecordBase {
public:
    ChangeRecordReplaceExpr(ModelState& document, unsigned index, std::wstring name, std::wstring text);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    void apply(ModelState& document, const std::wstring& name, const std::wstring& text) const;
    unsigned index_;
    std::wstring old_name_, old_text_, new_name_, new_text_;
    std::vector<LinkSpec> lost_links_;
};

// A distribution's point count, with its followers and every per-parameter vector.
class ModelState::ChangeRecordResizeDist : public ChangeRecordBase {
public:
    ChangeRecordResizeDist(ModelState& document, unsigned component, unsigned points);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    void apply(ModelState& document, const DVector& input) const;
    unsigned component_, points_;
    DVector values_, fit_values_, lower_, upper_;
    std::vector<int> flags_;
    // Point counts, deviations and marks of every distribution, in model order: a resize
    // reaches the followers and the distribution followed too.
    std::vector<unsigned> point_counts_;
    std::vector<std::vector<double>> deviations_;
    std::vector<PointRangeList> marks_;
    // Every component's links: followers are unlinked and linked again.
    std::vector<std::vector<ParamLink>> links_;
};

// The whole model with every per-parameter vector (the velocity calibration).
class ModelState::ChangeRecordWholeModel : public ChangeRecordBase {
public:
    ChangeRecordWholeModel(ModelState& document, const SpectrumModel& model, const DVector& values,
                           const std::vector<int>& flags, const DVector& lower, const DVector& upper);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

private:
    struct State {
        SpectrumModel model;
        DVector values, fit_values, lower, upper;
        std::vector<int> flags;
    };
    // A model whose components are its own copies, so later edits of the live
    // model's components do not reach the kept state.
    static SpectrumModel own_copy(const SpectrumModel& model);
    static void apply(ModelState& document, const State& state);
    State before_, after_;
};

// A whole component with its slice of every per-parameter vector, the links of its
// parameters and into it, and the user-expression texts that its removal rewrites.
class ModelState::ChangeRecordModel : public ChangeRecordBase {
protected:
    ChangeRecordModel() = default;
    void insert_component(ModelState& document) const;
    // Keeps the links to user expressions that the removal leaves without a compiled
    // form, for insert_component to put back.
    void remove_component(ModelState& document);

    SubSpecPtr subspec_;
    unsigned index_ = 0;
    COLORREF color_ = 0;
    std::vector<LinkSpec> links_;
    DVector values_, fit_values_, lower_, upper_;
    std::vector<int> flags_;
    std::vector<std::pair<std::wstring, std::wstring>> expressions_;
    std::vector<LinkSpec> lost_expression_links_;
};

class ModelState::ChangeRecordAddModel : public ModelState::ChangeRecordModel {
public:
    ChangeRecordAddModel(ModelState& document, unsigned index, SubSpecPtr subspec, const DVector& values,
                         const std::vector<int>& flags, const DVector& lower, const DVector& upper);
    void undo(ModelState& document) override { remove_component(document); }
    void redo(ModelState& document) override { insert_component(document); }
};

class ModelState::ChangeRecordDelModel : public ModelState::ChangeRecordModel {
public:
    ChangeRecordDelModel(ModelState& document, unsigned index);
    void undo(ModelState& document) override { insert_component(document); }
    void redo(ModelState& document) override { remove_component(document); }
};

// One parameter link with the dependent parameter's value while not linked and while
// linked.
class ModelState::ChangeRecordLink : public ChangeRecordBase {
protected:
    ChangeRecordLink(ModelState& document, const LinkSpec& spec);
    // The link written and the value taken from the target (kept for undo and redo).
    void link_and_compute(ModelState& document);
    void apply_link(ModelState& document) const;
    void remove_link(ModelState& document) const;

    LinkSpec spec_;
    double unlinked_value_;
    double linked_value_;
};

class ModelState::ChangeRecordAddLink : public ModelState::ChangeRecordLink {
public:
    ChangeRecordAddLink(ModelState& document, const LinkSpec& spec);
    void undo(ModelState& document) override { remove_link(document); }
    void redo(ModelState& document) override { apply_link(document); }
};

class ModelState::ChangeRecordDelLink : public ModelState::ChangeRecordLink {
public:
    ChangeRecordDelLink(ModelState& document, const LinkSpec& spec);
    void undo(ModelState& document) override { apply_link(document); }
    void redo(ModelState& document) override { remove_link(document); }
};

// The weights of a distribution following another distribution (or, target =
// dependent, its own largest weight). The weights' links before the change are kept,
// so undo gives back exactly those.
class ModelState::ChangeRecordLinkDist : public ChangeRecordBase {
protected:
    ChangeRecordLinkDist(ModelState& document, unsigned target, unsigned dependent, double factor);
    void apply_link(ModelState& document) const;
    void restore_links(ModelState& document) const;

    unsigned target_, dependent_;
    double factor_;
    std::vector<ParamLink> links_before_;
};

class ModelState::ChangeRecordAddLinkDist : public ModelState::ChangeRecordLinkDist {
public:
    ChangeRecordAddLinkDist(ModelState& document, unsigned target, unsigned dependent, double factor);
    void undo(ModelState& document) override;
    void redo(ModelState& document) override { apply_link(document); }

private:
    DVector values_before_;
};

class ModelState::ChangeRecordDelLinkDist : public ModelState::ChangeRecordLinkDist {
public:
    ChangeRecordDelLinkDist(ModelState& document, unsigned target, unsigned dependent, double factor);
    void undo(ModelState& document) override { restore_links(document); }
    void redo(ModelState& document) override;
};

// One user expression; the links to it are kept so that a deleted expression comes
// back with them.
class ModelState::ChangeRecordExpr : public ChangeRecordBase {
protected:
    ChangeRecordExpr(unsigned index, std::wstring name, std::wstring text)
        : index_(index), name_(std::move(name)), text_(std::move(text))
    {
    }
    void insert_expression(ModelState& document) const;
    void remove_expression(ModelState& document);

    unsigned index_;
    std::wstring name_, text_;
    std::vector<LinkSpec> links_;
};

class ModelState::ChangeRecordAddExpr : public ModelState::ChangeRecordExpr {
public:
    ChangeRecordAddExpr(ModelState& document, unsigned index, std::wstring name, std::wstring text);
    void undo(ModelState& document) override { remove_expression(document); }
    void redo(ModelState& document) override { insert_expression(document); }
};

class ModelState::ChangeRecordDelExpr : public ModelState::ChangeRecordExpr {
public:
    ChangeRecordDelExpr(ModelState& document, unsigned index);
    void undo(ModelState& document) override { insert_expression(document); }
    void redo(ModelState& document) override { remove_expression(document); }
};

// A change of the excluded x-ranges, kept as the change itself: the run of ranges it
// took out and the run it put in at one place. Undo and redo exchange the two runs, so
// a range added meanwhile through the other history stays.
class ModelState::ChangeRecordXR : public ChangeRecordBase {
public:
    bool outlives_model() const override { return false; }
    void undo(ModelState& document) override;
    void redo(ModelState& document) override;

protected:
    ChangeRecordXR(const std::vector<XRange>& before, const std::vector<XRange>& after);

private:
    static void exchange(std::vector<XRange>& list, std::size_t position, const std::vector<XRange>& out,
                         const std::vector<XRange>& in);
    std::size_t position_;
    std::vector<XRange> removed_, inserted_;
};

class ModelState::ChangeRecordAddXR : public ModelState::ChangeRecordXR {
public:
    ChangeRecordAddXR(const std::vector<XRange>& before, const std::vector<XRange>& after)
        : ChangeRecordXR(before, after)
    {
    }
};

class ModelState::ChangeRecordDelXR : public ModelState::ChangeRecordXR {
public:
    ChangeRecordDelXR(const std::vector<XRange>& before, const std::vector<XRange>& after)
        : ChangeRecordXR(before, after)
    {
    }
};

class ModelState::ChangeRecordDelXRAll : public ModelState::ChangeRecordXR {
public:
    ChangeRecordDelXRAll(const std::vector<XRange>& before, const std::vector<XRange>& after)
        : ChangeRecordXR(before, after)
    {
    }
};

// One component's subspectrum object exchanged for another with the same parameters
// (its model data edited); the user expressions are compiled again either way, since
// they may read the model data.
class ModelState::ChangeRecordSubSpec : public ChangeRecordBase {
public:
    // std::invalid_argument, nothing changed, when the parameter counts differ.
    ChangeRecordSubSpec(ModelState& document, unsigned component, SubSpecPtr replacement);
    void undo(ModelState& document) override { apply(document, before_); }
    void redo(ModelState& document) override { apply(document, after_); }

private:
    void apply(ModelState& document, const SubSpecPtr& subspec) const;
    unsigned component_;
    SubSpecPtr before_, after_;
};

// Random sequences of every document edit, with undo, redo and saves in between: undoing
// everything gives back the start exactly, redoing everything the end, the document never
// counts as unchanged while it differs from its saved state, and every saved file reads
// back to the model that was saved. Failures are injected on the way (an allocation that
// fails at a random point of an edit, an undo or a redo; components that cannot be added;
// models without finite counts; model files that do not read): each leaves the document,
// its keyword texts and its histories exactly as they were, and says why.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>

#include "core/document/change_records.h"
#include "core/text/text.h"
#include "core/document/model_file.h"
#include "tests/support/allocation_failures.h"
#include "tests/support/model_file_test_parts.h"
#include "tests/support/spectrum_texts.h"

namespace {

// Every text the document would write: its model file and its spectrum's list.
std::wstring keyword_texts(const ModelState& d)
{
    SpectrumModel model = d.model;
    write_model_keywords(model, d.values, d.flags, d.lower_bounds, d.upper_bounds,
                         document_test::TestModelFileParts());
    SpectrumData data = d.data;
    data.store_keywords();
    return kwlist_to_string(model.keywords) + L"\n" + kwlist_to_string(data.keywords);
}

// What a failed step must leave as it was.
struct DocumentState {
    document_test::Snapshot snapshot;
    std::wstring texts;
    std::size_t model_records, spectrum_records;
    bool can_undo_model, can_redo_model, can_undo_spectrum, can_redo_spectrum, modified;

    explicit DocumentState(const ModelState& d)
        : snapshot(d), texts(keyword_texts(d)), model_records(d.model_history.records().size()),
          spectrum_records(d.spectrum_history.records().size()), can_undo_model(d.model_history.can_undo()),
          can_redo_model(d.model_history.can_redo()), can_undo_spectrum(d.spectrum_history.can_undo()),
          can_redo_spectrum(d.spectrum_history.can_redo()), modified(d.model_history.is_modified())
    {
    }

    std::string difference(const DocumentState& o) const
    {
        if (const std::string s = snapshot.difference(o.snapshot); !s.empty())
            return s;
        if (texts != o.texts)
            return "keyword texts";
        if (model_records != o.model_records || spectrum_records != o.spectrum_records ||
            can_undo_model != o.can_undo_model || can_redo_model != o.can_redo_model ||
            can_undo_spectrum != o.can_undo_spectrum || can_redo_spectrum != o.can_redo_spectrum ||
            modified != o.modified)
            return "histories";
        return "";
    }
};

using document_test::Snapshot;

// What a saved model file gives back: every component, range, expression and bound as it
// was, every value that no link computes, the free flags, locks over whole components,
// and every link that the file can carry.
void expect_file_gives_back(const ModelState& saved, const ModelState& loaded)
{
    const SpectrumModel& a = saved.model;
    const SpectrumModel& b = loaded.model;
    ASSERT_EQ(a.component_count(), b.component_count());
    EXPECT_EQ(a.xranges, b.xranges);
    ASSERT_EQ(a.expressions.size(), b.expressions.size());
    for (std::size_t e = 0; e < a.expressions.size(); ++e)
        EXPECT_EQ(a.expressions[e].text, b.expressions[e].text);
    EXPECT_EQ(a.is_emission(), b.is_emission());
    for (const auto& c : a.components) {
        const SubModel& d = *b.components[c->index];
        EXPECT_EQ(c->subspec->display_name(), d.subspec->display_name());
        EXPECT_EQ(c->color, d.color);
        bool locked = false;
        for (unsigned j = 0; j < c->count; ++j)
            locked = locked || (saved.flags[c->first + j] & ParamLocked);
        for (unsigned j = 0; j < c->count; ++j) {
            const unsigned i = c->first + j;
            EXPECT_TRUE(document_test::same_bits(saved.lower_bounds(i), loaded.lower_bounds(i)));
            EXPECT_TRUE(document_test::same_bits(saved.upper_bounds(i), loaded.upper_bounds(i)));
            EXPECT_EQ(saved.flags[i] & ParamFree, loaded.flags[i] & ParamFree);
            EXPECT_EQ(locked, (loaded.flags[i] & ParamLocked) != 0);
            const ParamLink& l = c->links[j];
            if (d.links[j].kind != NotLinked)
                EXPECT_EQ(d.links[j], l);
            else if (l.kind == NotLinked)
                EXPECT_TRUE(document_test::same_bits(saved.values(i), loaded.values(i)));
        }
    }
}

class RandomEditor {
public:
    RandomEditor(ModelState& d, unsigned seed) : d_(d), rng_(seed) {}

    unsigned pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(rng_); }
    // Small numbers with exact binary forms, some negative.
    double number() { return (static_cast<int>(pick(81)) - 40) / 8.0; }
    unsigned components() const { return d_.model.component_count(); }
    unsigned params() const { return d_.model.param_count(); }

    // The component numbers of the distributions.
    std::vector<unsigned> distributions() const
    {
        std::vector<unsigned> out;
        for (const auto& c : d_.model.components)
            if (c->distribution())
                out.push_back(c->index);
        return out;
    }

    SubSpecPtr new_component()
    {
        switch (pick(6)) {
        case 0: return model_test::baseline();
        case 1: return model_test::auto_baseline();
        case 2:
        case 3: return document_test::distribution(3 + pick(5));
        default: return model_test::lorentz();
        }
    }

    std::wstring expression_text()
    {
        if (pick(6) == 0)
            return L"((";  // does not compile
        if (!d_.model.expressions.empty() && pick(3) == 0)
            return L"<" + d_.model.expressions[pick(static_cast<unsigned>(d_.model.expressions.size()))].name + L">*2";
        if (components() == 0)
            return L"1.5";
        const SubModel& c = *d_.model.components[pick(components())];
        const std::wstring name = c.subspec->param_info(pick(c.count)).name;
        return L"[" + std::to_wstring(c.index) + L":" + name + L"]*2+1";
    }

    // One random edit; nothing when it has nothing to work on.
    void edit()
    {
        const auto& exprs = d_.model.expressions;
        const unsigned n_expr = static_cast<unsigned>(exprs.size());
        last_edit_ = pick(31);
        switch (last_edit_) {
        case 0:
        case 1:
            d_.add_component(pick(components() + 1), SpectrumAnalysis(), new_component(), true);
            break;
        case 2:
            if (components() > 0)
                d_.push_record<ModelState::ChangeRecordDelModel>(d_.model_history, pick(components()));
            break;
        case 3:
            if (pick(8) == 0)
                d_.delete_all_components();
            break;
        case 4:
            d_.add_expression(pick(n_expr + 1), L"E" + std::to_wstring(next_name_++), expression_text());
            break;
        case 5:
            if (n_expr > 0)
                d_.replace_expression(pick(n_expr), L"E" + std::to_wstring(next_name_++), expression_text());
            break;
        case 6:
            if (n_expr > 0)
                d_.push_record<ModelState::ChangeRecordDelExpr>(d_.model_history, pick(n_expr));
            else if (pick(4) == 0)
                d_.delete_all_expressions();
            break;
        case 7: {
            const double a = pick(20) - 10.0;
            d_.add_xrange({a, a + 1.0 + pick(4)});
            break;
        }
        case 8: {
            const double a = pick(20) - 10.0 + 0.5;
            d_.delete_xrange(a, a + pick(3));
            break;
        }
        case 9:
        case 10:
            if (params() > 0) {
                const SubModel& dep = *d_.model.components[pick(components())];
                LinkSpec s{0, 0, LinkToParam, dep.index, pick(dep.count), number()};
                if (pick(3) == 0 && n_expr > 0) {
                    s.kind = LinkToExpr;
                    s.target_component = pick(n_expr);
                } else {
                    const SubModel& target = *d_.model.components[pick(components())];
                    s.target_component = target.index;
                    s.target_param = pick(target.count);
                }
                d_.add_link(s);
            }
            break;
        case 11: {
            const std::vector<unsigned> ds = distributions();
            if (!ds.empty())
                d_.link_distribution(ds[pick(ds.size())], ds[pick(ds.size())], pick(2) ? 1.0 : number());
            break;
        }
        case 12:
            if (components() > 0)
                d_.unlink_distribution(pick(components()));
            break;
        case 13:
            if (components() > 0)
                d_.fix_distribution_points(pick(components()), pick(6), pick(8), pick(2) == 0);
            break;
        case 14:
            d_.set_direction(pick(2) == 0);
            break;
        case 15:
            if (params() > 0) {
                const unsigned from = pick(params());
                d_.set_flags(from, from + pick(params() - from + 1), static_cast<int>(pick(4)),
                             static_cast<int>(pick(4)));
            }
            break;
        case 16:
        case 17:
            if (params() > 0)
                d_.set_param(pick(params()), number());
            break;
        case 18:
            if (params() > 0) {
                const unsigned from = pick(params());
                d_.set_params(from, from + pick(params() - from + 1), number());
            }
            break;
        case 19:
            if (params() > 0) {
                DVector v = d_.values;
                v(pick(params())) = number();
                d_.accept_fit_values(v);
            }
            break;
        case 20: {
            const std::vector<unsigned> ds = distributions();
            if (!ds.empty()) {
                const unsigned k = ds[pick(ds.size())];
                const unsigned now = d_.model.components[k]->distribution()->point_count();
                const unsigned points = 2 + pick(10);
                if (points != now)
                    d_.push_record<ModelState::ChangeRecordResizeDist>(d_.model_history, k, points);
            }
            break;
        }
        case 21: {
            const std::vector<unsigned> ds = distributions();
            if (!ds.empty()) {
                const unsigned n = pick(ds.size());
                const unsigned points = d_.model.distribution_at(n)->distribution()->point_count();
                const unsigned a = pick(points);
                d_.push_record<ModelState::ChangeRecordDistYDev>(d_.model_history, n, a, a + pick(points - a + 1),
                                                                 pick(2) ? std::fabs(number()) : -2.0);
            }
            break;
        }
        case 22:
            if (params() > 0) {
                const unsigned i = pick(params());
                d_.push_record<ModelState::ChangeRecordBounds>(d_.model_history, i, d_.lower_bounds(i),
                                                               d_.upper_bounds(i), number() - 6.0, number() + 6.0);
            }
            break;
        case 23: {
            // The calibration's replacement: the same components, other values.
            DVector v = d_.values;
            for (double& x : v)
                x += 0.5;
            d_.push_record<ModelState::ChangeRecordWholeModel>(d_.model_history, d_.model, v, d_.flags,
                                                               d_.lower_bounds, d_.upper_bounds);
            break;
        }
        case 24:
            // A component whose insertion fails once it has begun.
            d_.add_component(pick(components() + 1), SpectrumAnalysis(), SubSpecPtr(new model_test::AreaFailsSubSpec),
                             true);
            break;
        case 25:
        case 26:
            // Each distribution following the one before it: chains of followers, which
            // resizes (case 20) then reach.
            if (const std::vector<unsigned> ds = distributions(); ds.size() >= 2) {
                const unsigned k = pick(static_cast<unsigned>(ds.size()) - 1);
                d_.link_distribution(ds[k], ds[k + 1], pick(2) ? 1.0 : 2.0);
            }
            break;
        case 27:
            // A line of width 0 on a point of the spectrum or of the simulation's grid.
            if (!d_.data.x_data.empty())
                for (const auto& c : d_.model.components)
                    if (c->subspec->display_name() == L"Lorentz singlet" && pick(2) == 0) {
                        DVector v = d_.values;
                        v(c->first + 2) = 0.0;
                        v(c->first + 1) = pick(2) ? d_.data.x_data[pick(d_.data.x_data.size())] : 0.0;
                        d_.accept_fit_values(v);
                        break;
                    }
            break;
        case 28:
            d_.use_difference_as_data();
            break;
        case 29:
            d_.simulate_spectrum(9 + 8 * pick(3), -4.0, 4.0, pick(2) == 0);
            break;
        case 30: {
            // Model files that do not read: an unknown model, a link to no expression.
            static const wchar_t* const broken[] = {
                L"Component = 01-Lorentz singlet:I=1 δ=0 Γ=0.3\nComponent = 02-No such model:x=1\n",
                L"Component = 01-Lorentz singlet:I=1L1*3 δ=0 Γ=0.3\nExpression = 01:E=1\n",
            };
            d_.load_model_text(nullptr, broken[pick(2)], parts_);
            break;
        }
        }
    }

    // An edit, or now and then an undo, a redo or a save; a third of them with an
    // allocation that fails at a random point.
    void step(std::optional<Snapshot>& saved)
    {
        ChangeHistory& h = pick(4) == 0 ? d_.spectrum_history : d_.model_history;
        const unsigned kind = pick(10);
        if (kind == 2) {
            // A real save, read back into another document.
            const std::wstring path =
                utf8_to_wide((std::filesystem::temp_directory_path() / "vx_undo_property.mdl").string());
            d_.save_model_file(path, parts_);
            saved.emplace(d_);
            ModelState loaded;
            loaded.load_model_file(nullptr, path, parts_);
            expect_file_gives_back(d_, loaded);
            std::filesystem::remove(std::filesystem::path(path));
            return;
        }
        const DocumentState before(d_);
        const long failing_allocation = pick(3) == 0 ? static_cast<long>(pick(600)) : -1;
        std::optional<std::string> why;
        test_support::allocations_before_failure = failing_allocation;
        try {
            if (kind == 0)
                h.undo(d_);
            else if (kind == 1)
                h.redo(d_);
            else
                edit();
        } catch (const std::exception& e) {
            why = e.what();
        }
        test_support::allocations_before_failure = -1;
        ++steps_;
        if (!why)
            return;
        ++failures_;
        // A refused step changes nothing and records nothing, and says why.
        EXPECT_FALSE(why->empty());
        EXPECT_EQ(DocumentState(d_).difference(before), "")
            << *why << " (step kind " << kind << ", edit " << last_edit_ << ", failing allocation " << failing_allocation << ")";
    }

    unsigned steps() const { return steps_; }
    unsigned failures() const { return failures_; }

private:
    ModelState& d_;
    const document_test::TestModelFileParts parts_;
    std::mt19937 rng_;
    unsigned next_name_ = 0;
    unsigned steps_ = 0, failures_ = 0;
    unsigned last_edit_ = 0;
};

// The model part as a model file holds it: the scale's size and the level follow the
// spectrum, whose edits are no model changes; the direction is the model's.
bool same_model_file(Snapshot now, const Snapshot& saved)
{
    if (std::signbit(now.scale) != std::signbit(saved.scale))
        return false;
    now.scale = saved.scale;
    now.level = saved.level;
    return now.model_part_equals(saved);
}

void undo_all(ModelState& d)
{
    while (d.model_history.can_undo())
        d.model_history.undo(d);
    while (d.spectrum_history.can_undo())
        d.spectrum_history.undo(d);
}

void redo_all(ModelState& d)
{
    while (d.model_history.can_redo())
        d.model_history.redo(d);
    while (d.spectrum_history.can_redo())
        d.spectrum_history.redo(d);
}

TEST(DocumentUndoProperty, UndoAllGivesTheStartAndRedoAllTheEnd)
{
    unsigned steps = 0, failures = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        ModelState d;
        d.data.load_text(test_support::counts_text());
        d.set_levels_from_spectrum();
        RandomEditor editor(d, seed);
        std::optional<Snapshot> saved;
        for (int i = 0; i < 12; ++i)
            try {
                editor.edit();
            } catch (const std::runtime_error&) {
                // a link the model refuses: the setup goes on without it
            }
        d.model_history.clear();
        d.spectrum_history.clear();
        const Snapshot start(d);
        const std::wstring start_texts = keyword_texts(d);
        saved.emplace(d);

        for (int i = 0; i < 150; ++i) {
            editor.step(saved);
            ASSERT_TRUE(document_test::vectors_fit_model(d)) << "step " << i;
            // Unchanged for the save prompt only when equal to the saved state.
            if (!d.model_history.is_modified())
                ASSERT_TRUE(saved && same_model_file(Snapshot(d), *saved))
                    << "step " << i << ": " << Snapshot(d).difference(*saved);
        }
        redo_all(d);
        const Snapshot end(d);
        const std::wstring end_texts = keyword_texts(d);
        undo_all(d);
        ASSERT_EQ(Snapshot(d).difference(start), "");
        EXPECT_EQ(keyword_texts(d), start_texts);
        redo_all(d);
        ASSERT_EQ(Snapshot(d).difference(end), "");
        EXPECT_EQ(keyword_texts(d), end_texts);
        steps += editor.steps();
        failures += editor.failures();
        if (!d.model_history.is_modified())
            ASSERT_TRUE(same_model_file(Snapshot(d), *saved));
    }
    // Failures happened often enough to mean something.
    EXPECT_GT(failures, steps / 10);
}

}  // namespace

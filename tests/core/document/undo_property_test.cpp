// Random sequences of every document edit, with undo, redo and saves in between: undoing
// everything gives back the start exactly, redoing everything the end, the document never
// counts as unchanged while it differs from its saved state, and every saved file reads
// back to the model that was saved.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <stdexcept>

#include "core/document/change_records.h"
#include "core/text/text.h"
#include "tests/support/model_file_test_parts.h"

namespace {

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
        switch (pick(24)) {
        case 0:
        case 1:
            d_.add_component(pick(components() + 1), SpectrumAnalysis(), new_component(), true);
            break;
        case 2:
            if (components() > 0)
                d_.model_history.push(std::make_shared<ModelState::ChangeRecordDelModel>(d_, pick(components())));
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
                d_.model_history.push(std::make_shared<ModelState::ChangeRecordDelExpr>(d_, pick(n_expr)));
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
                    d_.model_history.push(std::make_shared<ModelState::ChangeRecordResizeDist>(d_, k, points));
            }
            break;
        }
        case 21: {
            const std::vector<unsigned> ds = distributions();
            if (!ds.empty()) {
                const unsigned n = pick(ds.size());
                const unsigned points = d_.model.distribution_at(n)->distribution()->point_count();
                const unsigned a = pick(points);
                d_.model_history.push(std::make_shared<ModelState::ChangeRecordDistYDev>(
                    d_, n, a, a + pick(points - a + 1), pick(2) ? std::fabs(number()) : -2.0));
            }
            break;
        }
        case 22:
            if (params() > 0) {
                const unsigned i = pick(params());
                d_.model_history.push(std::make_shared<ModelState::ChangeRecordBounds>(
                    d_, i, d_.lower_bounds(i), d_.upper_bounds(i), number() - 6.0, number() + 6.0));
            }
            break;
        case 23: {
            // The calibration's replacement: the same components, other values.
            DVector v = d_.values;
            for (double& x : v)
                x += 0.5;
            d_.model_history.push(std::make_shared<ModelState::ChangeRecordWholeModel>(
                d_, d_.model, v, d_.flags, d_.lower_bounds, d_.upper_bounds));
            break;
        }
        }
    }

    // An edit, or now and then an undo, a redo or a save.
    void step(std::optional<Snapshot>& saved)
    {
        ChangeHistory& h = pick(4) == 0 ? d_.spectrum_history : d_.model_history;
        switch (pick(10)) {
        case 0: h.undo(d_); return;
        case 1: h.redo(d_); return;
        case 2: {
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
        default: break;
        }
        const Snapshot before(d_);
        const std::size_t model_records = d_.model_history.records().size();
        const std::size_t spectrum_records = d_.spectrum_history.records().size();
        try {
            edit();
        } catch (const std::exception& e) {
            // A refused edit changes nothing and records nothing.
            EXPECT_EQ(Snapshot(d_).difference(before), "") << e.what();
            EXPECT_EQ(d_.model_history.records().size(), model_records) << e.what();
            EXPECT_EQ(d_.spectrum_history.records().size(), spectrum_records) << e.what();
        }
    }

private:
    ModelState& d_;
    const document_test::TestModelFileParts parts_;
    std::mt19937 rng_;
    unsigned next_name_ = 0;
};

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
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        ModelState d;
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
        saved.emplace(d);

        for (int i = 0; i < 150; ++i) {
            editor.step(saved);
            ASSERT_TRUE(document_test::vectors_fit_model(d)) << "step " << i;
            // Unchanged for the save prompt only when equal to the saved state.
            if (!d.model_history.is_modified())
                ASSERT_TRUE(saved && Snapshot(d).model_part_equals(*saved))
                    << "step " << i << ": " << Snapshot(d).difference(*saved);
        }
        redo_all(d);
        const Snapshot end(d);
        undo_all(d);
        ASSERT_EQ(Snapshot(d).difference(start), "");
        redo_all(d);
        ASSERT_EQ(Snapshot(d).difference(end), "");
        if (!d.model_history.is_modified())
            ASSERT_TRUE(Snapshot(d).model_part_equals(*saved));
    }
}

}  // namespace

// The fit settings and distribution parameters dialogs without windows: the fit
// settings' texts, defaults and strict reading (rounded values kept unless edited), and
// the distribution dialog's rows and point counts.
#include <gtest/gtest.h>

#include <map>

#include "core/text/script_chars.h"
#include "lineshapes/pseudo_voigt_sextet.h"
#include "lineshapes/singlets.h"
#include "subspec/free_var.h"
#include "subspec/subspec_impl.h"
#include "tests/support/program_isotopes.h"
#include "wingui/logic/dialog_numbers.h"
#include "ui/logic/dist_params_form.h"
#include "ui/logic/fit_settings_form.h"

namespace {

std::map<int, std::wstring> texts(const FitSettingsForm& form)
{
    std::map<int, std::wstring> out;
    for (const FieldText& f : form.shown()) out[f.id] = f.text;
    return out;
}

TEST(FitSettingsForm, ShowsRoundedTextsAndKeepsUneditedValuesExactly)
{
    FitSettings s;
    s.eps1 = 2.4e-10;
    s.tau = 1e-5;
    s.kmax = 250;
    FitSettingsForm form(s);
    std::map<int, std::wstring> fields = texts(form);
    EXPECT_EQ(fields[fit_field_eps1], L"2e-10");
    EXPECT_EQ(fields[fit_field_eps2], L"1e-15");
    EXPECT_EQ(fields[fit_field_eps4], L"0");
    EXPECT_EQ(fields[fit_field_tau], L"1e-05");
    EXPECT_EQ(fields[fit_field_kmax], L"250");
    const auto text_of = [&](int id) { return fields.at(id); };
    EXPECT_EQ(form.read(text_of), std::nullopt);
    EXPECT_EQ(form.settings().eps1, 2.4e-10);
    // Edited to the same text it showed, it would be indistinguishable; a new text is read.
    fields[fit_field_eps1] = L" 3e-10\t";
    fields[fit_field_eps3] = L"-1e-3";  // negative numbers are taken as typed
    EXPECT_EQ(form.read(text_of), std::nullopt);
    EXPECT_EQ(form.settings().eps1, 3e-10);
    EXPECT_EQ(form.settings().eps3, -1e-3);
}

TEST(FitSettingsForm, RefusesTheFirstBadFieldAndKeepsWhatWasReadBefore)
{
    FitSettingsForm form{FitSettings{}};
    std::map<int, std::wstring> fields = texts(form);
    const auto text_of = [&](int id) { return fields.at(id); };
    const struct {
        int id;
        const wchar_t* text;
        bool accepted;
    } cases[] = {
        {fit_field_kmax, L"0", false},     {fit_field_kmax, L"10001", false}, {fit_field_kmax, L"1", true},
        {fit_field_kmax, L"10000", true},  {fit_field_kmax, L"1O", false},    {fit_field_dmax, L"0", true},
        {fit_field_dmax, L"10000", true},  {fit_field_dmax, L"10001", false}, {fit_field_dmax, L"-1", false},
        {fit_field_eps4, L"-0", false},    {fit_field_eps4, L"0", true},      {fit_field_eps4, L" 0.0", true},
        {fit_field_eps4, L".0", false},    {fit_field_eps2, L"1e-3x", false}, {fit_field_tau, L"", false},
        {fit_field_tau, L"-2", true},
    };
    for (const auto& c : cases) {
        fields = texts(form);
        fields[c.id] = c.text;
        EXPECT_EQ(form.read(text_of), c.accepted ? std::nullopt : std::optional<int>(c.id)) << c.id << " " << c.text;
    }
    // Fields before the refused one are taken already.
    FitSettingsForm partial{FitSettings{}};
    fields = texts(partial);
    fields[fit_field_eps1] = L"1e-7";
    fields[fit_field_kmax] = L"0";
    EXPECT_EQ(partial.read(text_of), std::optional<int>(fit_field_kmax));
    EXPECT_EQ(partial.settings().eps1, 1e-7);
}

TEST(FitSettingsForm, DefaultsAreTheFramesInitialSettings)
{
    FitSettings odd{1, 2, 3, 4, 5, 6, 7};
    FitSettingsForm form(odd);
    form.restore_defaults();
    const FitSettings& s = form.settings();
    const FitSettings initial;
    EXPECT_EQ(s.tau, 1e-5);
    EXPECT_EQ(s.eps1, 1e-15);
    EXPECT_EQ(s.eps4, 0.0);
    EXPECT_EQ(s.kmax, 1000);
    EXPECT_EQ(s.dmax, 0);
    EXPECT_EQ(std::tie(s.tau, s.eps1, s.eps2, s.eps3, s.eps4, s.kmax, s.dmax),
              std::tie(initial.tau, initial.eps1, initial.eps2, initial.eps3, initial.eps4, initial.kmax, initial.dmax));
    EXPECT_EQ(texts(form)[fit_field_kmax], L"1000");
}

TEST(DistributionParameters, RowsAreTheSpreadableParametersWithoutTheArea)
{
    const SubSpecPtr sextet = make_subspec<PseudoVoigtSextet>(&test_support::iron());
    const std::vector<DistParamRow> rows = distribution_param_rows(*sextet);
    ASSERT_FALSE(rows.empty());
    std::vector<unsigned> areas;
    dynamic_cast<const IAAParam&>(*sextet).area_params(areas);
    std::vector<int> kinds;
    dynamic_cast<const IDistVarTypes&>(*sextet).dist_kinds(kinds);
    for (const DistParamRow& row : rows) {
        EXPECT_EQ(std::count(areas.begin(), areas.end(), row.index), 0);
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), sextet->param_info(row.index).kind), 1);
        EXPECT_EQ(row.name, flatten_script_characters(sextet->param_info(row.index).name));
        for (wchar_t c : row.name) EXPECT_EQ(script_class(c), ScriptClass::Normal) << row.name;
    }
    // Without IDistVarTypes nothing is offered.
    EXPECT_TRUE(distribution_param_rows(*make_subspec<FreeVar>(nullptr)).empty());
    EXPECT_EQ(flatten_script_characters(L"Γ₁₂ x² 10⁻³"), L"Γ12 x2 10-3");
}

TEST(DistributionParameters, PointCounts)
{
    EXPECT_EQ(point_count_choices().front(), L"2");
    EXPECT_EQ(point_count_choices().back(), L"1000");
    EXPECT_EQ(point_count_choices().size(), 14u);
    EXPECT_EQ(initial_point_count_text(0), L"100");
    EXPECT_EQ(initial_point_count_text(37), L"37");
    for (const auto& [text, n] : std::vector<std::pair<const wchar_t*, std::optional<unsigned>>>{
             {L"2", 2u}, {L"1000", 1000u}, {L" 50 ", 50u}, {L"1", {}}, {L"1001", {}}, {L"", {}}, {L"1O", {}}, {L"-5", {}}})
        EXPECT_EQ(read_point_count(text), n) << text;
}

} // namespace

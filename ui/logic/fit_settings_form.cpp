#include "ui/logic/fit_settings_form.h"

#include "wingui/logic/dialog_numbers.h"

namespace {

struct RealField {
    int id;
    double FitSettings::*member;
    int precision;
};
constexpr RealField eps_fields[] = {{fit_field_eps1, &FitSettings::eps1, 1},
                                    {fit_field_eps2, &FitSettings::eps2, 1},
                                    {fit_field_eps3, &FitSettings::eps3, 1},
                                    {fit_field_eps4, &FitSettings::eps4, 1}};
constexpr RealField tau_field{fit_field_tau, &FitSettings::tau, 4};

} // namespace

void FitSettingsForm::remember_shown()
{
    shown_settings_ = settings_;
    std::size_t k = 0;
    for (const RealField& f : eps_fields) shown_[k++] = {f.id, format_field_double(settings_.*f.member, f.precision)};
    shown_[k++] = {fit_field_kmax, std::to_wstring(static_cast<unsigned>(settings_.kmax))};
    shown_[k++] = {fit_field_dmax, std::to_wstring(static_cast<unsigned>(settings_.dmax))};
    shown_[k++] = {tau_field.id, format_field_double(settings_.tau, tau_field.precision)};
}

void FitSettingsForm::restore_defaults()
{
    settings_ = FitSettings{};
    remember_shown();
}

std::optional<int> FitSettingsForm::read(const std::function<std::wstring(int)>& text_of)
{
    const auto shown_text = [&](int id) -> const std::wstring& {
        for (const FieldText& f : shown_)
            if (f.id == id) return f.text;
        return shown_.front().text;
    };
    const auto real = [&](const RealField& f) {
        const std::wstring text = text_of(f.id);
        // The shown text is the value rounded: unedited, the exact value stays.
        if (text == shown_text(f.id)) {
            settings_.*f.member = shown_settings_.*f.member;
            return true;
        }
        const std::optional<double> value = read_dialog_float(text);
        if (value) settings_.*f.member = *value;
        return value.has_value();
    };
    for (const RealField& f : eps_fields)
        if (!real(f)) return f.id;
    const std::optional<unsigned> kmax = read_field_unsigned(text_of(fit_field_kmax));
    if (!kmax || *kmax == 0 || *kmax > max_fit_steps) return fit_field_kmax;
    settings_.kmax = static_cast<int>(*kmax);
    const std::optional<unsigned> dmax = read_field_unsigned(text_of(fit_field_dmax));
    if (!dmax || *dmax > max_fit_steps) return fit_field_dmax;
    settings_.dmax = static_cast<int>(*dmax);
    if (!real(tau_field)) return fit_field_tau;
    return std::nullopt;
}

// The fit settings dialog (10101): the engine's tolerances, step limits and starting
// damping, with a button that puts back the initial settings. The caller's settings
// change only when the dialog ends with OK and the caller takes settings().
#pragma once

#include "core/fit/fit_settings.h"
#include "ui/logic/fit_settings_form.h"
#include "wingui/dialog.h"

class CFitSettingsDlg : public ModalDialog {
public:
    explicit CFitSettingsDlg(const FitSettings& settings);

    const FitSettings& settings() const { return form_.settings(); }

private:
    bool on_init() override;
    void OnDefaults();
    void OnCloseCmd();
    void show_fields();

    FitSettingsForm form_;
};

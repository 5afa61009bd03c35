// The file-open dialog with a preview: below the common dialog's controls, a plot of
// the selected spectrum or model with its description. The dialog object is a local of
// the command that shows it; the preview's spectrum, model and vectors live as long.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <optional>
#include <string>
#include <vector>

#include "core/model/spectrum_model.h"
#include "core/spectrum/spectrum_data.h"
#include "plot/model_data_view.h"
#include "wingui/dialog_hooks.h"

struct Isotope;

class COpenDialog final : public FileDialogExtension {
public:
    // The template: a child dialog whose static control marks the preview's place.
    static constexpr UINT template_resource = 10011;
    static constexpr UINT preview_id = 10011;

    // `request` gives owner, filter, default extension, start name and folder; models are
    // previewed for `isotope`.
    COpenDialog(FileDialogRequest request, const Isotope* isotope);

    // The chosen path; nothing on Cancel.
    std::optional<std::wstring> DoModal();

    // The preview of `path`, as selecting it in the dialog shows it.
    void OnFileSelected(const std::wstring& path);
    const CModelDataView& preview() const { return preview_; }

    UINT template_id() const override { return template_resource; }
    // The hook dialog's message map.
    INT_PTR hook_message(HWND hook, UINT message, WPARAM wparam, LPARAM lparam) override;

private:
    LRESULT OnFileDialogNotify(HWND hook, const OFNOTIFYW& notify);
    void OnInitDone(HWND hook);
    // The preview as wide as the common dialog's controls above it.
    void layout(HWND hook);
    void show_spectrum(const std::wstring& path);
    void show_model(const std::wstring& path);
    void clear_preview();

    FileDialogRequest request_;
    const Isotope* isotope_;
    CModelDataView preview_{0};
    SpectrumData data_;
    SpectrumModel model_;
    DVector values_, lower_, upper_;
    std::vector<int> flags_;
};

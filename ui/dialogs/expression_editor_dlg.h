// The expression editor: a user expression's name and text, with lists of the model's
// parameters and expressions, the constants and the operations; activating an item
// (double click or Enter) inserts it at the caret. OK compiles the text against the
// model and keeps the dialog open, with the caret where the text stops reading, while
// it does not compile. The dialog is resizable down to its first size.
#pragma once

#include <map>
#include <string>

#include "wingui/dialog.h"

class SpectrumModel;
struct Isotope;

class CExpressionEditorDlg final : public ModalDialog {
public:
    // The isotope's constants are offered; none without one.
    CExpressionEditorDlg(const SpectrumModel& model, const Isotope* isotope, std::wstring name, std::wstring text);

    const std::wstring& name() const { return name_; }
    const std::wstring& text() const { return text_; }

private:
    bool on_init() override;
    void fill_lists();
    LRESULT InsertText(NMHDR& header);
    LRESULT info_tip(NMHDR& header) const;
    void OnCloseCmd();

    std::wstring text_;
    std::wstring name_;
    const SpectrumModel& model_;
    const Isotope* isotope_;
    // The constant list's item index → the value with its unit, shown as its tooltip.
    std::map<int, std::wstring> tips_;
};

#include "ui/dialogs/expression_editor_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "core/text/messages.h"
#include "ui/logic/expression_editor.h"
#include "ui/resource_ids.h"
#include "wingui/dialog_hooks.h"

namespace {

constexpr int list_ids[] = {IDC_EXPRESSION_PARAMETERS, IDC_EXPRESSION_CONSTANTS, IDC_EXPRESSION_OPERATIONS};

void append_items(HWND list, const std::vector<std::wstring>& texts)
{
    for (const std::wstring& text : texts) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<wchar_t*>(text.c_str());
        ListView_InsertItem(list, &item);
    }
}

} // namespace

CExpressionEditorDlg::CExpressionEditorDlg(const SpectrumModel& model, const Isotope* isotope, std::wstring name,
                                           std::wstring text)
    : ModalDialog(IDD_EXPRESSION_EDITOR), text_(std::move(text)), name_(std::move(name)), model_(model),
      isotope_(isotope)
{
    MessageMap& map = message_map();
    for (const int id : list_ids) map.on_notify(id, LVN_ITEMACTIVATE, [this](NMHDR& header) { return InsertText(header); });
    map.on_notify(IDC_EXPRESSION_CONSTANTS, LVN_GETINFOTIPW, [this](NMHDR& header) { return info_tip(header); });
    map.on_command(IDOK, [this](UINT, UINT, HWND) { OnCloseCmd(); });
    anchor(IDC_EXPRESSION_NAME, anchor_top_left | anchor_right);
    anchor(IDC_EXPRESSION_TEXT, anchor_top_left | anchor_right);
    anchor(IDC_EXPRESSION_PARAMETERS, anchor_all);
    anchor(IDC_EXPRESSION_CONSTANTS_LABEL, anchor_top | anchor_right);
    anchor(IDC_EXPRESSION_CONSTANTS, anchor_top | anchor_bottom | anchor_right);
    anchor(IDC_EXPRESSION_OPERATIONS_LABEL, anchor_top | anchor_right);
    anchor(IDC_EXPRESSION_OPERATIONS, anchor_top | anchor_bottom | anchor_right);
    anchor(IDOK, anchor_right | anchor_bottom);
    anchor(IDCANCEL, anchor_right | anchor_bottom);
    size_grip(IDC_EXPRESSION_GRIPPER);
}

bool CExpressionEditorDlg::on_init()
{
    SetDlgItemTextW(hwnd(), IDC_EXPRESSION_NAME, name_.c_str());
    SetDlgItemTextW(hwnd(), IDC_EXPRESSION_TEXT, text_.c_str());
    fill_lists();
    return true;
}

void CExpressionEditorDlg::fill_lists()
{
    append_items(GetDlgItem(hwnd(), IDC_EXPRESSION_PARAMETERS), expression_parameter_items(model_));
    append_items(GetDlgItem(hwnd(), IDC_EXPRESSION_OPERATIONS), expression_operation_items());
    const HWND constants = GetDlgItem(hwnd(), IDC_EXPRESSION_CONSTANTS);
    std::vector<std::wstring> symbols;
    for (const ConstantItem& item : expression_constant_items(isotope_)) {
        tips_[static_cast<int>(symbols.size())] = item.tip;
        symbols.push_back(item.symbol);
    }
    append_items(constants, symbols);
    ListView_SetExtendedListViewStyle(constants, LVS_EX_INFOTIP);
}

LRESULT CExpressionEditorDlg::InsertText(NMHDR& header)
{
    const int selected = ListView_GetNextItem(header.hwndFrom, -1, LVNI_SELECTED);
    if (selected < 0) return 0;
    wchar_t buffer[256] = {};
    ListView_GetItemText(header.hwndFrom, selected, 0, buffer, 256);
    const HWND edit = GetDlgItem(hwnd(), IDC_EXPRESSION_TEXT);
    DWORD start = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    // Undoable, like typing.
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(buffer));
    const auto caret = static_cast<LPARAM>(caret_after_insert(start, buffer));
    SendMessageW(edit, EM_SETSEL, caret, caret);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    SetFocus(edit);
    return 0;
}

LRESULT CExpressionEditorDlg::info_tip(NMHDR& header) const
{
    auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
    if (!tip.pszText || tip.cchTextMax <= 0) return 0;
    const auto it = tips_.find(tip.iItem);
    const std::wstring text = it == tips_.end() ? std::wstring() : it->second;
    const std::size_t n = std::min<std::size_t>(text.size(), static_cast<std::size_t>(tip.cchTextMax - 1));
    std::copy_n(text.c_str(), n, tip.pszText);
    tip.pszText[n] = L'\0';
    return 0;
}

void CExpressionEditorDlg::OnCloseCmd()
{
    std::wstring name, text;
    DataExchange read(hwnd(), true);
    read.text(IDC_EXPRESSION_NAME, name);
    read.text(IDC_EXPRESSION_TEXT, text);
    const auto error = check_expression(text, model_);
    if (!error) {
        name_ = std::move(name);
        text_ = std::move(text);
        end(IDOK);
        return;
    }
    const std::wstring message = error->reason.empty()
                                     ? MessageText(50200, static_cast<unsigned>(error->position + 1)).str()
                                     : MessageText(50201, error->reason).str();
    show_message_box(hwnd(), message, MessageText(50000).str(), MB_OK | MB_ICONERROR);
    // The caret where the text stops reading, the rest selected.
    const HWND edit = GetDlgItem(hwnd(), IDC_EXPRESSION_TEXT);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, error->position, -1);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

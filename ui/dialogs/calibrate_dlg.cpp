#include "ui/dialogs/calibrate_dlg.h"

#include "core/text/c_format.h"
#include "catalogue/calibration_models.h"
#include "wingui/logic/dialog_numbers.h"
#include "ui/resource_ids.h"
#include "ui/win32_util.h"

namespace {

// The preview shows data points, the model, the difference, the components and the
// lines the analysis found.
constexpr std::int32_t preview_options = 0x201B;

void show(HWND dialog, int id, bool visible) { ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOW : SW_HIDE); }

}  // namespace

CCalibrateDlg::CCalibrateDlg(const Isotope& isotope, const SpectrumModel& model, const SpectrumData& spectrum,
                             std::wstring standard)
    : ModalDialog(IDD_CALIBRATE),
      spectrum_(spectrum),
      calibration_(isotope, std::move(standard), model, spectrum, calibration_catalogue()),
      initial_filter_width_(spectrum.analysis(model.is_emission()).auto_filter_width)
{
    message_map().on_command(IDC_CALIBRATE_FILTER_WIDTH, [this](UINT, UINT, HWND) {
        // Lines marked for one smoothing do not carry over to another.
        calibration_.marked.clear();
        RunCalibration();
    }, EN_CHANGE);
    message_map().on_command(use_model_id, [this](UINT, UINT, HWND) { end(use_model_id); });
    message_map().on_notify(IDC_CALIBRATE_PREVIEW, NotifyAddPoint,
                            [this](NMHDR& header) { return OnPreviewClick(header); });
}

bool CCalibrateDlg::on_init()
{
    // The static control marks the preview's place; the plot window takes it over.
    const HWND place = GetDlgItem(hwnd(), IDC_CALIBRATE_PREVIEW);
    RECT rect{};
    GetWindowRect(place, &rect);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    DestroyWindow(place);
    preview_.Create(hwnd(), rect, IDC_CALIBRATE_PREVIEW);
    preview_.SetOptions(preview_options, ~0);
    preview_.mouse_mode = ModeZoom;
    // Writing the width raises EN_CHANGE, which runs the first calibration.
    SetDlgItemTextW(hwnd(), IDC_CALIBRATE_FILTER_WIDTH, std::to_wstring(initial_filter_width_).c_str());
    return true;
}

void CCalibrateDlg::RunCalibration()
{
    const std::optional<int> width = read_field_int(control_text(GetDlgItem(hwnd(), IDC_CALIBRATE_FILTER_WIDTH)));
    show_results(calibration_.run(width.value_or(0)));
}

void CCalibrateDlg::show_results(CalibrationOutcome outcome)
{
    const bool fitted = outcome == CalibrationOutcome::fitted;
    const bool price = fitted && calibration_.corrects_price();
    SetDlgItemTextW(hwnd(), IDC_CALIBRATE_ZERO_CHANNEL,
                    fitted ? (c_format(L"%.5f") % calibration_.zero_channel()).str().c_str() : L"");
    SetDlgItemTextW(hwnd(), IDC_CALIBRATE_PRICE,
                    price ? (c_format(L"%.5f") % calibration_.new_price()).str().c_str() : L"");
    SetDlgItemTextW(hwnd(), IDC_CALIBRATE_RESULT, calibration_.message().c_str());
    for (const int id : {IDC_CALIBRATE_ZERO_CHANNEL, IDC_CALIBRATE_ZERO_LABEL}) show(hwnd(), id, fitted);
    for (const int id : {IDC_CALIBRATE_PRICE, IDC_CALIBRATE_PRICE_LABEL}) show(hwnd(), id, price);
    EnableWindow(GetDlgItem(hwnd(), use_model_id), fitted);
    EnableWindow(GetDlgItem(hwnd(), IDOK), fitted && calibration_.success());

    const SpectrumModel& model = calibration_.model();
    const bool has_model = model.component_count() > 0 && calibration_.fitted_values().size() == model.param_count();
    preview_.SetData(has_model ? &model : nullptr, &spectrum_,
                     has_model ? &calibration_.fitted_values() : nullptr, nullptr, nullptr, &calibration_.analysis());
    preview_.Redraw();
}

LRESULT CCalibrateDlg::OnPreviewClick(const NMHDR& header)
{
    calibration_.marked.push_back(reinterpret_cast<const PlotNotification&>(header).x1);
    RunCalibration();
    return 1;
}

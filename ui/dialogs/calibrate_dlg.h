// The calibration dialog: the spectrum of a standard absorber analysed with a filter width
// in channels, the standard's model fitted to it and shown over the data in a preview,
// with the zero channel, the channel price and the fit's χ². Ctrl-clicks in the preview
// mark lines the analysis missed. The dialog ends with IDOK (take the calibration),
// use_model_id (take the fitted model) or IDCANCEL.
#pragma once

#include <string>

#include "core/calibration/velocity_calibration.h"
#include "plot/model_data_view.h"
#include "wingui/dialog.h"

class CCalibrateDlg final : public ModalDialog {
public:
    static constexpr UINT use_model_id = 10551;

    // The document's model and spectrum are only read, and must outlive the dialog.
    CCalibrateDlg(const Isotope& isotope, const SpectrumModel& model, const SpectrumData& spectrum,
                  std::wstring standard);

    // The last run: its outcome, model, values and calibration.
    const VelocityCalibration& calibration() const { return calibration_; }
    const CModelDataView& preview() const { return preview_; }

    // One analysis and fit with the filter width in the field and the marked lines; every
    // result control follows.
    void RunCalibration();

private:
    bool on_init() override;
    void show_results(CalibrationOutcome outcome);
    LRESULT OnPreviewClick(const NMHDR& header);

    const SpectrumData& spectrum_;
    VelocityCalibration calibration_;
    unsigned initial_filter_width_;
    CModelDataView preview_{0};
};

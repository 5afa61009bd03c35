// The statistics of one distribution: a resizable dialog with one table per point range
// (the ranges typed in its field, then the whole distribution), rebuilt on every valid
// change of the ranges. The page goes into the embedded browser; without one the same
// statistics fill a list. Save ends the dialog with the ranges for the caller to store.
#pragma once

#include <string>

#include "core/document/model_state.h"
#include "ui/controls/stats_list.h"
#include "wingui/browser.h"
#include "wingui/dialog.h"

class CDistStatsDlg final : public ModalDialog {
public:
    // run() returns 1 for ranges to store, 2 for closing without, and `failed` when the
    // statistics could not be computed (error() says why).
    static constexpr INT_PTR failed = 3;

    // `whole` when opened for the whole distribution rather than a dragged range; with
    // `results` the fit values and their covariance, else the current values without
    // errors; `rounding` cuts values to their errors' digits.
    CDistStatsDlg(const ModelState& document, unsigned n, unsigned count, PointRangeList ranges, bool results,
                  bool whole, bool rounding);

    const PointRangeList& ranges() const { return ranges_; }
    const std::string& error() const { return error_; }

private:
    bool on_init() override;
    void on_ranges_changed();
    void on_save();
    // Shows the statistics of the current ranges.
    void BuildHtml();

    unsigned n_;
    unsigned count_;
    bool results_;
    PointRangeList ranges_;
    std::wstring ranges_text_;
    const ModelState& document_;
    CBrowser browser_;
    CStatsList list_;  // in place of the browser when it cannot show pages
    bool whole_;
    bool rounding_;
    std::string error_;
};

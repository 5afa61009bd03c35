// The distribution parameters dialog (11001): which parameters of a subspectrum a
// distribution spreads (ticked rows of a list) and its number of points; for an existing
// distribution (a point count given) only the count can change. Its Properties button
// runs the subspectrum's property editor.
#pragma once

#include <vector>

#include "core/document/model_state.h"
#include "subspec/subspec.h"
#include "wingui/dialog.h"

class CDSParamsDlg : public ModalDialog {
public:
    // `initial_points` 0 for a new distribution.
    CDSParamsDlg(ISubSpec& subspec, unsigned initial_points, ModelState& document);

    // After OK: the chosen count and the ticked parameters in row order.
    unsigned points() const { return points_; }
    const std::vector<unsigned>& varying() const { return varying_; }
    // Whether the property editor changed the subspectrum's data.
    bool properties_changed() const { return properties_changed_; }

private:
    bool on_init() override;
    void OnCloseCmd();
    void OnProperties();
    HWND list() const;

    SubSpecPtr subspec_;
    unsigned points_ = 0;
    std::vector<unsigned> varying_;
    unsigned initial_points_;
    ModelState& document_;
    bool properties_changed_ = false;
};

// The bounds dialog: a parameter's lower and upper bound for the fit, "-inf" and "inf"
// for none. Bounds show 3 decimals; left as shown they stay exact, edited they are read
// strictly. It closes only with the upper bound above the lower one.
#pragma once

#include "ui/logic/link_fields.h"
#include "wingui/dialog.h"

class CBoundsDlg final : public ModalDialog {
public:
    CBoundsDlg(double lower, double upper);
    double lower() const { return lower_.value; }
    double upper() const { return upper_.value; }

    // The field's bound, or false (the field beeps and takes the focus).
    bool GetBound(int control_id, double& value);
    void SetBound(int control_id, double value);

private:
    bool on_init() override;
    void on_ok();
    RoundedField& field(int control_id);
    void reject(int control_id);

    RoundedField lower_;
    RoundedField upper_;
};

#include "ConstantGainDialog_win.h"

#include "ResourceIds.h"

namespace {
constexpr double kStepDb = 1.5;
}

ConstantGainDialog::ConstantGainDialog(Dialog& parent)
    : Dialog(parent, IDD_CONSTANT_GAIN),
      valueBox(*this, IDC_CONSTANT_GAIN_VALUE, AnchorNone, AnchorNone, 255, 255, 255),
      trackbar(*this, IDC_CONSTANT_GAIN_TRACKBAR, AnchorNone, AnchorNone, valueBox),
      both(*this, IDC_CONSTANT_GAIN_BOTH, AnchorNone, AnchorNone),
      left(*this, IDC_CONSTANT_GAIN_LEFT, AnchorNone, AnchorNone),
      right(*this, IDC_CONSTANT_GAIN_RIGHT, AnchorNone, AnchorNone) {}

void ConstantGainDialog::onInitDialog() {
    valueBox.setText(L"0");
    trackbar.setRange(-8, 8, 0, 1, kStepDb);
    both.setChecked(true);
    left.setChecked(false);
    right.setChecked(false);
}

int ConstantGainDialog::channel() const {
    if (both.isChecked()) {
        return 0;
    }
    return left.isChecked() ? 1 : 2;
}

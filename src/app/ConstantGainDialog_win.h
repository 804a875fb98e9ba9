#pragma once

#include "CheckButton_win.h"
#include "ColorStatic_win.h"
#include "Dialog_win.h"
#include "ValueTrackBar_win.h"

// Constant Gain Change (template 152): a gain of -8..8 steps of 1.5 dB and the
// channels it goes to. After doModal answered IDOK, channel and steps tell the
// choice.
class ConstantGainDialog : public Dialog {
public:
    explicit ConstantGainDialog(Dialog& parent);

    void onInitDialog() override;

    // 0 both channels, 1 left, 2 right.
    int channel() const;
    int steps() { return trackbar.getPosition(); }

private:
    ColorStatic valueBox;
    ValueTrackBar trackbar;
    CheckButton both;
    CheckButton left;
    CheckButton right;
};

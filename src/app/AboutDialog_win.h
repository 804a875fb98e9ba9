#pragma once

#include "Dialog_win.h"

// About (template 103): the program's icon, name and version, and OK.
class AboutDialog : public Dialog {
public:
    explicit AboutDialog(Dialog& parent);
};

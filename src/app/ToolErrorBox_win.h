#pragma once

#include "CheckButton_win.h"
#include "Control_win.h"
#include "Dialog_win.h"

#include <string>

// The gain tool's error (template 190): message 151 with the tool's text and
// the stop icon, Yes and No, and "Don't ask again during this job", which
// takes No away while it is ticked (No always stops the job). Sized to its
// text like the question box. doModal answers IDYES or IDNO; Escape and the
// close box do nothing, as in a Yes/No message box.
class ToolErrorBox : public Dialog {
public:
    ToolErrorBox(Dialog& parent, const std::wstring& errorText);

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog() override;
    void onDestroy() override;

    bool dontAskAgain() const { return dontAskChecked; }

private:
    std::wstring errorText;
    bool dontAskChecked = false;
    Control icon;
    Control message;
    CheckButton dontAskBox;
    Control yesButton;
    Control noButton;
};

#pragma once

#include "CheckButton_win.h"
#include "Control_win.h"
#include "Dialog_win.h"

class Preferences;

// The question box (template 157): a question from the string table with Yes,
// No, Cancel and "Don't ask me this again.", sized to the question's text.
// doModal answers 6 (Yes), 7 (No) or 2 (Cancel, Escape, close box); dontAsk
// tells the check box's state when the box closed, whichever way it closed.
class QuestionBox : public Dialog {
public:
    // preferences: the accessor the caller decides with; the box only carries it.
    QuestionBox(Dialog& parent, Preferences* preferences, int questionStringId);

    void onInitDialog() override;
    void onDestroy() override;

    bool dontAsk() const { return dontAskChecked; }
    Preferences* preferences() const { return preferenceAccessor; }

private:
    Preferences* preferenceAccessor;
    int questionStringId;
    bool dontAskChecked = false;
    Control question;
    CheckButton dontAskBox;
    Control yesButton;
    Control noButton;
    Control cancelButton;
};

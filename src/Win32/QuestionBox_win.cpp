#include "QuestionBox_win.h"

#include "ResourceIds.h"

QuestionBox::QuestionBox(Dialog& parent, Preferences* preferences, int questionStringId)
    : Dialog(parent, IDD_QUESTION), preferenceAccessor(preferences),
      questionStringId(questionStringId),
      question(*this, IDC_QUESTION_TEXT, AnchorNone, AnchorStretch),
      dontAskBox(*this, IDC_QUESTION_DONT_ASK, AnchorNone, AnchorMove),
      yesButton(*this, IDYES, AnchorNone, AnchorMove),
      noButton(*this, IDNO, AnchorNone, AnchorMove),
      cancelButton(*this, IDCANCEL, AnchorNone, AnchorMove) {}

void QuestionBox::onInitDialog() {
    dontAskChecked = false;
    question.setText(questionStringId);
    RECT dialogBoxRect = getWindowRect();
    RECT origTextRect = question.getWindowRect();
    RECT actualTextRect{};
    question.fitTextHeight(actualTextRect);
    dialogBoxRect.bottom += actualTextRect.bottom - origTextRect.bottom;
    // The resulting WM_SIZE stretches the question and moves the check box and
    // the buttons by the same amount (their anchors).
    moveWindow(dialogBoxRect, true);
}

void QuestionBox::onDestroy() {
    dontAskChecked = dontAskBox.isChecked();
    Dialog::onDestroy();
}

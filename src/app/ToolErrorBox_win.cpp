#include "ToolErrorBox_win.h"

#include "MessageFormat.h"
#include "ResourceIds.h"
#include "ResourceStringTable_win.h"

namespace {

constexpr int kToolErrorQuestion = 151;

} // namespace

ToolErrorBox::ToolErrorBox(Dialog& parent, const std::wstring& errorText)
    : Dialog(parent, IDD_TOOL_ERROR), errorText(errorText),
      icon(*this, IDC_TOOL_ERROR_ICON, AnchorNone, AnchorNone),
      message(*this, IDC_TOOL_ERROR_TEXT, AnchorNone, AnchorStretch),
      dontAskBox(*this, IDC_TOOL_ERROR_DONT_ASK, AnchorNone, AnchorMove),
      yesButton(*this, IDYES, AnchorNone, AnchorMove),
      noButton(*this, IDNO, AnchorNone, AnchorMove) {}

LRESULT ToolErrorBox::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        return 1;
    }
    LRESULT result = Dialog::handleMessage(window, message, wParam, lParam);
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_TOOL_ERROR_DONT_ASK) {
        noButton.enable(!dontAskBox.isChecked());
    }
    return result;
}

void ToolErrorBox::onInitDialog() {
    dontAskChecked = false;
    SendMessageW(icon.handle(), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_HAND)),
                 0);
    const std::wstring format =
        ResourceStringTable(instance).load(kToolErrorQuestion).value_or(std::wstring());
    message.setText(formatMessage(format, {errorText}));
    RECT boxRect = getWindowRect();
    RECT templateTextRect = message.getWindowRect();
    RECT textRect{};
    message.fitTextHeight(textRect);
    boxRect.bottom += textRect.bottom - templateTextRect.bottom;
    // The resulting WM_SIZE stretches the text and moves the check box and
    // the buttons by the same amount (their anchors).
    moveWindow(boxRect, true);
}

void ToolErrorBox::onDestroy() {
    dontAskChecked = dontAskBox.isChecked();
    Dialog::onDestroy();
}

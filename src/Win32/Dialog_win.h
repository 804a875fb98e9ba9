#pragma once

#include "MessageFormat.h"
#include "Window_win.h"

#include <windows.h>

#include <string>
#include <vector>

// windows.h maps MessageBox to MessageBoxW; Dialog has a MessageBox of its own.
#undef MessageBox

// A window made from a dialog template, run modally (doModal) or as the
// program's main window with its own message loop (runModeless). Its controls
// are members constructed with it; they get their handles when the dialog's
// window exists, just before onInitDialog.
class Dialog : public Window {
public:
    // A top-level dialog.
    Dialog(HINSTANCE instance, int templateId, HWND parentHwnd);
    // A dialog owned by another dialog, from the same module.
    Dialog(Dialog& parent, int templateId);
    ~Dialog() override;

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // Runs the dialog modally; answers the value it ended with (IDOK, IDCANCEL,
    // IDYES, IDNO), or -1 when the template cannot be made.
    virtual INT_PTR doModal();
    // Creates and shows the dialog, then runs the message loop until its window
    // is destroyed; answers the quit message's wParam. Ids of 0 mean none.
    virtual int runModeless(int acceleratorId, int bigIconId, int smallIconId, int showCommand);
    // Creates the dialog's window, owned by the parent's, without a message
    // loop of its own: it lives in the owner's loop until it is destroyed,
    // which calls onDestroy. False when the template cannot be made.
    virtual bool createOwned();
    // SendMessageW to the dialog: blocks until the dialog's thread has handled it.
    virtual LRESULT sendMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // A message box owned by this dialog, caption and text from the string
    // table, the text formatted with the inserts; answers the button pressed.
    template <typename... Inserts>
    int MessageBox(int captionStringId, UINT type, int textStringId, const Inserts&... inserts) {
        return showMessageBox(captionStringId, type, textStringId,
                              std::vector<MessageInsert>{MessageInsert(inserts)...});
    }
    virtual int showMessageBox(int captionStringId, UINT type, int textStringId,
                               const std::vector<MessageInsert>& inserts);

    virtual void onInitDialog();
    virtual void onDestroy();

    bool isModal() const { return modal; }
    bool isModeless() const { return modeless; }

    // The procedure that the system calls for every dialog of the program.
    static INT_PTR CALLBACK dialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

private:
    void initialize(HWND window);
    void loadIcon(int iconId, WPARAM which, int sizeMetric);

    bool modal = false;
    bool modeless = false;
    bool owned = false;
};

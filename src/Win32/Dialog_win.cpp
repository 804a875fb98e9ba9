#include "Dialog_win.h"

#include "Exception.h"
#include "ResourceStringTable_win.h"

#include <map>
#include <stdexcept>

namespace {

// Window handle to dialog object, for the dialogs whose windows exist. Used on
// the user-interface thread only.
std::map<HWND, Dialog*>& dialogMap() {
    static std::map<HWND, Dialog*> map;
    return map;
}

std::wstring missingResourceText(int id) {
    return L"Dialog::MessageBox: resource id " + std::to_wstring(id) + L" not found.";
}

bool endsModalDialog(WORD command) {
    return command == IDOK || command == IDCANCEL || command == IDYES || command == IDNO;
}

} // namespace

Dialog::Dialog(HINSTANCE instance, int templateId, HWND parentHwnd)
    : Window(nullptr, templateId, instance, parentHwnd) {}

Dialog::Dialog(Dialog& parent, int templateId) : Window(&parent, templateId, nullptr, nullptr) {}

Dialog::~Dialog() {
    auto found = dialogMap().find(hwnd);
    if (found != dialogMap().end() && found->second == this) {
        dialogMap().erase(found);
    }
}

LRESULT Dialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (LRESULT result = offerToChildren(window, message, wParam, lParam)) {
        return result;
    }
    if (modal && message == WM_COMMAND && endsModalDialog(LOWORD(wParam))) {
        EndDialog(hwnd, LOWORD(wParam));
        return 1;
    }
    if (modeless && message == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 1;
    }
    if (modeless && message == WM_DESTROY) {
        PostQuitMessage(0);
        return 1;
    }
    // The handle may be reused by a window made later: forget it now.
    if (owned && message == WM_NCDESTROY) {
        owned = false;
        onDestroy();
        hwnd = nullptr;
    }
    return 0;
}

INT_PTR Dialog::doModal() {
    modal = true;
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(id), parentHwnd, dialogProcedure,
                                     reinterpret_cast<LPARAM>(this));
    onDestroy();
    modal = false;
    return result;
}

bool Dialog::createOwned() {
    owned = true;
    HWND created = CreateDialogParamW(instance, MAKEINTRESOURCEW(id), parentHwnd, dialogProcedure,
                                      reinterpret_cast<LPARAM>(this));
    owned = created != nullptr;
    return owned;
}

int Dialog::runModeless(int acceleratorId, int bigIconId, int smallIconId, int showCommand) {
    modeless = true;
    HWND created = CreateDialogParamW(instance, MAKEINTRESOURCEW(id), parentHwnd, dialogProcedure,
                                      reinterpret_cast<LPARAM>(this));
    if (!created) {
        modeless = false;
        checkResult(static_cast<int>(GetLastError()), L".\\Dialog", 62);
        // A failure without an error code must not look like success.
        checkResult(-1, L".\\Dialog", 62);
    }
    hwnd = created;
    ShowWindow(hwnd, showCommand);
    // Accelerator tables loaded from resources are freed with the module.
    HACCEL accelerators =
        acceleratorId ? LoadAcceleratorsW(instance, MAKEINTRESOURCEW(acceleratorId)) : nullptr;
    if (bigIconId) {
        loadIcon(bigIconId, ICON_BIG, SM_CXICON);
    }
    if (smallIconId) {
        loadIcon(smallIconId, ICON_SMALL, SM_CXSMICON);
    }
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorW(hwnd, accelerators, &msg)) {
            continue;
        }
        if (IsDialogMessageW(hwnd, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    onDestroy();
    modeless = false;
    return static_cast<int>(msg.wParam);
}

void Dialog::loadIcon(int iconId, WPARAM which, int sizeMetric) {
    // LoadImageW at the system's size picks the icon's image of that size
    // instead of scaling the large one; LR_SHARED leaves freeing to the system.
    int size = GetSystemMetrics(sizeMetric);
    HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, LR_SHARED);
    sendMessage(WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}

LRESULT Dialog::sendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(hwnd, message, wParam, lParam);
}

int Dialog::showMessageBox(int captionStringId, UINT type, int textStringId,
                           const std::vector<MessageInsert>& inserts) {
    ResourceStringTable strings(instance);
    std::wstring caption;
    std::wstring text;
    if (std::optional<std::wstring> captionText = strings.load(captionStringId)) {
        caption = *captionText;
        std::optional<std::wstring> format = strings.load(textStringId);
        text = format ? formatMessage(*format, inserts.data(), inserts.size())
                      : missingResourceText(textStringId);
    } else {
        text = missingResourceText(captionStringId);
    }
    return MessageBoxW(hwnd, text.c_str(), caption.c_str(), type);
}

void Dialog::onInitDialog() {}

void Dialog::onDestroy() {
    auto found = dialogMap().find(hwnd);
    if (found != dialogMap().end() && found->second == this) {
        dialogMap().erase(found);
    }
}

void Dialog::initialize(HWND window) {
    dialogMap()[window] = this;
    hwnd = window;
    for (Window* child : childObjects()) {
        child->setParentHandle(window);
        child->attach();
    }
    onInitDialog();
}

INT_PTR CALLBACK Dialog::dialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Exceptions stop here: an Exception has shown its message when it was
    // made; anything else gets the general message. The message then counts
    // as not handled.
    try {
        auto found = dialogMap().find(window);
        if (found != dialogMap().end()) {
            LRESULT result = found->second->handleMessage(window, message, wParam, lParam);
            if (result) {
                SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
            }
            return result;
        }
        if (message != WM_INITDIALOG) {
            return 0;
        }
        reinterpret_cast<Dialog*>(lParam)->initialize(window);
        return 1;
    } catch (const Exception&) {
    } catch (...) {
        showFatalErrorOccurred();
    }
    return 0;
}

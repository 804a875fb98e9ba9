#include "Toolbar_win.h"

Toolbar::Toolbar(Window& parent, int imageWidth, int imageHeight, int buttonCapacity,
                 int normalBitmapId, int hotBitmapId, int disabledBitmapId, COLORREF maskColor)
    : Control(parent, AnchorNone, AnchorNone),
      normalImages(
          ImageList_Create(imageWidth, imageHeight, ILC_COLOR8 | ILC_MASK, buttonCapacity, 0)),
      hotImages(
          ImageList_Create(imageWidth, imageHeight, ILC_COLOR8 | ILC_MASK, buttonCapacity, 0)),
      disabledImages(
          ImageList_Create(imageWidth, imageHeight, ILC_COLOR8 | ILC_MASK, buttonCapacity, 0)),
      normalBitmapId(normalBitmapId), hotBitmapId(hotBitmapId), disabledBitmapId(disabledBitmapId),
      maskColor(maskColor), buttonCapacity(buttonCapacity),
      commandIds(static_cast<std::size_t>(buttonCapacity), 0),
      tooltipIds(static_cast<std::size_t>(buttonCapacity), 0) {}

void Toolbar::attach() {
    hwnd = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, 0,
        0, 0, 0, parentHwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), instance, nullptr);
    SendMessageW(hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(hwnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normalImages.get()));
    SendMessageW(hwnd, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hotImages.get()));
    SendMessageW(hwnd, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabledImages.get()));
    SendMessageW(hwnd, TB_AUTOSIZE, 0, 0);
    tooltips = reinterpret_cast<HWND>(SendMessageW(hwnd, TB_GETTOOLTIPS, 0, 0));
    addStrip(normalImages, normalBitmapId);
    addStrip(hotImages, hotBitmapId);
    addStrip(disabledImages, disabledBitmapId);
    Control::attach();
}

void Toolbar::addStrip(const ImageList& list, int bitmapId) {
    ScopedHandle<HGDIOBJ, deleteGdiObject> bitmap(
        LoadBitmapW(instance, MAKEINTRESOURCEW(bitmapId)));
    if (bitmap) {
        ImageList_AddMasked(list.get(), static_cast<HBITMAP>(bitmap.get()), maskColor);
    }
}

LRESULT Toolbar::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        SendMessageW(hwnd, TB_AUTOSIZE, 0, 0);
        return 1;
    }
    if (message == WM_NOTIFY) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        if (info->hdr.code == TTN_GETDISPINFOW && tooltips && info->hdr.hwndFrom == tooltips) {
            int stringId = tooltipStringId(static_cast<int>(info->hdr.idFrom));
            if (stringId == 0) {
                return 0;
            }
            info->hinst = instance;
            info->lpszText = MAKEINTRESOURCEW(stringId);
            return 1;
        }
    }
    return Control::handleMessage(window, message, wParam, lParam);
}

void Toolbar::addButton(int position, int commandId, int tooltipStringId) {
    TBBUTTON button{};
    button.iBitmap = position;
    button.idCommand = commandId;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    SendMessageW(hwnd, TB_INSERTBUTTONW, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&button));
    if (position >= 0 && position < buttonCapacity) {
        commandIds[static_cast<std::size_t>(position)] = commandId;
        tooltipIds[static_cast<std::size_t>(position)] = tooltipStringId;
    }
}

void Toolbar::addSeparator(int position) {
    TBBUTTON button{};
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_SEP;
    SendMessageW(hwnd, TB_INSERTBUTTONW, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&button));
}

void Toolbar::enableButton(int commandId, bool enabled) {
    SendMessageW(hwnd, TB_ENABLEBUTTON, static_cast<WPARAM>(commandId), MAKELPARAM(enabled, 0));
}

void Toolbar::showButton(int commandId, bool visible) {
    SendMessageW(hwnd, TB_HIDEBUTTON, static_cast<WPARAM>(commandId), MAKELPARAM(!visible, 0));
}

int Toolbar::tooltipStringId(int commandId) const {
    for (std::size_t position = 0; position < commandIds.size(); ++position) {
        if (commandIds[position] == commandId && commandId != 0) {
            return tooltipIds[position];
        }
    }
    return 0;
}

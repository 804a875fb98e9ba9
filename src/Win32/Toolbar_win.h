#pragma once

#include "Control_win.h"
#include "ScopedHandle_win.h"

#include <commctrl.h>

#include <vector>

// A flat toolbar with normal, hot and disabled images (one strip bitmap each,
// image i for the button at position i) and tooltips from the string table.
class Toolbar : public Control {
public:
    Toolbar(Window& parent, int imageWidth, int imageHeight, int buttonCapacity, int normalBitmapId,
            int hotBitmapId, int disabledBitmapId, COLORREF maskColor);

    // Creates the toolbar window at the top of the parent.
    void attach() override;
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    void addButton(int position, int commandId, int tooltipStringId);
    void addSeparator(int position);
    void enableButton(int commandId, bool enabled);
    void showButton(int commandId, bool visible);

    HWND tooltipHandle() const { return tooltips; }
    // The string id of the command's tooltip, 0 for none.
    int tooltipStringId(int commandId) const;

private:
    static void destroyImageList(HIMAGELIST list) { ImageList_Destroy(list); }
    using ImageList = ScopedHandle<HIMAGELIST, destroyImageList>;

    void addStrip(const ImageList& list, int bitmapId);

    ImageList normalImages;
    ImageList hotImages;
    ImageList disabledImages;
    int normalBitmapId;
    int hotBitmapId;
    int disabledBitmapId;
    COLORREF maskColor;
    int buttonCapacity;
    HWND tooltips = nullptr;
    std::vector<int> commandIds;
    std::vector<int> tooltipIds;
};

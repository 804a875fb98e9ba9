#include "ListView_win.h"

#include "CommonControls_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <vector>

namespace {

constexpr int kHeaderTextCapacity = 20;

// Stops the list from repainting until the end of the scope, then repaints it
// once: the control then skips its work for each row whose state changes.
class RedrawSuspended {
public:
    explicit RedrawSuspended(HWND window) : window(window) {
        SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawSuspended() {
        SendMessageW(window, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window, nullptr, TRUE);
    }
    RedrawSuspended(const RedrawSuspended&) = delete;
    RedrawSuspended& operator=(const RedrawSuspended&) = delete;

private:
    HWND window;
};

constexpr int kCompareTextCapacity = 100;
constexpr int kArrowMask = HDF_SORTUP | HDF_SORTDOWN;

} // namespace

ListView::ListView(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor)
    : Control(parent, itemId, hAnchor, vAnchor) {}

void ListView::attach() {
    Control::attach();
    SendMessageW(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    header = reinterpret_cast<HWND>(SendMessageW(hwnd, LVM_GETHEADER, 0, 0));
    BOOL smoothScrolling = FALSE;
    SystemParametersInfoW(SPI_GETLISTBOXSMOOTHSCROLLING, 0, &smoothScrolling, 0);
    if (commonControlsV6() && smoothScrolling) {
        subclass();
    }
}

LRESULT ListView::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = Control::windowProc(window, message, wParam, lParam);
    if (message == WM_VSCROLL) {
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_INVALIDATE);
    }
    return result;
}

LRESULT ListView::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* notification = reinterpret_cast<NMHDR*>(lParam);
        if (notification->hwndFrom == hwnd) {
            if (LRESULT result = handleListNotification(notification)) {
                return result;
            }
        } else if (header && notification->hwndFrom == header) {
            handleHeaderNotification(notification);
        }
    }
    return Control::handleMessage(window, message, wParam, lParam);
}

LRESULT ListView::handleListNotification(NMHDR* notification) {
    switch (notification->code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(notification)->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            colorPending = false;
            item.pszText[0] = L'\0';
            getCellText(keyAt(item.iItem), item.iSubItem, item.pszText, item.cchTextMax - 1);
        }
        return 0;
    }
    case NM_CUSTOMDRAW:
        return handleCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(notification));
    case NM_DBLCLK:
        onDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(notification)->iItem);
        return 0;
    case NM_CLICK:
        onSelectionChanged(getSelectedCount());
        return 0;
    default:
        return 0;
    }
}

LRESULT ListView::handleCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        if (colorPending) {
            draw->clrText = pendingColor;
            colorPending = false;
            return CDRF_NEWFONT;
        }
        if (draw->clrText == 0) {
            return CDRF_DODEFAULT;
        }
        draw->clrText = 0;
        return CDRF_NEWFONT;
    default:
        return CDRF_DODEFAULT;
    }
}

void ListView::handleHeaderNotification(NMHDR* notification) {
    auto* headerNotification = reinterpret_cast<NMHEADERW*>(notification);
    if (notification->code == HDN_ENDTRACKW && headerNotification->pitem &&
        (headerNotification->pitem->mask & HDI_WIDTH)) {
        onColumnResized(headerNotification->iItem, headerNotification->pitem->cxy);
    } else if (notification->code == HDN_ITEMCLICKW && headerNotification->iButton == 0) {
        sortByColumn(headerNotification->iItem);
    }
}

void ListView::onSelectionChanged(int) {}

void ListView::onDoubleClick(int) {}

void ListView::onColumnResized(int, int) {}

void ListView::setCellColor(COLORREF color) {
    colorPending = true;
    pendingColor = color;
}

int ListView::compare(int rowKeyA, int rowKeyB, int column) {
    wchar_t textA[kCompareTextCapacity + 1] = {};
    wchar_t textB[kCompareTextCapacity + 1] = {};
    getCellText(rowKeyA, column, textA, kCompareTextCapacity);
    getCellText(rowKeyB, column, textB, kCompareTextCapacity);
    colorPending = false;
    return std::wcscmp(textA, textB);
}

void ListView::refresh(bool) {
    redraw();
}

void ListView::setColumns(int count, const int* widths, const int* headerStringIds) {
    hide();
    for (int column = 0; column < count; ++column) {
        wchar_t title[kHeaderTextCapacity] = {};
        LoadStringW(instance, static_cast<UINT>(headerStringIds[column]), title,
                    kHeaderTextCapacity);
        LVCOLUMNW format{};
        format.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM | (widths[column] >= 0 ? LVCF_WIDTH : 0);
        format.fmt = LVCFMT_LEFT;
        format.cx = widths[column];
        format.pszText = title;
        format.iSubItem = column;
        UINT message = column < columnCount ? LVM_SETCOLUMNW : LVM_INSERTCOLUMNW;
        SendMessageW(hwnd, message, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&format));
        if (widths[column] < 0) {
            SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                         LVSCW_AUTOSIZE_USEHEADER);
        }
    }
    for (int column = columnCount - 1; column >= count; --column) {
        SendMessageW(hwnd, LVM_DELETECOLUMN, static_cast<WPARAM>(column), 0);
    }
    show();
    columnCount = count;
}

void ListView::setColumnAlignment(int column, int alignment) {
    LVCOLUMNW format{};
    format.mask = LVCF_FMT;
    if (!SendMessageW(hwnd, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&format))) {
        return;
    }
    int justify = alignment == AlignCenter  ? LVCFMT_CENTER
                  : alignment == AlignRight ? LVCFMT_RIGHT
                                            : LVCFMT_LEFT;
    format.fmt = (format.fmt & ~LVCFMT_JUSTIFYMASK) | justify;
    SendMessageW(hwnd, LVM_SETCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&format));
}

bool ListView::nextSelected(int& position, int& key) {
    auto next = SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(position),
                             MAKELPARAM(LVNI_SELECTED, 0));
    if (next < 0) {
        return false;
    }
    position = static_cast<int>(next);
    key = keyAt(position);
    return true;
}

int ListView::keyAt(int position) const {
    if (position < 0 || position >= getRowCount()) {
        return -1;
    }
    return rowKeys[static_cast<std::size_t>(position)];
}

// The control holds no rows of its own (LVS_OWNERDATA): it shows as many rows
// as there are keys and asks for each cell as it draws it, and only the selection is its. So a
// change of tens of thousands of rows is one message, not one per row.
void ListView::setRowCount(int n, bool reset) {
    bool clearSelection = reset && selectedCount > 0;
    if (reset) {
        setSortArrow(sortColumn, 0);
        sortColumn = -1;
        sortDirection = 1;
    }
    const int oldCount = getRowCount();
    if (n == oldCount && !clearSelection) {
        return;
    }
    RedrawSuspended suspended(hwnd);
    // Rows keep their selection where the change moves them (a sorted list,
    // or rows going); rows added to an unsorted list leave the others in place.
    bool rowsMove = !reset && (sortColumn >= 0 || n < oldCount);
    std::vector<int> selected = rowsMove ? selectedKeys() : std::vector<int>();
    if (n > oldCount) {
        for (int key = oldCount; key < n; ++key) {
            rowKeys.push_back(key);
        }
    } else {
        std::erase_if(rowKeys, [n](int key) { return key >= n; });
        std::erase_if(selected, [n](int key) { return key >= n; });
    }
    // Fewer rows take their selection with them: what is left to clear is small.
    SendMessageW(hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(n), 0);
    if (clearSelection) {
        ListView_SetItemState(hwnd, -1, 0, LVIS_SELECTED);
    }
    // The new rows go into the order the user chose, in the user's direction.
    if (sortColumn >= 0) {
        sortKeys();
    }
    if (rowsMove) {
        selectKeys(selected);
    }
}

std::vector<int> ListView::selectedKeys() {
    std::vector<int> keys;
    int position = -1;
    int key = 0;
    while (nextSelected(position, key)) {
        keys.push_back(key);
    }
    return keys;
}

void ListView::selectKeys(const std::vector<int>& keys) {
    ListView_SetItemState(hwnd, -1, 0, LVIS_SELECTED);
    const int rowCount = getRowCount();
    if (static_cast<int>(keys.size()) == rowCount) {
        ListView_SetItemState(hwnd, -1, LVIS_SELECTED, LVIS_SELECTED);
        return;
    }
    std::vector<int> positionOfKey(static_cast<std::size_t>(rowCount), -1);
    for (int position = 0; position < rowCount; ++position) {
        positionOfKey[static_cast<std::size_t>(rowKeys[static_cast<std::size_t>(position)])] =
            position;
    }
    for (int key : keys) {
        if (key >= 0 && key < rowCount) {
            ListView_SetItemState(hwnd, positionOfKey[static_cast<std::size_t>(key)], LVIS_SELECTED,
                                  LVIS_SELECTED);
        }
    }
}

void ListView::setSelected(int position, bool selected) {
    UINT state = ListView_GetItemState(hwnd, position, LVIS_SELECTED);
    if (((state & LVIS_SELECTED) != 0) == selected) {
        return;
    }
    ListView_SetItemState(hwnd, position, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
    onSelectionChanged(getSelectedCount());
}

void ListView::selectAll() {
    {
        RedrawSuspended suspended(hwnd);
        ListView_SetItemState(hwnd, -1, LVIS_SELECTED, LVIS_SELECTED);
    }
    selectedCount = getRowCount();
    onSelectionChanged(selectedCount);
}

void ListView::selectNone() {
    {
        RedrawSuspended suspended(hwnd);
        ListView_SetItemState(hwnd, -1, 0, LVIS_SELECTED);
    }
    selectedCount = 0;
    onSelectionChanged(0);
}

int ListView::getSelectedCount() {
    selectedCount = static_cast<int>(SendMessageW(hwnd, LVM_GETSELECTEDCOUNT, 0, 0));
    return selectedCount;
}

void ListView::ensureVisible(int position, bool partialAllowed) {
    SendMessageW(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(position), partialAllowed);
}

void ListView::sortByColumn(int column) {
    if (column == sortColumn) {
        sortDirection = -sortDirection;
    } else {
        setSortArrow(sortColumn, 0);
        sortDirection = 1;
    }
    setSortArrow(column, sortDirection);
    sortColumn = column;
    sortRows();
}

// Rows keep their selection as they move.
void ListView::sortRows() {
    RedrawSuspended suspended(hwnd);
    std::vector<int> selected = selectedKeys();
    sortKeys();
    if (!selected.empty()) {
        selectKeys(selected);
    }
}

void ListView::sortKeys() {
    std::stable_sort(rowKeys.begin(), rowKeys.end(), [this](int a, int b) {
        return compare(a, b, sortColumn) * sortDirection < 0;
    });
}

void ListView::setSortArrow(int column, int direction) {
    if (column < 0 || !header || !commonControlsV6()) {
        return;
    }
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&item))) {
        return;
    }
    item.fmt &= ~kArrowMask;
    if (direction > 0) {
        item.fmt |= HDF_SORTDOWN;
    } else if (direction < 0) {
        item.fmt |= HDF_SORTUP;
    }
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
}

#include "ListView_win.h"
#include "TestDialogIds.h"
#include "WindowTestSupport_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cwchar>
#include <set>
#include <vector>

namespace {

// Column 0 sorts the rows against their keys ("n19" for key 1), column 1
// with them ("k01"). The first cell of key 2 is red.
class SampleList : public ListView {
public:
    using ListView::ListView;

    static constexpr int kRedKey = 2;

    void getCellText(int rowKey, int column, wchar_t* buffer, int capacity) override {
        if (column == 0) {
            std::swprintf(buffer, static_cast<std::size_t>(capacity) + 1, L"n%02d", 20 - rowKey);
            if (rowKey == kRedKey) {
                setCellColor(RGB(255, 0, 0));
            }
        } else {
            std::swprintf(buffer, static_cast<std::size_t>(capacity) + 1, L"k%02d-%d", rowKey,
                          column);
        }
    }
    void onSelectionChanged(int count) override { reportedCounts.push_back(count); }

    std::vector<int> reportedCounts;
};

class ListDialog : public Dialog {
public:
    ListDialog() : Dialog(testModule(), IDD_TEST_CONTROLS, nullptr) {}
    SampleList list{*this, IDC_TEST_LIST, AnchorStretch, AnchorStretch};

    void onInitDialog() override {
        static const int widths[] = {80, 80, 80};
        static const int titles[] = {132, 133, 134};
        list.setColumns(3, widths, titles);
    }
};

// The keys of the rows from top to bottom.
std::vector<int> keysInOrder(ListView& list) {
    std::vector<int> keys;
    int count = static_cast<int>(SendMessageW(list.handle(), LVM_GETITEMCOUNT, 0, 0));
    for (int position = 0; position < count; ++position) {
        keys.push_back(list.keyAt(position));
    }
    return keys;
}

std::vector<int> range(int from, int to, int step = 1) {
    std::vector<int> values;
    for (int value = from; step > 0 ? value <= to : value >= to; value += step) {
        values.push_back(value);
    }
    return values;
}

void clickHeader(ListView& list, int column) {
    RECT item{};
    SendMessageW(list.headerHandle(), HDM_GETITEMRECT, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
    LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageW(list.headerHandle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(list.headerHandle(), WM_LBUTTONUP, 0, point);
    pumpMessages();
}

int arrowOf(ListView& list, int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    SendMessageW(list.headerHandle(), HDM_GETITEMW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&item));
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

TEST(ListView, HeaderClicksSortAscendingThenDescendingAndAnotherColumnStartsAscending) {
    ListDialog dialog;
    OpenedDialog opened(dialog);
    SampleList& list = dialog.list;
    list.setRowCount(5, true);
    ASSERT_EQ(keysInOrder(list), range(0, 4));

    clickHeader(list, 0);
    EXPECT_EQ(keysInOrder(list), range(4, 0, -1));
    EXPECT_EQ(arrowOf(list, 0), HDF_SORTDOWN);

    clickHeader(list, 0);
    EXPECT_EQ(keysInOrder(list), range(0, 4));
    EXPECT_EQ(arrowOf(list, 0), HDF_SORTUP);

    clickHeader(list, 1);
    EXPECT_EQ(keysInOrder(list), range(0, 4));
    EXPECT_EQ(list.currentSortDirection(), 1);
    EXPECT_EQ(arrowOf(list, 0), 0);
    EXPECT_EQ(arrowOf(list, 1), HDF_SORTDOWN);

    list.setRowCount(5, true);
    EXPECT_EQ(list.currentSortColumn(), -1);
    EXPECT_EQ(arrowOf(list, 1), 0);
}

TEST(ListView, SetRowCountAddsKeysAtTheEndAndDeletesTheHighestKeysWhereverTheyAre) {
    ListDialog dialog;
    OpenedDialog opened(dialog);
    SampleList& list = dialog.list;
    list.setRowCount(10, true);
    list.sortByColumn(0); // descending keys
    list.setRowCount(15, false);
    EXPECT_EQ(list.getRowCount(), 15);
    EXPECT_EQ(keysInOrder(list), range(14, 0, -1)) << "new rows 10..14 are sorted in";

    list.setRowCount(8, false);
    EXPECT_EQ(keysInOrder(list), range(7, 0, -1));

    // Most rows going at once: the rest keep their order and their selection.
    list.setSelected(1, true); // key 6
    list.setSelected(6, true); // key 1
    list.setRowCount(3, false);
    EXPECT_EQ(keysInOrder(list), range(2, 0, -1));
    int position = -1;
    int key = -1;
    std::vector<int> selectedKeys;
    while (list.nextSelected(position, key)) {
        selectedKeys.push_back(key);
    }
    EXPECT_EQ(selectedKeys, std::vector<int>{1});
}

TEST(ListView, SetRowCountKeepsTheUsersSortDirection) {
    ListDialog dialog;
    OpenedDialog opened(dialog);
    SampleList& list = dialog.list;
    list.setRowCount(4, true);
    list.sortByColumn(1);
    list.sortByColumn(1); // the user wants descending keys
    ASSERT_EQ(keysInOrder(list), range(3, 0, -1));

    list.setRowCount(6, false);
    EXPECT_EQ(list.currentSortDirection(), -1);
    EXPECT_EQ(arrowOf(list, 1), HDF_SORTUP);
    EXPECT_EQ(keysInOrder(list), range(5, 0, -1));

    list.setRowCount(5, false);
    EXPECT_EQ(keysInOrder(list), range(4, 0, -1));
}

// The colours of a cell's text pixels: anything clearly darker than the background.
std::set<COLORREF> inkColors(HWND list, int position, int column) {
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&cell));
    std::set<COLORREF> colors;
    HDC dc = GetDC(list);
    for (int y = cell.top + 1; y < cell.bottom - 1; ++y) {
        for (int x = cell.left + 1; x < cell.right - 1; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 160 ||
                (GetRValue(pixel) > 200 && GetGValue(pixel) < 80)) {
                colors.insert(pixel);
            }
        }
    }
    ReleaseDC(list, dc);
    return colors;
}

bool isReddish(COLORREF color) {
    return GetRValue(color) > 150 && GetGValue(color) < 100 && GetBValue(color) < 100;
}

TEST(ListView, ACellColouredByItsOwnerIsDrawnInThatColourAndTheNextCellInBlack) {
    ListDialog dialog;
    OpenedDialog opened(dialog);
    SampleList& list = dialog.list;
    list.setRowCount(4, true);
    RedrawWindow(list.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    pumpMessages();

    std::set<COLORREF> red = inkColors(list.handle(), SampleList::kRedKey, 0);
    std::set<COLORREF> next = inkColors(list.handle(), SampleList::kRedKey, 1);
    std::set<COLORREF> other = inkColors(list.handle(), 1, 0);
    ASSERT_FALSE(red.empty());
    ASSERT_FALSE(next.empty());
    EXPECT_TRUE(red.count(RGB(255, 0, 0))) << "no pure red pixel in the red cell";
    for (COLORREF color : next) {
        EXPECT_FALSE(isReddish(color)) << std::hex << color;
    }
    EXPECT_TRUE(next.count(RGB(0, 0, 0)));
    for (COLORREF color : other) {
        EXPECT_FALSE(isReddish(color)) << std::hex << color;
    }
}

void clickRow(ListView& list, int position, bool withControl) {
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendMessageW(list.handle(), LVM_GETITEMRECT, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&row));
    LPARAM point = MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2);
    WPARAM keys = MK_LBUTTON | (withControl ? MK_CONTROL : 0);
    PostMessageW(list.handle(), WM_LBUTTONDOWN, keys, point);
    PostMessageW(list.handle(), WM_LBUTTONUP, keys & ~MK_LBUTTON, point);
    pumpMessages();
}

TEST(ListView, ReportsSelectionCountsOnClicksAndSelectOperations) {
    ListDialog dialog;
    OpenedDialog opened(dialog);
    SampleList& list = dialog.list;
    list.setRowCount(6, true);

    list.selectAll();
    list.selectNone();
    list.setSelected(2, true);
    list.setSelected(2, true); // no change, no report
    list.setSelected(4, true);
    EXPECT_EQ(list.reportedCounts, (std::vector<int>{6, 0, 1, 2}));

    int position = -1;
    int key = -1;
    std::vector<int> selectedKeys;
    while (list.nextSelected(position, key)) {
        selectedKeys.push_back(key);
    }
    EXPECT_EQ(selectedKeys, (std::vector<int>{2, 4}));

    list.reportedCounts.clear();
    clickRow(list, 1, false);
    EXPECT_EQ(list.reportedCounts, std::vector<int>{1});
    EXPECT_EQ(list.getSelectedCount(), 1);
}

TEST(ListView, ColumnsTakeTheirTitlesWidthsAndAlignment) {
    ListDialog dialog;
    OpenedDialog opened(dialog);
    SampleList& list = dialog.list;
    static const int widths[] = {50, 60};
    static const int titles[] = {158, 159};
    list.setColumns(2, widths, titles);
    list.setColumnAlignment(1, ItemListView::AlignRight);

    HWND header = list.headerHandle();
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
    wchar_t title[32] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = title;
    column.cchTextMax = 32;
    SendMessageW(list.handle(), LVM_GETCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    EXPECT_STREQ(title, L"Tracks");
    EXPECT_EQ(column.cx, 60);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_RIGHT);
}

} // namespace

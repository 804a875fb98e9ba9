#pragma once

#include "Control_win.h"
#include "ItemListView.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

// A report-style list view whose rows carry a key (their position when they
// were added) and whose cell texts and colours are asked of the owner when
// they are drawn. A click on a column header sorts by that column. Its
// control must have the LVS_OWNERDATA style: the rows are this object's.
class ListView : public Control, public ItemListView {
public:
    ListView(Window& parent, int itemId, Anchor hAnchor, Anchor vAnchor);

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void attach() override;
    // Repaints at once after a vertical scroll (smooth scrolling leaves stale rows otherwise).
    LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    // The text of a cell, at most capacity characters plus the end; a call of
    // setCellColor from here colours that cell.
    virtual void getCellText(int rowKey, int column, wchar_t* buffer, int capacity) = 0;
    virtual void onSelectionChanged(int selectedCount);
    virtual void onDoubleClick(int rowPosition);
    virtual void onColumnResized(int column, int width);
    virtual void setCellColor(COLORREF color);
    // Orders two rows by a column: by default the cells' texts, ordinal.
    virtual int compare(int rowKeyA, int rowKeyB, int column);
    // Shows the rows again after what they show changed: by default a repaint.
    virtual void refresh(bool reset);

    void setColumns(int count, const int* widths, const int* headerStringIds) override;
    void setColumnAlignment(int column, int alignment) override;
    bool nextSelected(int& position, int& key) override;

    // The key of the row at a position; -1 for none.
    int keyAt(int position) const;
    // Adds rows (keys rowCount..n-1) or deletes the rows with the highest keys.
    // With reset the sort order and the selection are forgotten; without it a
    // sorted list is sorted again in the user's direction.
    void setRowCount(int n, bool reset);
    int getRowCount() const { return static_cast<int>(rowKeys.size()); }
    void setSelected(int position, bool selected);
    void selectAll();
    void selectNone();
    int getSelectedCount();
    void ensureVisible(int position, bool partialAllowed);
    // Sorts by the column: ascending, or the other way when it is the sort column already.
    void sortByColumn(int column);

    int currentSortColumn() const { return sortColumn; }
    int currentSortDirection() const { return sortDirection; }
    HWND headerHandle() const { return header; }

private:
    LRESULT handleListNotification(NMHDR* notification);
    LRESULT handleCustomDraw(NMLVCUSTOMDRAW* draw);
    void handleHeaderNotification(NMHDR* notification);
    void sortRows();
    void sortKeys();
    void setSortArrow(int column, int direction);
    std::vector<int> selectedKeys();
    // Selects exactly the rows of these keys.
    void selectKeys(const std::vector<int>& keys);
    int columnCount = 0;
    std::vector<int> rowKeys; // the key of the row at each position
    HWND header = nullptr;
    int sortColumn = -1;
    int sortDirection = 1;
    bool colorPending = false;
    COLORREF pendingColor = 0;
    int selectedCount = 0;
};

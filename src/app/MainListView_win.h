#pragma once

#include "ListView_win.h"

class ItemSource;

// What the lists of the program tell the main window.
class MainListOwner {
public:
    virtual ~MainListOwner() = default;

    // The main status text, a string of the table.
    virtual void showRowStatus(int stringId) = 0;
    // The selection count, and the menu state when the window is idle.
    virtual void showSelectionCount(int selected, int total) = 0;
    // A row of this view was double-clicked.
    virtual void rowActivated(const ItemSource& view) = 0;
};

// A list whose rows come from a view (an ItemSource): the main window's list,
// and the list of the Tracks in Album dialog. Its status texts go to the main
// window whichever dialog it is in.
class MainListView : public ListView {
public:
    MainListView(Window& parent, int itemId, MainListOwner& owner);

    // Makes the view current: its columns, then its rows from the start.
    void attachView(ItemSource& view);

    // The view's rows again: with reset the sort order, the selection and the
    // view's loaded row are forgotten.
    void refresh(bool reset) override;
    // One selected row tells by its colour what is wrong with it; then the count.
    void onSelectionChanged(int selectedCount) override;
    void getCellText(int rowKey, int column, wchar_t* buffer, int capacity) override;
    void onDoubleClick(int rowPosition) override;
    void onColumnResized(int column, int width) override;
    int compare(int rowKeyA, int rowKeyB, int column) override;

private:
    MainListOwner& owner;
    ItemSource* view = nullptr;
};

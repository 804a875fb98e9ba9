#include "MainListView_win.h"

#include "ItemSource.h"

namespace {

constexpr int kReady = 147;
constexpr int kClipping = 170;
constexpr int kFileNotFound = 171;
constexpr int kFileProtected = 172;
constexpr int kToolCannotTakeFile = 205;

// The main status of a row of this colour when it is the one selected.
int statusForColour(CellColour colour) {
    switch (colour) {
    case kClippingRed:
        return kClipping;
    case kNotFoundOrange:
        return kFileNotFound;
    case kProtectedMagenta:
        return kFileProtected;
    case kNotHandledGray:
        return kToolCannotTakeFile;
    default:
        return kReady;
    }
}

} // namespace

MainListView::MainListView(Window& parent, int itemId, MainListOwner& owner)
    : ListView(parent, itemId, AnchorStretch, AnchorStretch), owner(owner) {}

void MainListView::attachView(ItemSource& newView) {
    view = &newView;
    view->setupColumns(*this);
    refresh(true);
}

void MainListView::refresh(bool reset) {
    if (view) {
        setRowCount(view->getCount(), reset);
        if (reset) {
            view->reset();
        }
    }
    redraw();
    onSelectionChanged(getSelectedCount());
}

void MainListView::onSelectionChanged(int selectedCount) {
    int status = kReady;
    int position = -1;
    int key = 0;
    if (selectedCount == 1 && view && nextSelected(position, key)) {
        view->reset();
        CellColour colour = kNormalColour;
        view->getCellText(key, 0, nullptr, 0, colour);
        status = statusForColour(colour);
    }
    owner.showRowStatus(status);
    owner.showSelectionCount(selectedCount, getRowCount());
}

void MainListView::getCellText(int rowKey, int column, wchar_t* buffer, int capacity) {
    if (!view) {
        return;
    }
    CellColour colour = kNormalColour;
    view->getCellText(rowKey, column, buffer, capacity, colour);
    if (colour != kNormalColour) {
        setCellColor(colour);
    }
}

void MainListView::onDoubleClick(int) {
    if (view) {
        owner.rowActivated(*view);
    }
}

void MainListView::onColumnResized(int column, int width) {
    if (view) {
        view->setColumnWidth(column, width);
    }
}

int MainListView::compare(int rowKeyA, int rowKeyB, int column) {
    return view ? view->compareRows(rowKeyA, rowKeyB, column) : 0;
}

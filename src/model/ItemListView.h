#pragma once

// What an item source asks of the list view it fills and reads. The window
// toolkit's ListView implements it; tests put a recorder in its place.
class ItemListView {
public:
    enum Alignment { AlignLeft = 0, AlignCenter = 1, AlignRight = 2 };

    virtual ~ItemListView() = default;

    // Sets the columns: count headers (string ids), widths in pixels (-1 for
    // the list's default), all left-aligned.
    virtual void setColumns(int count, const int* widths, const int* headerStringIds) = 0;
    virtual void setColumnAlignment(int column, int alignment) = 0;

    // The next selected row after position (start with -1): its position is
    // written back and its key (the row's item data) to key. False when there
    // is no further selected row.
    virtual bool nextSelected(int& position, int& key) = 0;
};

#include "ColumnLayout.h"

#include "ItemListView.h"
#include "Preferences.h"

#include <vector>

void setUpColumns(ItemListView& list, const Preferences& preferences, const ColumnLayout& layout,
                  std::span<int> widths) {
    int count = static_cast<int>(widths.size());
    for (int i = 0; i < count; ++i) {
        widths[i] = preferences.getPrefListItem(layout.widthsPreference, i);
    }
    list.setColumns(count, widths.data(), layout.headerStringIds.data());
    for (int column : layout.rightAligned) {
        list.setColumnAlignment(column, ItemListView::AlignRight);
    }
}

void rememberColumnWidth(Preferences& preferences, const ColumnLayout& layout,
                         std::span<int> widths, int column, int width) {
    if (column < 0 || column >= static_cast<int>(widths.size())) {
        return;
    }
    widths[column] = width;
    preferences.setPrefList(layout.widthsPreference,
                            std::vector<int>(widths.begin(), widths.end()));
}

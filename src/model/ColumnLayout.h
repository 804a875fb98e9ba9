#pragma once

#include <span>

class ItemListView;
class Preferences;
enum class PrefIndex;

// The columns of a view: headers (string ids), the widths kept in a
// preference as a comma-separated list (-1 for a width the list lacks), and
// which columns are right-aligned (the others stay left-aligned).
struct ColumnLayout {
    PrefIndex widthsPreference;
    std::span<const int> headerStringIds;
    std::span<const int> rightAligned;
};

// Reads the widths from the preference into widths and sets the list up.
void setUpColumns(ItemListView& list, const Preferences& preferences, const ColumnLayout& layout,
                  std::span<int> widths);

// Remembers a new width of one column and writes all widths to the preference.
void rememberColumnWidth(Preferences& preferences, const ColumnLayout& layout,
                         std::span<int> widths, int column, int width);

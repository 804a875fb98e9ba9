#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ItemListView;

// A cell colour as a Windows COLORREF (0x00BBGGRR); 0 means the list's normal
// text colour.
using CellColour = std::uint32_t;

constexpr CellColour cellColour(unsigned red, unsigned green, unsigned blue) {
    return static_cast<CellColour>(red | (green << 8) | (blue << 16));
}

inline constexpr CellColour kNormalColour = 0;
inline constexpr CellColour kClippingRed = cellColour(255, 0, 0);        // clips or would clip
inline constexpr CellColour kNotFoundOrange = cellColour(255, 128, 0);   // no file record
inline constexpr CellColour kProtectedMagenta = cellColour(255, 0, 255); // a protected .m4p
inline constexpr CellColour kNotHandledGray =
    cellColour(128, 128, 128); // the tool cannot take the file

// What every list and every unit of work is made of: rows for the list view,
// and for the row loaded by selectRow the gain questions a job asks. The order
// of the operations is fixed; keep it when adding to the class.
class ItemSource {
public:
    virtual ~ItemSource() = default;

    virtual int getCount() = 0;
    virtual void setupColumns(ItemListView& list) = 0;
    // Writes the text of a cell into buffer, which holds length characters plus
    // the terminating null, and may set colour (left alone for the normal
    // colour). A null buffer asks only for the colour.
    virtual void getCellText(int row, int column, wchar_t* buffer, int length,
                             CellColour& colour) = 0;
    // Negative, 0 or positive; never disturbs the row loaded by selectRow.
    virtual int compareRows(int rowA, int rowB, int column) = 0;
    virtual void reset() = 0;
    virtual void setColumnWidth(int column, int width) = 0;

    // Loads the item of a row (its data index, not its position on screen):
    // true when it can be processed. The operations below act on that item.
    virtual bool selectRow(int row) = 0;
    virtual const std::wstring& getName() = 0;
    virtual const std::wstring& getFileArgs() = 0;
    virtual bool getGlobalGainAdjust(int& steps) = 0;
    virtual bool getMaxNoClipGlobalGainAdjust(int& steps) = 0;
    virtual bool getWillClip(bool& willClip) = 0;
    virtual void clearData() = 0;
    virtual const std::vector<int>& getTrackIds() = 0;

protected:
    ItemSource() = default;
    ItemSource(const ItemSource&) = default;
    ItemSource& operator=(const ItemSource&) = default;
};

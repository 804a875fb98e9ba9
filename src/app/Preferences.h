#pragma once

#include <optional>
#include <string>
#include <vector>

class VeltoDatabase;

// The preferences, in the order of their names and defaults.
enum class PrefIndex {
    DontClip = 0,
    TimestampComments = 1,
    Volume = 2,
    LastPlaylist = 3,
    WindowPlacement = 4,
    TrackColumnWidths = 5,
    AlbumColumnWidths = 6,
    DontAskComments = 7,
    AlbumUndo = 8,
    DontAskAlbumUndo = 9,
    RemoveTagsUndo = 10,
    DontAskRemoveTagsUndo = 11,
    // How many gain tool runs a job makes at once; absent: one per processor.
    ToolRuns = 12,
    // Where the loudness overview was last shown.
    OverviewPlacement = 13,
};

constexpr int kPreferenceCount = 14;

// Typed access to the preferences, which live as texts in the database's
// preference table and travel with the database file. Any thread may call it.
class Preferences {
public:
    explicit Preferences(VeltoDatabase& database);

    // The name under which the preference is stored, and its default text
    // (nullptr for the preferences without one).
    static const wchar_t* nameOf(PrefIndex index);
    static const wchar_t* defaultOf(PrefIndex index);

    // The stored text; none when the name is not stored or its text is empty.
    std::optional<std::wstring> getPref(PrefIndex index) const;
    // The text's leading integer; 0 for no digits or an absent preference.
    int getPrefInt(PrefIndex index) const;
    // True exactly when the text exists and begins with '1'.
    bool getPrefBool(PrefIndex index) const;
    // The n-th (0-based) integer of a comma-separated list; -1 when the list
    // has fewer items or the preference is absent.
    int getPrefListItem(PrefIndex index, int n) const;

    void setPref(PrefIndex index, const std::wstring& text);
    void setPrefInt(PrefIndex index, int value);
    void setPrefBool(PrefIndex index, bool flag);
    // The values joined with ',' (no blanks, no trailing comma).
    void setPrefList(PrefIndex index, const std::vector<int>& values);

    // Every absent preference that has a default gets it.
    void fillMissingDefaults();
    // Every preference gets its default; those without one are removed.
    void setDefaults();

private:
    VeltoDatabase& database;
};

#pragma once

#include "Control_win.h"
#include "Dialog_win.h"
#include "LoudnessOverview.h"

#include <windows.h>

class PositionSource;
class Preferences;
class VeltoDatabase;

// View > Loudness Overview (template 185): a resizable window beside the main
// window drawing the current playlist's loudness now and after Apply Gain. It
// follows the target trackbar, the playlist and Don't Clip, and the values a
// running job stores, by looking at them a few times a second; its size and
// place are kept in the OverviewPlacement preference.
class LoudnessOverviewDialog : public Dialog {
public:
    LoudnessOverviewDialog(Dialog& owner, const VeltoDatabase& database, Preferences& preferences,
                           PositionSource& target);

    // Opens the window where it was last, or brings it to the front.
    void open();
    bool isOpen() const { return hwnd != nullptr; }
    // Keeps the open window's size and place in the preferences.
    void rememberPlacement();

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog() override;

    const LoudnessPicture& picture() const { return overview.picture(); }

private:
    void refresh();
    void showCounts();
    void paint(HDC dc);
    std::wstring text(int stringId) const;

    Preferences& preferences;
    PositionSource& target;
    LoudnessOverview overview;
    Control counts;
};

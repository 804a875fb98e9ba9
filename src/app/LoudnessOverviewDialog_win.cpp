#include "LoudnessOverviewDialog_win.h"

#include "LoudnessChart_win.h"
#include "MessageFormat.h"
#include "PositionSource.h"
#include "Preferences.h"
#include "ResourceIds.h"
#include "ResourceStringTable_win.h"
#include "ScopedHandle_win.h"
#include "ScreenPlacement_win.h"

#include <algorithm>

namespace {

constexpr UINT_PTR kRefreshTimer = 1;
// Often enough that the picture follows the trackbar while it is dragged.
constexpr UINT kRefreshMilliseconds = 200;
constexpr int kMinimumWidth = 360;
constexpr int kMinimumHeight = 220;

constexpr int kNowTitle = 260;
constexpr int kAfterTitle = 261;
constexpr int kCountAxis = 262;
constexpr int kCounts = 263;
constexpr int kDontClipLimits = 264;
constexpr int kNothingAnalysed = 265;

using ScopedBitmap = ScopedHandle<HGDIOBJ, deleteGdiObject>;

void deleteDc(HDC dc) {
    DeleteDC(dc);
}
using ScopedDc = ScopedHandle<HDC, deleteDc>;

} // namespace

LoudnessOverviewDialog::LoudnessOverviewDialog(Dialog& owner, const VeltoDatabase& database,
                                               Preferences& preferences, PositionSource& target)
    : Dialog(owner, IDD_LOUDNESS_OVERVIEW), preferences(preferences), target(target),
      overview(database), counts(*this, IDC_OVERVIEW_COUNTS, AnchorStretch, AnchorMove) {}

void LoudnessOverviewDialog::open() {
    if (isOpen()) {
        if (IsIconic(hwnd)) {
            showWindow(SW_RESTORE);
        }
        SetForegroundWindow(hwnd);
        return;
    }
    if (!createOwned()) {
        return;
    }
    auto item = [&](int n) { return preferences.getPrefListItem(PrefIndex::OverviewPlacement, n); };
    const int showCommand = item(4) == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (item(4) >= 0) {
        setPlacement(placementOnThisScreen(RECT{item(0), item(1), item(2), item(3)}, showCommand));
    } else {
        showWindow(SW_SHOWNORMAL);
    }
}

void LoudnessOverviewDialog::rememberPlacement() {
    if (!isOpen()) {
        return;
    }
    Placement placement = getPlacement();
    preferences.setPrefList(PrefIndex::OverviewPlacement,
                            {placement.normal.left, placement.normal.top, placement.normal.right,
                             placement.normal.bottom, placement.showCommand});
}

void LoudnessOverviewDialog::onInitDialog() {
    refresh();
    SetTimer(hwnd, kRefreshTimer, kRefreshMilliseconds, nullptr);
}

LRESULT LoudnessOverviewDialog::handleMessage(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    if (window != hwnd) {
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == kRefreshTimer) {
            refresh();
            return 1;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT paintStruct{};
        HDC dc = BeginPaint(hwnd, &paintStruct);
        paint(dc);
        EndPaint(hwnd, &paintStruct);
        return 1;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_ERASEBKGND:
        return 1; // paint covers the whole client area
    case WM_SIZE:
        // The counts follow the window first (Control's layout).
        Dialog::handleMessage(window, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 1;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = {kMinimumWidth, kMinimumHeight};
        return 1;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
            return 1;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
            return 1;
        }
        break;
    case WM_CLOSE:
        rememberPlacement();
        DestroyWindow(hwnd);
        return 1;
    case WM_DESTROY:
        KillTimer(hwnd, kRefreshTimer);
        break;
    default:
        break;
    }
    return Dialog::handleMessage(window, message, wParam, lParam);
}

void LoudnessOverviewDialog::refresh() {
    if (overview.refresh(target.getPosition(), preferences.getPrefBool(PrefIndex::DontClip))) {
        showCounts();
        InvalidateRect(hwnd, nullptr, FALSE);
    }
}

void LoudnessOverviewDialog::showCounts() {
    const LoudnessCounts& numbers = overview.picture().counts;
    std::wstring words =
        formatMessage(text(kCounts), {numbers.analysed, numbers.notAnalysed, numbers.clippingNow,
                                      numbers.wouldClipAfter});
    if (numbers.limitedByDontClip > 0) {
        words += formatMessage(text(kDontClipLimits), {numbers.limitedByDontClip});
    }
    counts.setText(words);
}

// The picture fills the client area above the counts. It is drawn into a
// bitmap first and copied in one go, so that it does not flicker while the
// window is resized or a job stores values.
void LoudnessOverviewDialog::paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd, &client);
    RECT countsRect = counts.getWindowRect();
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&countsRect), 2);
    const RECT chart{0, 0, client.right, std::max(0L, countsRect.top - 4)};
    const RECT below{0, chart.bottom, client.right, client.bottom};
    FillRect(dc, &below, GetSysColorBrush(COLOR_BTNFACE));
    ScopedDc memory(CreateCompatibleDC(dc));
    ScopedBitmap bitmap(CreateCompatibleBitmap(dc, chart.right, chart.bottom));
    if (!memory || !bitmap) {
        return;
    }
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    const LoudnessPicture& picture = overview.picture();
    paintLoudnessChart(memory.get(), chart, picture,
                       {text(kNowTitle), formatMessage(text(kAfterTitle), {picture.targetVolume}),
                        text(kCountAxis), text(kNothingAnalysed)});
    BitBlt(dc, 0, 0, chart.right, chart.bottom, memory.get(), 0, 0, SRCCOPY);
    SelectObject(memory.get(), previous);
}

std::wstring LoudnessOverviewDialog::text(int stringId) const {
    return ResourceStringTable(instance).load(stringId).value_or(std::wstring());
}

#include "CheckButton_win.h"
#include "ColorStatic_win.h"
#include "DropDownList_win.h"
#include "ListView_win.h"
#include "ResourceIds.h"
#include "StatusBar_win.h"
#include "TestDialogIds.h"
#include "Toolbar_win.h"
#include "ValueTrackBar_win.h"
#include "WindowTestSupport_win.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

class Playlists : public DropDownList {
public:
    using DropDownList::DropDownList;
    void onSelect(int key) override { selected.push_back(key); }
    std::vector<int> selected;
};

class CountingList : public ListView {
public:
    using ListView::ListView;
    void getCellText(int, int, wchar_t* buffer, int) override { buffer[0] = L'\0'; }
    void refresh(bool reset) override { refreshes.push_back(reset); }
    std::vector<bool> refreshes;
};

class ControlsDialog : public Dialog {
public:
    ControlsDialog() : Dialog(testModule(), IDD_TEST_CONTROLS, nullptr) {}
    CountingList list{*this, IDC_TEST_LIST, AnchorNone, AnchorNone};
    Playlists playlists{*this, IDC_TEST_COMBO, AnchorNone, AnchorNone};
    ColorStatic valueBox{*this, IDC_TEST_VALUE, AnchorNone, AnchorNone, 255, 255, 255};
    ValueTrackBar trackbar{*this, IDC_TEST_TRACKBAR, AnchorNone, AnchorNone, valueBox};
};

std::vector<std::wstring> entries(DropDownList& list) {
    std::vector<std::wstring> texts;
    for (int position = 0; position < list.entryCount(); ++position) {
        texts.push_back(list.entryText(position));
    }
    return texts;
}

TEST(DropDownList, FindsEntriesByKeyAfterSortedAdditionsMovedThem) {
    ControlsDialog dialog;
    OpenedDialog opened(dialog);
    Playlists& list = dialog.playlists;
    EXPECT_EQ(list.selectedKey(), 0) << "nothing selected";

    list.addItem(L"Rock", 7, false);
    list.addItem(L"Jazz", 8, true);
    list.addItem(L"Ambient", 9, false); // moves Jazz and Rock down
    ASSERT_EQ(entries(list), (std::vector<std::wstring>{L"Ambient", L"Jazz", L"Rock"}));
    EXPECT_EQ(list.selectedKey(), 8);

    EXPECT_EQ(list.addItem(L"Jazz", 8, false), 1) << "same key, same text: nothing changes";
    EXPECT_EQ(entries(list).size(), 3u);

    list.addItem(L"Zydeco", 8, false); // renamed while selected
    EXPECT_EQ(entries(list), (std::vector<std::wstring>{L"Ambient", L"Rock", L"Zydeco"}));
    EXPECT_EQ(list.selectedKey(), 8);

    list.removeItem(7); // Rock, not what its first position now holds
    EXPECT_EQ(entries(list), (std::vector<std::wstring>{L"Ambient", L"Zydeco"}));
    EXPECT_TRUE(list.selected.empty()) << "removing another entry reports no selection";

    list.removeItem(8); // the selected one: the entry before it takes over
    EXPECT_EQ(list.selected, std::vector<int>{9});
    EXPECT_EQ(list.selectedKey(), 9);

    list.removeItem(9);
    EXPECT_EQ(list.selected, std::vector<int>{9}) << "an emptied list reports nothing";
    EXPECT_EQ(list.selectedKey(), 0);
}

TEST(DropDownList, TheUsersChoiceAndSelectPositionAreReported) {
    ControlsDialog dialog;
    OpenedDialog opened(dialog);
    Playlists& list = dialog.playlists;
    list.addItem(L"B", 2, false);
    list.addItem(L"A", 1, false);

    SendMessageW(list.handle(), CB_SETCURSEL, 1, 0);
    SendMessageW(dialog.handle(), WM_COMMAND, MAKEWPARAM(IDC_TEST_COMBO, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list.handle()));
    list.selectPosition(0);
    EXPECT_EQ(list.selected, (std::vector<int>{2, 1}));

    list.selectPosition(5); // no such entry: the first is selected, nothing reported
    EXPECT_EQ(list.selectedPosition(), 0);
    EXPECT_EQ(list.selected.size(), 2u);
}

TEST(ValueTrackBar, ShowsThePositionTimesTheScale) {
    ControlsDialog dialog;
    OpenedDialog opened(dialog);
    ValueTrackBar& trackbar = dialog.trackbar;
    dialog.valueBox.setText(L"0");
    trackbar.setRange(-8, 8, 0, 1, 1.5);
    EXPECT_EQ(dialog.valueBox.getText(), L"0") << "setRange leaves the box alone";

    trackbar.setPosition(-3);
    EXPECT_EQ(dialog.valueBox.getText(), L"-4.5");
    trackbar.setPosition(0);
    EXPECT_EQ(dialog.valueBox.getText(), L"0.0");

    trackbar.setRange(79, 99, 89, 1, 1.0);
    EXPECT_EQ(trackbar.getPosition(), 89) << "the starting position counts before any move";
    trackbar.setPosition(92);
    EXPECT_EQ(dialog.valueBox.getText(), L"92");
    EXPECT_EQ(trackbar.getPosition(), 92);
}

TEST(ValueTrackBar, AMoveByTheUserUpdatesTheBoxAndRefreshesTheObserverWithoutReset) {
    ControlsDialog dialog;
    OpenedDialog opened(dialog);
    ValueTrackBar& trackbar = dialog.trackbar;
    trackbar.setRange(79, 99, 89, 1, 1.0);
    trackbar.setObserver(&dialog.list);

    SendMessageW(trackbar.handle(), TBM_SETPOS, TRUE, 81);
    SendMessageW(dialog.handle(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 81),
                 reinterpret_cast<LPARAM>(trackbar.handle()));
    EXPECT_EQ(dialog.valueBox.getText(), L"81");
    EXPECT_EQ(trackbar.getPosition(), 81);
    EXPECT_EQ(dialog.list.refreshes, std::vector<bool>{false});
}

TEST(ColorStatic, PaintsItsOwnBoxOnItsBrushOnly) {
    ControlsDialog dialog;
    OpenedDialog opened(dialog);
    HDC dc = GetDC(dialog.valueBox.handle());
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(dialog.handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(dialog.valueBox.handle())));
    LOGBRUSH look{};
    ASSERT_TRUE(GetObjectW(brush, sizeof(look), &look));
    EXPECT_EQ(look.lbColor, RGB(255, 255, 255));
    auto other = SendMessageW(dialog.handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(dialog.trackbar.handle()));
    EXPECT_NE(other, reinterpret_cast<LRESULT>(brush));
    ReleaseDC(dialog.valueBox.handle(), dc);
}

class BarsDialog : public Dialog {
public:
    static constexpr int kWidths[3] = {0, 250, 125};

    BarsDialog() : Dialog(testModule(), IDD_TEST_ANCHORS, nullptr) {}
    MainToolbar toolbar{*this};
    StatusBar status{*this, 3, kWidths};

    void onInitDialog() override { toolbar.addButtons(); }
};

TEST(StatusBar, PartsEndAt425675And800OnAParent800PixelsWide) {
    BarsDialog dialog;
    OpenedDialog opened(dialog);
    RECT rect{};
    GetWindowRect(dialog.handle(), &rect);
    SetWindowPos(dialog.handle(), nullptr, 0, 0, 800, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    pumpMessages();

    int edges[3] = {};
    ASSERT_EQ(SendMessageW(dialog.status.handle(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)),
              3);
    EXPECT_EQ(edges[0], 425);
    EXPECT_EQ(edges[1], 675);
    EXPECT_EQ(edges[2], 800);

    dialog.status.setText(2, L"3 of 120 selected");
    wchar_t text[64] = {};
    SendMessageW(dialog.status.handle(), SB_GETTEXTW, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"3 of 120 selected");
}

std::wstring tooltipOf(const Toolbar& toolbar, int command) {
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = toolbar.handle();
    tool.uId = static_cast<UINT_PTR>(command);
    tool.lpszText = text;
    SendMessageW(toolbar.tooltipHandle(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    return text;
}

TEST(Toolbar, HasItsSevenImagesAndTakesTooltipsFromTheStringTableByCommand) {
    BarsDialog dialog;
    OpenedDialog opened(dialog);
    Toolbar& toolbar = dialog.toolbar;
    EXPECT_EQ(SendMessageW(toolbar.handle(), TB_BUTTONCOUNT, 0, 0), 7);
    for (UINT list : {TB_GETIMAGELIST, TB_GETHOTIMAGELIST, TB_GETDISABLEDIMAGELIST}) {
        auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar.handle(), list, 0, 0));
        EXPECT_EQ(ImageList_GetImageCount(images), 7);
    }
    ASSERT_NE(toolbar.tooltipHandle(), nullptr);
    EXPECT_EQ(tooltipOf(toolbar, IDM_VIEW_TRACKS), L"Tracks");
    EXPECT_EQ(tooltipOf(toolbar, IDM_VIEW_ALBUMS), L"Albums");
    EXPECT_EQ(tooltipOf(toolbar, IDM_ANALYZE), L"Analyze");
    EXPECT_EQ(tooltipOf(toolbar, IDM_APPLY_GAIN), L"Apply Gain");
    EXPECT_EQ(tooltipOf(toolbar, IDM_HELP_CONTENTS), L"Help");

    toolbar.enableButton(IDM_ANALYZE, false);
    toolbar.showButton(IDM_VIEW_ALBUMS, false);
    EXPECT_FALSE(SendMessageW(toolbar.handle(), TB_ISBUTTONENABLED, IDM_ANALYZE, 0));
    EXPECT_TRUE(SendMessageW(toolbar.handle(), TB_ISBUTTONHIDDEN, IDM_VIEW_ALBUMS, 0));
    EXPECT_TRUE(SendMessageW(toolbar.handle(), TB_ISBUTTONENABLED, IDM_APPLY_GAIN, 0));
}

TEST(Toolbar, LeavesTooltipsOfUnknownCommandsToOthers) {
    BarsDialog dialog;
    OpenedDialog opened(dialog);
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = dialog.toolbar.tooltipHandle();
    info.hdr.idFrom = 4242;
    info.hdr.code = TTN_GETDISPINFOW;
    EXPECT_EQ(SendMessageW(dialog.handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.lpszText, nullptr);

    info.hdr.idFrom = IDM_ANALYZE;
    SendMessageW(dialog.handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.lpszText, MAKEINTRESOURCEW(130));
    EXPECT_EQ(info.hinst, testModule());
}

class RadioDialog : public Dialog {
public:
    RadioDialog() : Dialog(testModule(), IDD_CONSTANT_GAIN, nullptr) {}
    CheckButton both{*this, IDC_CONSTANT_GAIN_BOTH, AnchorNone, AnchorNone};
    CheckButton left{*this, IDC_CONSTANT_GAIN_LEFT, AnchorNone, AnchorNone};
    void onInitDialog() override { both.setChecked(true); }
};

TEST(CheckButton, KnowsItsStateAfterAClickOnAnotherButtonOfItsGroup) {
    RadioDialog dialog;
    OpenedDialog opened(dialog);
    EXPECT_TRUE(dialog.both.isChecked());
    SendMessageW(dialog.left.handle(), BM_CLICK, 0, 0);
    pumpMessages();
    EXPECT_TRUE(dialog.left.isChecked());
    EXPECT_FALSE(dialog.both.isChecked());
}

} // namespace

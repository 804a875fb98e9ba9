#include "MainStatusBar_win.h"

#include "ResourceStringTable_win.h"

namespace {

constexpr int kPartWidths[] = {0, 250, 125, 110}; // 0: what the others leave
constexpr int kMainPart = 0;
constexpr int kTrackPart = 1;
constexpr int kSelectionPart = 2;
constexpr int kTimeLeftPart = 3;
constexpr int kWaitingForITunes = 142;

} // namespace

MainStatusBar::MainStatusBar(Window& parent) : StatusBar(parent, 4, kPartWidths) {}

void MainStatusBar::setMainText(const std::wstring& mainText) {
    remembered = mainText;
    if (!suspended) {
        setText(kMainPart, remembered);
    }
}

void MainStatusBar::setTrackText(const std::wstring& trackText) {
    setText(kTrackPart, trackText);
}

void MainStatusBar::setSelectionText(const std::wstring& selectionText) {
    setText(kSelectionPart, selectionText);
}

void MainStatusBar::setTimeLeftText(const std::wstring& timeLeftText) {
    setText(kTimeLeftPart, timeLeftText);
}

void MainStatusBar::suspend() {
    suspended = true;
    setText(kMainPart, ResourceStringTable(instance).load(kWaitingForITunes).value_or(L""));
}

void MainStatusBar::resume() {
    suspended = false;
    setText(kMainPart, remembered);
}

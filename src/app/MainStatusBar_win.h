#pragma once

#include "StatusBar_win.h"

#include <string>

// The main window's status bar: part 0 the main status, part 1 the track being
// handled, part 2 the selection count, part 3 a job's time left. While iTunes refuses calls it is
// suspended: it shows "Waiting for iTunes..." and keeps the main texts set
// meanwhile, the last of which comes back on resume. User-interface thread only.
class MainStatusBar : public StatusBar {
public:
    explicit MainStatusBar(Window& parent);

    void setMainText(const std::wstring& mainText);
    void setTrackText(const std::wstring& trackText);
    void setSelectionText(const std::wstring& selectionText);
    void setTimeLeftText(const std::wstring& timeLeftText);
    void suspend();
    void resume();

private:
    std::wstring remembered;
    bool suspended = false;
};

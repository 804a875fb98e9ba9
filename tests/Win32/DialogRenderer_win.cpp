// Shows one of Velto's dialogs filled with sample content, writes its window
// rectangle (screen coordinates) to a file and waits until a second file
// appears, so that a script can take a picture of it:
//   DialogRenderer.exe TEMPLATE_ID RECT_FILE DONE_FILE
// scripts/render-dialogs runs it for every dialog.
#include "CheckButton_win.h"
#include "ColorStatic_win.h"
#include "Control_win.h"
#include "Dialog_win.h"
#include "DropDownList_win.h"
#include "JobSummaryDialog_win.h"
#include "ListView_win.h"
#include "ProgressBar_win.h"
#include "QuestionBox_win.h"
#include "ResourceIds.h"
#include "StatusBar_win.h"
#include "ToolErrorBox_win.h"
#include "Toolbar_win.h"
#include "ValueTrackBar_win.h"
#include "WindowTestSupport_win.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

HINSTANCE programModule() {
    return GetModuleHandleW(nullptr);
}

// Nine columns of tracks as the tracks view shows them; the second row clips.
class SampleTracks : public ListView {
public:
    using ListView::ListView;

    void showColumns() {
        static const int widths[] = {131, 131, 49, 53, 51, 44, 79, 70, 70};
        static const int titles[] = {132, 133, 134, 135, 136, 137, 138, 139, 140};
        setColumns(9, widths, titles);
        for (int column : {2, 4, 6, 7}) {
            setColumnAlignment(column, AlignRight);
        }
        setRowCount(6, true);
    }

    void getCellText(int key, int column, wchar_t* buffer, int capacity) override {
        static const std::array<std::array<const wchar_t*, 9>, 6> rows{{
            {L"Blue in Green", L"Kind of Blue", L"86.2", L"", L"3.0", L"", L"85.9", L"3.0", L""},
            {L"So What", L"Kind of Blue", L"93.5", L"Yes", L"-4.5", L"Yes", L"85.9", L"3.0", L""},
            {L"Freddie Freeloader", L"Kind of Blue", L"88.1", L"", L"1.5", L"", L"85.9", L"3.0",
             L""},
            {L"Clair de Lune", L"Suite bergamasque", L"79.8", L"", L"9.0", L"", L"", L"", L""},
            {L"Teardrop", L"Mezzanine", L"91.0", L"", L"-1.5", L"", L"90.7", L"-1.5", L""},
            {L"Angel", L"Mezzanine", L"90.4", L"", L"-1.5", L"", L"90.7", L"-1.5", L""},
        }};
        std::swprintf(
            buffer, static_cast<std::size_t>(capacity) + 1, L"%ls",
            rows[static_cast<std::size_t>(key) % rows.size()][static_cast<std::size_t>(column)]);
        if (column == 0 && key == 1) {
            setCellColor(RGB(255, 0, 0));
        }
    }
};

class MainWindow : public Dialog {
public:
    static constexpr int kStatusWidths[3] = {0, 250, 125};

    MainWindow() : Dialog(programModule(), IDD_MAIN, nullptr) {}

    MainToolbar toolbar{*this};
    ColorStatic volumeBox{*this, IDC_MAIN_VOLUME_VALUE, AnchorNone, AnchorNone, 255, 255, 255};
    ValueTrackBar volume{*this, IDC_MAIN_VOLUME_TRACKBAR, AnchorNone, AnchorNone, volumeBox};
    SampleTracks list{*this, IDC_MAIN_LIST, AnchorStretch, AnchorStretch};
    DropDownList playlists{*this, IDC_MAIN_PLAYLISTS, AnchorNone, AnchorNone};
    ProgressBar fileProgress{*this, IDC_MAIN_FILE_PROGRESS, AnchorStretch, AnchorMove};
    ProgressBar totalProgress{*this, IDC_MAIN_TOTAL_PROGRESS, AnchorStretch, AnchorMove};
    Control fileLabel{*this, IDC_MAIN_FILE_PROGRESS_LABEL, AnchorNone, AnchorMove};
    Control totalLabel{*this, IDC_MAIN_TOTAL_PROGRESS_LABEL, AnchorNone, AnchorMove};
    Control cancel{*this, IDC_MAIN_CANCEL, AnchorMove, AnchorMove};
    Control exit{*this, IDC_MAIN_EXIT, AnchorMove, AnchorMove};
    StatusBar status{*this, 3, kStatusWidths};

    void onInitDialog() override {
        toolbar.addButtons();
        toolbar.enableButton(IDM_VIEW_TRACKS, false);
        volumeBox.setText(L"89");
        volume.setRange(79, 99, 89, 1, 1.0);
        playlists.addItem(L"Library", 0, true);
        playlists.addItem(L"Jazz", 1, false);
        list.showColumns();
        list.setSelected(4, true);
        fileProgress.setPosition(40);
        totalProgress.setPosition(65);
        status.setText(2, L"1 of 6 selected");
        status.setText(0, L"Ready");
    }
};

class TracksInAlbum : public Dialog {
public:
    TracksInAlbum() : Dialog(programModule(), IDD_TRACKS_IN_ALBUM, nullptr) {}
    SampleTracks list{*this, IDC_TRACKS_IN_ALBUM_LIST, AnchorStretch, AnchorStretch};
    Control close{*this, IDCANCEL, AnchorMove, AnchorMove};
    void onInitDialog() override { list.showColumns(); }
};

class ConstantGain : public Dialog {
public:
    ConstantGain() : Dialog(programModule(), IDD_CONSTANT_GAIN, nullptr) {}
    ColorStatic valueBox{*this, IDC_CONSTANT_GAIN_VALUE, AnchorNone, AnchorNone, 255, 255, 255};
    ValueTrackBar gain{*this, IDC_CONSTANT_GAIN_TRACKBAR, AnchorNone, AnchorNone, valueBox};
    CheckButton both{*this, IDC_CONSTANT_GAIN_BOTH, AnchorNone, AnchorNone};
    void onInitDialog() override {
        valueBox.setText(L"0");
        gain.setRange(-8, 8, 0, 1, 1.5);
        gain.setPosition(-3);
        both.setChecked(true);
    }
};

// The question box is owned by a hidden dialog.
class QuestionOwner : public Dialog {
public:
    QuestionOwner() : Dialog(programModule(), IDD_ABOUT, nullptr) {}
};

void writeRect(HWND window, const char* path) {
    RECT rect{};
    GetWindowRect(window, &rect);
    if (FILE* file = std::fopen(path, "w")) {
        std::fprintf(file, "%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
        std::fclose(file);
    }
}

void pumpFor(DWORD milliseconds) {
    DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        pumpMessages();
        Sleep(20);
    }
}

// Shows the dialog, reports where it is and waits (at most 60 s) for the
// picture. A dialog that cannot be made is reported and fails the program.
int present(Dialog& dialog, const char* rectFile, const char* doneFile) {
    HWND window = CreateDialogParamW(dialog.module(), MAKEINTRESOURCEW(dialog.itemId()), nullptr,
                                     Dialog::dialogProcedure, reinterpret_cast<LPARAM>(&dialog));
    if (!window) {
        std::fprintf(stderr, "dialog %d was not created (error %lu)\n", dialog.itemId(),
                     GetLastError());
        return 1;
    }
    SetWindowPos(window, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    pumpFor(1500);
    writeRect(window, rectFile);
    for (int waited = 0; waited < 600 && GetFileAttributesA(doneFile) == INVALID_FILE_ATTRIBUTES;
         ++waited) {
        pumpFor(100);
    }
    DestroyWindow(window);
    dialog.onDestroy();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: DialogRenderer TEMPLATE_ID RECT_FILE DONE_FILE\n");
        return 2;
    }
    int templateId = std::atoi(argv[1]);
    auto show = [&](Dialog& dialog) { return present(dialog, argv[2], argv[3]); };
    switch (templateId) {
    case IDD_MAIN: {
        MainWindow dialog;
        return show(dialog);
    }
    case IDD_TRACKS_IN_ALBUM: {
        TracksInAlbum dialog;
        return show(dialog);
    }
    case IDD_CONSTANT_GAIN: {
        ConstantGain dialog;
        return show(dialog);
    }
    case IDD_QUESTION: {
        QuestionOwner owner;
        QuestionBox dialog(owner, nullptr, 166);
        return show(dialog);
    }
    case IDD_ABOUT: {
        Dialog dialog(programModule(), IDD_ABOUT, nullptr);
        return show(dialog);
    }
    case IDD_TOOL_ERROR: {
        QuestionOwner owner;
        ToolErrorBox dialog(owner, L"Can't open C:\\Users\\Ann\\Music\\Miles Davis\\Kind of "
                                   L"Blue\\02 Freddie Freeloader.mp3 for modifying\r\n");
        return show(dialog);
    }
    case IDD_JOB_SUMMARY: {
        QuestionOwner owner;
        using Kind = JobReport::Kind;
        JobSummaryDialog dialog(
            owner,
            {{1, L"Freddie Freeloader", L"Miles Davis", Kind::Failed,
              L"Can't open C:\\Users\\Ann\\Music\\Miles Davis\\Kind of Blue\\02 "
              L"Freddie Freeloader.mp3 for modifying"},
             {2, L"Clair de Lune", L"Claude Debussy", Kind::Skipped,
              L"mp3gain.exe does not handle Apple Lossless audio"},
             {3, L"Teardrop", L"Massive Attack", Kind::Skipped, L"File not found"},
             {4, L"So What", L"Miles Davis", Kind::Limited, L"limited to 1 steps by Don't Clip"}});
        return show(dialog);
    }
    default:
        std::fprintf(stderr, "no such dialog: %d\n", templateId);
        return 2;
    }
}

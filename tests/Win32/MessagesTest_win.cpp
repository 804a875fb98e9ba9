#include "Dialog_win.h"
#include "HtmlHelp_win.h"
#include "QuestionBox_win.h"
#include "ResourceIds.h"
#include "TestDialogIds.h"
#include "Util_win.h"
#include "WindowTestSupport_win.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ShownBox {
    std::wstring caption;
    std::wstring text;
    bool ownedByDialog = false;
};

// Shows Dialog::MessageBox on the test thread while a user reads the box and presses OK.
template <typename... Inserts>
ShownBox showMessageBox(int captionId, int textId, const Inserts&... inserts) {
    Dialog owner(testModule(), IDD_TEST_ANCHORS, nullptr);
    OpenedDialog opened(owner);
    DWORD uiThread = GetCurrentThreadId();
    ShownBox shown;
    UserScript user([&] {
        HWND box = waitForDialog(uiThread, [&](HWND dialog) { return dialog != owner.handle(); });
        if (!box) {
            return;
        }
        shown = {windowText(box), messageBoxText(box), GetWindow(box, GW_OWNER) == owner.handle()};
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(owner.MessageBox(captionId, MB_OK, textId, inserts...), IDOK);
    user.finish();
    return shown;
}

TEST(DialogMessageBox, ShowsTheFormattedTextUnderTheCaptionOwnedByTheDialog) {
    ShownBox shown = showMessageBox(141, 150, 3, 120);
    EXPECT_EQ(shown.caption, L"Velto");
    EXPECT_EQ(shown.text, L"3 of 120 selected");
    EXPECT_TRUE(shown.ownedByDialog);
}

TEST(DialogMessageBox, NamesAMissingCaptionIdAndLeavesTheCaptionEmpty) {
    ShownBox shown = showMessageBox(500, 147);
    EXPECT_EQ(shown.caption, L"");
    EXPECT_EQ(shown.text, L"Dialog::MessageBox: resource id 500 not found.");
}

TEST(DialogMessageBox, NamesAMissingTextId) {
    ShownBox shown = showMessageBox(141, 999);
    EXPECT_EQ(shown.caption, L"Velto");
    EXPECT_EQ(shown.text, L"Dialog::MessageBox: resource id 999 not found.");
}

struct QuestionLayout {
    int boxHeight = 0;
    RECT text{}, check{}, yes{}, no{}, cancel{};
    int neededTextHeight = 0; // what the static control itself needs to show the question
    int lineHeight = 0;
};

RECT screenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

QuestionLayout measure(HWND box) {
    QuestionLayout layout;
    RECT whole = screenRect(box);
    layout.boxHeight = whole.bottom - whole.top;
    HWND text = GetDlgItem(box, IDC_QUESTION_TEXT);
    layout.text = screenRect(text);
    layout.check = screenRect(GetDlgItem(box, IDC_QUESTION_DONT_ASK));
    layout.yes = screenRect(GetDlgItem(box, IDYES));
    layout.no = screenRect(GetDlgItem(box, IDNO));
    layout.cancel = screenRect(GetDlgItem(box, IDCANCEL));
    // The static control wraps its text as DrawText does with DT_WORDBREAK.
    std::wstring question = windowText(text);
    HDC dc = GetDC(text);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(text, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, layout.text.right - layout.text.left, 0};
    DrawTextW(dc, question.c_str(), -1, &needed, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(text, dc);
    layout.neededTextHeight = needed.bottom;
    layout.lineHeight = metrics.tmHeight;
    return layout;
}

// The question box as the template makes it, before it sizes itself.
QuestionLayout templateLayout() {
    Dialog plain(testModule(), IDD_QUESTION, nullptr);
    OpenedDialog opened(plain);
    return measure(plain.handle());
}

struct Answer {
    INT_PTR result = 0;
    bool dontAsk = false;
    QuestionLayout layout;
};

// Opens the question box for the string; the user looks at it, may tick the
// check box, then ends it with the button or Escape (0 for Escape).
Answer ask(int questionStringId, bool tick, int button) {
    Dialog owner(testModule(), IDD_TEST_ANCHORS, nullptr);
    OpenedDialog opened(owner);
    QuestionBox question(owner, nullptr, questionStringId);
    DWORD uiThread = GetCurrentThreadId();
    Answer answer;
    UserScript user([&] {
        HWND box = waitForDialogTitled(uiThread, L"Velto");
        if (!box) {
            return;
        }
        answer.layout = measure(box);
        if (tick) {
            SendMessageW(GetDlgItem(box, IDC_QUESTION_DONT_ASK), BM_CLICK, 0, 0);
        }
        if (button) {
            SendMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
        } else {
            PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        }
    });
    answer.result = question.doModal();
    user.finish();
    answer.dontAsk = question.dontAsk();
    return answer;
}

void expectControlsBelowTheText(const QuestionLayout& layout) {
    EXPECT_GE(layout.text.bottom - layout.text.top, layout.neededTextHeight)
        << "the question is cut off";
    EXPECT_GE(layout.check.top, layout.text.bottom);
    for (const RECT& button : {layout.yes, layout.no, layout.cancel}) {
        EXPECT_GE(button.top, layout.check.bottom);
    }
}

TEST(QuestionBox, ShrinksToAOneLineQuestion) {
    QuestionLayout original = templateLayout();
    Answer answer = ask(147, false, IDYES); // "Ready"
    EXPECT_EQ(answer.result, IDYES);
    EXPECT_LT(answer.layout.boxHeight, original.boxHeight);
    expectControlsBelowTheText(answer.layout);
    // The distances below the text stay as the template has them.
    EXPECT_EQ(answer.layout.yes.top - answer.layout.text.bottom,
              original.yes.top - original.text.bottom);
}

TEST(QuestionBox, GrowsToAFiveLineQuestion) {
    QuestionLayout original = templateLayout();
    Answer answer = ask(166, false, IDNO);
    EXPECT_EQ(answer.result, IDNO);
    EXPECT_FALSE(answer.dontAsk);
    EXPECT_GT(answer.layout.boxHeight, original.boxHeight);
    expectControlsBelowTheText(answer.layout);
    const QuestionLayout& layout = answer.layout;
    EXPECT_GE(layout.neededTextHeight, 5 * layout.lineHeight) << "expected five lines";
    EXPECT_LT(layout.text.bottom - layout.text.top, layout.neededTextHeight + layout.lineHeight)
        << "a line too many";
}

TEST(QuestionBox, RecordsTheCheckBoxOnEscapeToo) {
    Answer escaped = ask(167, true, 0);
    EXPECT_EQ(escaped.result, IDCANCEL);
    EXPECT_TRUE(escaped.dontAsk);

    Answer yes = ask(167, true, IDYES);
    EXPECT_EQ(yes.result, IDYES);
    EXPECT_TRUE(yes.dontAsk);
}

std::vector<HWND> processWindows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND window, LPARAM found) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window)) {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

TEST(HtmlHelp, WithoutTheHelpControlAnswers0AndShowsNothing) {
    HtmlHelp missing(L"CLSID\\{00000000-0000-0000-0000-0000000000AB}\\InprocServer32",
                     L"no-such-help-control.ocx");
    std::vector<HWND> before = processWindows();
    EXPECT_EQ(missing.call(nullptr, moduleDirectory() + L"Velto.chm", HtmlHelp::kDisplayToc, 0),
              nullptr);
    EXPECT_EQ(missing.call(nullptr, L"Velto.chm::/license.htm", HtmlHelp::kDisplayTopic, 0),
              nullptr);
    pumpMessages();
    EXPECT_EQ(processWindows(), before);
}

TEST(HtmlHelp, OpensTheContentsAndTheLicensePageOfTheProgramsHelpFile) {
    HWND contents = showHelpContents(nullptr);
    ASSERT_NE(contents, nullptr);
    EXPECT_TRUE(IsWindow(contents));
    HWND license = showLicensePage(nullptr);
    ASSERT_NE(license, nullptr);
    EXPECT_TRUE(IsWindow(license));
    pumpMessages();
    DestroyWindow(license);
    if (contents != license) {
        DestroyWindow(contents);
    }
    pumpMessages();
}

} // namespace

#pragma once

#include "Control_win.h"
#include "Dialog_win.h"
#include "JobReport.h"
#include "ListView_win.h"

#include <vector>

// The rows of the job summary's list: one entry of the report each.
class JobSummaryList : public ListView {
public:
    JobSummaryList(Window& parent, int itemId, const std::vector<JobReport::Entry>& entries);

    void getCellText(int rowKey, int column, wchar_t* buffer, int capacity) override;

private:
    const std::vector<JobReport::Entry>& entries;
};

// What a job could not do as asked (template 191, resizable): a list of song,
// artist and what happened, a button that copies the list as text (tab
// separated, as a spreadsheet takes it) and Close.
class JobSummaryDialog : public Dialog {
public:
    JobSummaryDialog(Dialog& parent, std::vector<JobReport::Entry> entries);

    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void onInitDialog() override;

private:
    void copyToClipboard();
    std::wstring text(int stringId) const;

    std::vector<JobReport::Entry> entries;
    JobSummaryList list;
    Control copyButton;
    Control closeButton;
};

#include "JobSummaryDialog_win.h"

#include "ResourceIds.h"
#include "ResourceStringTable_win.h"

#include <cstring>

namespace {

constexpr int kSongHeader = 249;
constexpr int kArtistHeader = 158;
constexpr int kWhatHappenedHeader = 250;
constexpr int kHeaders[] = {kSongHeader, kArtistHeader, kWhatHappenedHeader};
constexpr int kWidths[] = {170, 120, 380};

// Owns a global memory block until the clipboard takes it.
class ClipboardText {
public:
    explicit ClipboardText(const std::wstring& text)
        : memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
        if (void* bytes = memory ? GlobalLock(memory) : nullptr) {
            std::memcpy(bytes, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(memory);
        }
    }
    ~ClipboardText() {
        if (memory) {
            GlobalFree(memory);
        }
    }
    ClipboardText(const ClipboardText&) = delete;
    ClipboardText& operator=(const ClipboardText&) = delete;

    // Hands the block to the clipboard, which then owns it.
    bool giveToClipboard() {
        if (!memory || !SetClipboardData(CF_UNICODETEXT, memory)) {
            return false;
        }
        memory = nullptr;
        return true;
    }

private:
    HGLOBAL memory;
};

} // namespace

JobSummaryList::JobSummaryList(Window& parent, int itemId,
                               const std::vector<JobReport::Entry>& entries)
    : ListView(parent, itemId, AnchorStretch, AnchorStretch), entries(entries) {}

void JobSummaryList::getCellText(int rowKey, int column, wchar_t* buffer, int capacity) {
    if (rowKey < 0 || rowKey >= static_cast<int>(entries.size()) || capacity <= 0) {
        return;
    }
    const JobReport::Entry& entry = entries[static_cast<std::size_t>(rowKey)];
    const std::wstring& cell = column == 0 ? entry.song : column == 1 ? entry.artist : entry.what;
    const std::size_t length =
        std::min<std::size_t>(cell.size(), static_cast<std::size_t>(capacity));
    cell.copy(buffer, length);
    buffer[length] = L'\0';
}

JobSummaryDialog::JobSummaryDialog(Dialog& parent, std::vector<JobReport::Entry> entries)
    : Dialog(parent, IDD_JOB_SUMMARY), entries(std::move(entries)),
      list(*this, IDC_JOB_SUMMARY_LIST, this->entries),
      copyButton(*this, IDC_JOB_SUMMARY_COPY, AnchorMove, AnchorMove),
      closeButton(*this, IDCANCEL, AnchorMove, AnchorMove) {}

void JobSummaryDialog::onInitDialog() {
    list.setColumns(3, kWidths, kHeaders);
    list.setRowCount(static_cast<int>(entries.size()), true);
}

LRESULT JobSummaryDialog::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_JOB_SUMMARY_COPY) {
        copyToClipboard();
        return 1;
    }
    return Dialog::handleMessage(window, message, wParam, lParam);
}

void JobSummaryDialog::copyToClipboard() {
    ClipboardText clipboardText(JobReport::asText(entries, text(kSongHeader), text(kArtistHeader),
                                                  text(kWhatHappenedHeader)));
    if (!OpenClipboard(hwnd)) {
        return;
    }
    EmptyClipboard();
    clipboardText.giveToClipboard();
    CloseClipboard();
}

std::wstring JobSummaryDialog::text(int stringId) const {
    return ResourceStringTable(instance).load(stringId).value_or(std::wstring());
}

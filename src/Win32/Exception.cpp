#include "Exception.h"

#include "MessageReporter.h"
#include "StringTable.h"

#include <string>

namespace {

// Written once before any worker starts, only read afterwards.
struct ReportingState {
    const StringTable* strings = nullptr;
    int fatalStringId = 0;
    std::wstring caption;
    MessageReporter* reporter = nullptr;
};

ReportingState& state() {
    static ReportingState instance;
    return instance;
}

MessageReporter& reporter() {
    return state().reporter ? *state().reporter : platformMessageReporter();
}

} // namespace

void Exception::initialize(const StringTable& strings, int fatalStringId, int captionStringId) {
    state().strings = &strings;
    state().fatalStringId = fatalStringId;
    state().caption = strings.load(captionStringId).value_or(std::wstring());
}

void Exception::uninitialize() {
    state().strings = nullptr;
    state().fatalStringId = 0;
    state().caption.clear();
}

void Exception::setReporter(MessageReporter* newReporter) {
    state().reporter = newReporter;
}

bool Exception::isInitialized() {
    return state().strings != nullptr;
}

int Exception::fatalStringId() {
    return state().fatalStringId;
}

const std::wstring& Exception::caption() {
    return state().caption;
}

void Exception::show(int stringId, const std::vector<MessageInsert>& inserts) {
    if (!isInitialized()) {
        reporter().showWarning(L"Fatal Exception, strId=" + std::to_wstring(stringId),
                               L"Fatal Exception", false);
        return;
    }
    std::optional<std::wstring> format = state().strings->load(stringId);
    std::wstring text =
        format ? formatMessage(*format, inserts.data(), inserts.size())
               : L"Exception: resource id " + std::to_wstring(stringId) + L" not found.";
    reporter().showWarning(text, state().caption, true);
}

void showFatalErrorOccurred() {
    reporter().showWarning(L"Fatal error occurred.", L"Velto", true);
}

void checkResult(int result, const wchar_t* sourceFile, int line) {
    if (result == 0) {
        return;
    }
    throw Exception(Exception::fatalStringId() ? Exception::fatalStringId() : 145,
                    std::wstring(sourceFile), line, result);
}

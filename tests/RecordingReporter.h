#pragma once

#include "CompiledStringTable.h"
#include "Exception.h"
#include "MessageReporter.h"

#include <string>
#include <vector>

// Records the error messages that would have been shown, instead of showing
// them. While one exists, Exception reports to it, initialised with the
// compiled-in string table as the program's entry initialises it.
class RecordingReporter : public MessageReporter {
public:
    struct Shown {
        std::wstring text;
        std::wstring caption;
        bool withOwner;
    };

    explicit RecordingReporter(bool initialize = true) {
        Exception::setReporter(this);
        if (initialize) {
            Exception::initialize(strings, 145, 141);
        } else {
            Exception::uninitialize();
        }
    }
    ~RecordingReporter() override {
        Exception::setReporter(nullptr);
        Exception::uninitialize();
    }
    RecordingReporter(const RecordingReporter&) = delete;
    RecordingReporter& operator=(const RecordingReporter&) = delete;

    void showWarning(const std::wstring& text, const std::wstring& caption,
                     bool withOwner) override {
        shown.push_back({text, caption, withOwner});
    }

    std::wstring lastText() const { return shown.empty() ? std::wstring() : shown.back().text; }

    std::vector<Shown> shown;

private:
    CompiledStringTable strings;
};

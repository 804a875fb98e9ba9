#pragma once

#include "MessageReporter.h"

// The native build has no message boxes: error messages go to standard error.
class StderrReporter : public MessageReporter {
public:
    void showWarning(const std::wstring& text, const std::wstring& caption,
                     bool withOwner) override;
};

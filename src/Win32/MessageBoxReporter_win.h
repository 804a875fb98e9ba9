#pragma once

#include "MessageReporter.h"

// Shows error messages in a modal warning box (MessageBoxW).
class MessageBoxReporter : public MessageReporter {
public:
    void showWarning(const std::wstring& text, const std::wstring& caption,
                     bool withOwner) override;
};

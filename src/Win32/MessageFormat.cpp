#include "MessageFormat.h"

#include <stdexcept>

namespace {

[[noreturn]] void malformed(const char* what) {
    throw std::invalid_argument(std::string("malformed message insert: ") + what);
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

class Formatter {
public:
    Formatter(std::wstring_view format, const MessageInsert* inserts, std::size_t count)
        : format(format), inserts(inserts), count(count) {}

    std::wstring run() {
        while (pos < format.size()) {
            wchar_t c = format[pos++];
            if (c == L'%') {
                appendInsert();
            } else if (c == L'\r' || c == L'\n') {
                appendLineBreak(c);
            } else {
                out.push_back(c);
            }
        }
        return std::move(out);
    }

private:
    // The system's formatter writes every line break of the text (CR, LF or
    // CR LF) as CR LF.
    void appendLineBreak(wchar_t c) {
        if (c == L'\r' && pos < format.size() && format[pos] == L'\n') {
            ++pos;
        }
        out += L"\r\n";
    }

    void appendInsert() {
        if (pos >= format.size()) {
            malformed("'%' at the end of the text");
        }
        if (format[pos] == L'%') {
            out.push_back(L'%');
            ++pos;
            return;
        }
        if (!isDigit(format[pos]) || format[pos] == L'0') {
            malformed("'%' not followed by an insert number");
        }
        std::size_t number = readNumber();
        if (number > count) {
            malformed("insert number without an insert");
        }
        const MessageInsert& insert = inserts[number - 1];
        std::wstring_view kind = readKind();
        if (kind == L"d") {
            if (!std::holds_alternative<int>(insert)) {
                malformed("!d! insert is not a number");
            }
            out += std::to_wstring(std::get<int>(insert));
        } else if (kind.empty() || kind == L"s") {
            if (!std::holds_alternative<std::wstring>(insert)) {
                malformed("string insert is not a text");
            }
            out += std::get<std::wstring>(insert);
        } else {
            malformed("unknown insert form");
        }
    }

    std::size_t readNumber() {
        std::size_t number = 0;
        for (int digits = 0; digits < 2 && pos < format.size() && isDigit(format[pos]); ++digits) {
            number = number * 10 + static_cast<std::size_t>(format[pos++] - L'0');
        }
        return number;
    }

    // The text between "!" and "!" after an insert number; empty when there is none.
    std::wstring_view readKind() {
        if (pos >= format.size() || format[pos] != L'!') {
            return {};
        }
        std::size_t close = format.find(L'!', pos + 1);
        if (close == std::wstring_view::npos || close == pos + 1) {
            malformed("unterminated !form!");
        }
        std::wstring_view kind = format.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        return kind;
    }

    std::wstring_view format;
    const MessageInsert* inserts;
    std::size_t count;
    std::size_t pos = 0;
    std::wstring out;
};

} // namespace

std::wstring formatMessage(std::wstring_view format, const MessageInsert* inserts,
                           std::size_t insertCount) {
    return Formatter(format, inserts, insertCount).run();
}

std::wstring formatMessage(std::wstring_view format, std::initializer_list<MessageInsert> inserts) {
    return formatMessage(format, inserts.begin(), inserts.size());
}

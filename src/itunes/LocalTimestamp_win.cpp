#include "LocalTimestamp_win.h"

#include <array>

namespace {

// The stamp up to the time is built in a buffer of this size, as iTunes
// comments written by earlier versions were; each part gets the room left.
constexpr size_t kTimestampBufferSize = 100;

} // namespace

std::wstring formatTimestamp(const std::wstring& prefix, const SYSTEMTIME& time) {
    std::array<wchar_t, kTimestampBufferSize> buffer{};
    size_t length = prefix.copy(buffer.data(), buffer.size() - 1);
    int written = GetDateFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer.data() + length,
                                 static_cast<int>(buffer.size() - length));
    // A part that does not fit is left out rather than cut.
    length += written > 0 ? static_cast<size_t>(written - 1) : 0;
    if (length + 1 < buffer.size()) {
        buffer[length++] = L' ';
        written = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer.data() + length,
                                 static_cast<int>(buffer.size() - length));
        length += written > 0 ? static_cast<size_t>(written - 1) : 0;
    }
    return std::wstring(buffer.data(), length) + L">";
}

std::wstring localTimestamp(const std::wstring& prefix) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return formatTimestamp(prefix, now);
}

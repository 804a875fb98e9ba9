#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

// One insert of a message: a text for %1, a signed decimal for %2!d!.
using MessageInsert = std::variant<std::wstring, int>;

// Formats a text of the string table with numbered inserts, as the system's
// message formatter does for the forms the program's texts use:
//   %N      the N-th insert (1..99), a text
//   %N!s!   the same
//   %N!d!   the N-th insert, a signed decimal
//   %%      a percent sign
// A line break of the text (CR, LF or CR LF) comes out as CR LF, as the system's formatter writes
// it; other texts without inserts pass unchanged. A malformed insert (an unknown form,
// a number without an insert, an insert of the wrong kind) throws
// std::invalid_argument.
std::wstring formatMessage(std::wstring_view format, std::initializer_list<MessageInsert> inserts);
std::wstring formatMessage(std::wstring_view format, const MessageInsert* inserts,
                           std::size_t insertCount);

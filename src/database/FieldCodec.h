#pragma once

#include "DatabaseRecords.h"

#include <cstdint>
#include <string>
#include <string_view>

// The conversions between the database file's fields (one byte per character)
// and the values of the tables.
namespace FieldCodec {

// An integer as _wtoi reads it: leading white space, optional sign, digits up
// to the first other character; 0 without digits. Out-of-range values are
// clamped to the int32 range.
int32_t parseInteger(std::string_view field);
// A field starting with 'N' is absent; otherwise the value as _wtof reads it.
OptionalReal parseReal(std::string_view field);
// An empty field is an absent text.
OptionalText decodeText(std::string_view field);

void appendInteger(std::string& out, int32_t value);
// "%f" for a present value, "N" for an absent one.
void appendReal(std::string& out, const OptionalReal& value);
void appendText(std::string& out, const OptionalText& text);
void appendText(std::string& out, std::wstring_view text);

} // namespace FieldCodec

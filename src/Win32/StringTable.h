#pragma once

#include <optional>
#include <string>

// Where the program's texts come from: the module's string resources on
// Windows, a table compiled into the program elsewhere.
class StringTable {
public:
    virtual ~StringTable() = default;

    // The text with this id, or nothing when the table has no such id.
    virtual std::optional<std::wstring> load(int id) const = 0;
};

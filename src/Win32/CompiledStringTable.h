#pragma once

#include "StringTable.h"

#include <span>

// The string table compiled into the program, generated at build time from the
// same resource script that the Windows build compiles.
class CompiledStringTable : public StringTable {
public:
    struct Entry {
        int id;
        const wchar_t* text;
    };

    std::optional<std::wstring> load(int id) const override;

    // Every entry, in ascending id order.
    static std::span<const Entry> entries();
};

#pragma once

#include "StringTable.h"

#include <windows.h>

// The string resources of a module.
class ResourceStringTable : public StringTable {
public:
    explicit ResourceStringTable(HINSTANCE module) : module(module) {}

    std::optional<std::wstring> load(int id) const override;

private:
    HINSTANCE module;
};

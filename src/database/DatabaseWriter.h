#pragma once

#include "DatabaseTables.h"

#include <map>
#include <string>

// Produces the bytes of the database file: the option line, then the 'G', 'A',
// 'T' and 'P' records. Orphaned file records are left out.
class DatabaseWriter {
public:
    static std::string write(const std::map<std::wstring, std::wstring>& preferences,
                             const DatabaseTables& tables);
};

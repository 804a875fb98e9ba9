// libFuzzer target for the database file reader: any bytes must load without
// a crash, a hang or unbounded memory, and whatever loads must write and read
// back to the same file.
#include "DatabaseReader.h"
#include "DatabaseWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

namespace {

std::string loadAndWrite(std::string_view bytes) {
    std::map<std::wstring, std::wstring> preferences;
    DatabaseTables tables;
    DatabaseReader reader(bytes);
    if (reader.readOptionLine(&preferences)) {
        reader.readRecords(tables);
    }
    return DatabaseWriter::write(preferences, tables);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string once = loadAndWrite(input);
    std::string twice = loadAndWrite(once);
    if (loadAndWrite(twice) != twice) {
        std::abort(); // what was written does not read back to itself
    }
    return 0;
}

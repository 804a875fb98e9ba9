#pragma once

#include "DatabaseRecords.h"
#include "DatabaseTables.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// Reads the database file's bytes field by field: the option line into a
// preference table, the records into the tables. A damaged file is read as far
// as it makes sense; nothing in it can make the reader fail or loop, and the
// memory it takes grows only with the file's size.
class DatabaseReader {
public:
    explicit DatabaseReader(std::string_view bytes, size_t position = 0);

    // Reads up to and including the LF that ends the option line. Option
    // records go into preferences (first name wins) unless it is null. False
    // when the bytes end before that LF.
    bool readOptionLine(std::map<std::wstring, std::wstring>* preferences);
    // Reads every record from here to the end into tables.
    void readRecords(DatabaseTables& tables);

    size_t position() const { return pos; }

private:
    enum class FieldEnd { Tab, RecordEnd };

    bool atEnd() const { return pos >= bytes.size(); }
    // One character as a text-mode stream gives it: CR LF reads as LF.
    char readChar();
    // Collects the characters up to the next TAB or CR (consumed) or the end.
    // Once a field of a record has ended at CR or at the end of the bytes, the
    // record's remaining fields read as empty without consuming anything.
    std::string_view readField();
    int32_t readInteger();
    OptionalText readText();
    OptionalReal readReal();
    std::vector<int32_t> readIntegerList();
    // An upper bound of the fields before the record's closing CR.
    size_t fieldsLeftInRecord() const;

    void beginRecord() { recordEnded = false; }
    void readAACGainRecord(DatabaseTables& tables);
    void readAlbumRecord(DatabaseTables& tables);
    void readTrackRecord(DatabaseTables& tables);
    void readPlaylist(DatabaseTables& tables);

    std::string_view bytes;
    size_t pos = 0;
    bool recordEnded = false;
    std::string field; // the field being collected, reused to spare allocations
};

#pragma once

#include "VeltoDatabase.h"

#include <string>

// The two-file example: DontClip 0 and Volume 89; a.m4a analysed for its track
// values only; one library playlist of one album (Alb by Art).
inline const std::string kExampleFile = "ODontClip\t0\tOVolume\t89\t\r\n"
                                        "G1\tC:\\Music\\a.m4a\t30000.500000\t-3.250000\tN\tN\r"
                                        "G2\tC:\\Music\\b.m4a\tN\tN\tN\tN\r"
                                        "A1\t2\t1\t2\t\r"
                                        "T1\t1\tOne\tAlb\tArt\r"
                                        "T2\t2\tTwo\tAlb\tArt\r"
                                        "P1\tLibrary\t2\t1\t2\t1\t1\t1\tArt\tAlb\t1\r";

inline const std::wstring kDatabasePath = L"C:\\Users\\me\\Music\\Velto.db";

// Loads bytes as the start-up does: the option line, then the records.
template <typename Store>
void loadFrom(VeltoDatabase& database, Store& store, const std::string& bytes) {
    store.files[kDatabasePath] = bytes;
    database.setPath(kDatabasePath);
    database.loadPreferences();
    database.loadRecords();
}

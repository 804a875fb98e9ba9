#include "DatabaseReader.h"
#include "DatabaseTestData.h"
#include "MemoryFileStore.h"

#include "VeltoDatabase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>
#include <string>

namespace {

DatabaseTables readRecords(const std::string& records) {
    DatabaseTables tables;
    DatabaseReader reader(records);
    reader.readRecords(tables);
    return tables;
}

std::string loadAndWrite(const std::string& bytes) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    store.files[kDatabasePath] = bytes;
    database.setPath(kDatabasePath);
    if (bytes.find('\n') == std::string::npos) {
        return {}; // no option line: the load stops with the fatal check
    }
    database.loadPreferences();
    database.loadRecords();
    return database.serialize();
}

} // namespace

TEST(DamagedFile, ACutRecordReadsItsMissingFieldsAsEmptyWithoutEatingTheNextRecord) {
    DatabaseTables tables = readRecords("T1\t5\tName\rT2\t6\ta\tb\tc\rG3\tpath\t1.5\r");
    ASSERT_EQ(tables.tracks.size(), 2u);
    EXPECT_EQ(tables.tracks.at(1).name, L"Name");
    EXPECT_FALSE(tables.tracks.at(1).album.has_value());
    EXPECT_EQ(tables.tracks.at(2).artist, L"c");
    // Missing and empty numeric fields are absent, not a measured 0.0.
    const AACGainRecord& record = tables.aacgainRecords.at(3);
    EXPECT_EQ(record.maxAmplitude, OptionalReal::of(1.5));
    EXPECT_FALSE(record.trackGain.present);
    EXPECT_FALSE(readRecords("G4\tp\t\t\t\t\r").aacgainRecords.at(4).maxAmplitude.present);
}

TEST(DamagedFile, ListCountsAreNotBelievedBeyondTheirRecord) {
    // Too large: the list stops at the record's end, the next record is intact.
    DatabaseTables tables = readRecords("A1\t5\t10\t11\rT7\t-1\ta\tb\tc\r");
    EXPECT_EQ(tables.albums.at(1).trackIds, (std::vector<int32_t>{10, 11}));
    EXPECT_EQ(tables.tracks.at(7).name, L"a");

    // Huge and negative counts allocate nothing for elements that do not exist.
    tables = readRecords("A2\t2147483647\t1\t\rA3\t-5\t\rP1\tL\t99999999\t4\r"
                         "P0\tM\t-1\t-1\t2147483647\tart\talb\t3\r");
    EXPECT_EQ(tables.albums.at(2).trackIds, (std::vector<int32_t>{1}));
    EXPECT_TRUE(tables.albums.at(3).trackIds.empty());
    ASSERT_EQ(tables.playlists.size(), 2u);
    EXPECT_EQ(tables.playlists[0].trackIds, (std::vector<int32_t>{4}));
    EXPECT_LE(tables.playlists[0].trackIds.capacity(), 64u);
    EXPECT_EQ(tables.playlists[1].albumKeys.size(), 1u);

    // Many records with huge counts in a large file: each list gets room for
    // what its record holds, not for the rest of the file.
    std::string manyAlbums;
    for (int id = 1; id <= 2000; ++id) {
        manyAlbums.append("A").append(std::to_string(id)).append("\t2147483647\t1\t\r");
    }
    tables = readRecords(manyAlbums);
    ASSERT_EQ(tables.albums.size(), 2000u);
    size_t capacity = 0;
    for (const auto& [id, album] : tables.albums) {
        capacity += album.trackIds.capacity();
    }
    EXPECT_LE(capacity, 2000u * 4);
}

TEST(DamagedFile, AFileEndingInsideARecordKeepsWhatCameBefore) {
    const std::string whole = kExampleFile;
    for (size_t length = whole.find('\n') + 1; length < whole.size(); ++length) {
        MemoryFileStore store;
        VeltoDatabase database(store);
        loadFrom(database, store, whole.substr(0, length));
        EXPECT_EQ(database.getPreference(L"Volume"), L"89");
        EXPECT_LE(database.contents().tracks.size(), 2u);
        if (length > whole.find("T1")) {
            EXPECT_EQ(database.contents().aacgainRecords.size(), 2u) << length;
        }
    }
}

TEST(DamagedFile, NumbersOutOfRangeAreClampedAndIdsAtTheLimitDoNotOverflowCounters) {
    DatabaseTables tables = readRecords("T99999999999\t-99999999999\ta\tb\tc\r"
                                        "G5\tp\t1e999\t-1e999\t1e-999\tN\r");
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    ASSERT_EQ(tables.tracks.count(kMax), 1u);
    EXPECT_EQ(tables.tracks.at(kMax).aacgainId, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(tables.nextTrackId, kMax);
    const AACGainRecord& record = tables.aacgainRecords.at(5);
    EXPECT_EQ(record.maxAmplitude.value, std::numeric_limits<double>::max());
    EXPECT_EQ(record.trackGain.value, -std::numeric_limits<double>::max());
    EXPECT_EQ(record.albumMaxAmplitude.value, 0.0);

    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, "\r\nT2147483647\t-1\ta\tb\tc\r");
    database.resetForSync();
    database.addPlaylist(L"p", 2, false, 1);
    database.addTrack(0, L"f", L"a", L"b", L"c");
    database.addTrack(0, L"g", L"a", L"b", L"c");
    EXPECT_EQ(database.playlistAt(0).trackIds.front(), kMax);
}

TEST(DamagedFile, BinaryGarbageLoadsWithoutFailing) {
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string alphabet = "GATPON\t\r\n0123456789-.e ";
    for (int round = 0; round < 300; ++round) {
        std::string bytes = "\r\n";
        int length = 1 + round * 7;
        for (int i = 0; i < length; ++i) {
            bytes +=
                round % 2 ? char(byte(random)) : alphabet[size_t(byte(random)) % alphabet.size()];
        }
        // Whatever was read can be written and read again to the same bytes.
        std::string twice = loadAndWrite(loadAndWrite(bytes));
        EXPECT_EQ(loadAndWrite(twice), twice) << round;
    }
}

#ifdef VELTO_FUZZ_INPUTS_DIR
// The fuzzer's seed inputs and every input that once broke the reader (kept in
// fuzz-regressions) load, and what they load writes and reads back to itself.
TEST(DamagedFile, TheFuzzerInputsLoadAndWriteBackToThemselves) {
    namespace fs = std::filesystem;
    int inputs = 0;
    for (const char* folder : {"fuzz-corpus", "fuzz-regressions"}) {
        fs::path directory = fs::path(VELTO_FUZZ_INPUTS_DIR) / folder;
        if (!fs::is_directory(directory)) {
            continue;
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
            std::ifstream in(entry.path(), std::ios::binary);
            std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
            std::string once = loadAndWrite(bytes);
            std::string twice = loadAndWrite(once);
            EXPECT_EQ(loadAndWrite(twice), twice) << entry.path().string();
            ++inputs;
        }
    }
    EXPECT_GE(inputs, 2);
}
#endif

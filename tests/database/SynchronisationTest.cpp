#include "DatabaseTestData.h"
#include "MemoryFileStore.h"

#include "VeltoDatabase.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct Track {
    const wchar_t* location;
    const wchar_t* name;
    const wchar_t* artist;
    const wchar_t* album;
};

struct PlaylistReport {
    const wchar_t* name;
    bool isLibrary;
    std::vector<Track> tracks;
};

OptionalText textOf(const wchar_t* text) {
    return text ? OptionalText(text) : std::nullopt;
}

// Drives the database as the synchronisation routine does: all playlists
// first, then the tracks of each.
void synchronise(VeltoDatabase& database, const std::vector<PlaylistReport>& playlists) {
    database.resetForSync();
    int32_t playlistId = 100;
    for (const PlaylistReport& playlist : playlists) {
        database.addPlaylist(playlist.name, int(playlist.tracks.size()), playlist.isLibrary,
                             playlistId++);
    }
    for (size_t i = 0; i < playlists.size(); ++i) {
        for (const Track& track : playlists[i].tracks) {
            database.addTrack(int(i), textOf(track.location), textOf(track.name),
                              textOf(track.artist), textOf(track.album));
        }
    }
}

const std::vector<PlaylistReport> kLibrary = {
    {L"Library",
     true,
     {{L"C:\\a.m4a", L"One", L"Art", L"Alb"},
      {L"C:\\b.m4a", L"Two", L"Art", L"Alb"},
      {L"C:\\c.mp3", L"Three", L"Other", L"Alb"}}},
    {L"Favourites", false, {{L"C:\\a.m4a", L"One", L"Art", L"Alb"}}},
};

std::set<int32_t> trackIdsOf(const VeltoDatabase& database) {
    std::set<int32_t> ids;
    for (const auto& [id, track] : database.contents().tracks) {
        ids.insert(id);
    }
    return ids;
}

} // namespace

TEST(Synchronisation, TheSameFileInTwoPlaylistsSharesOneRecordAndItsValues) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    synchronise(database, kLibrary);
    const TrackRecord& inLibrary = *database.findTrack(database.playlistAt(0).trackIds[0]);
    const TrackRecord& inFavourites = *database.findTrack(database.playlistAt(1).trackIds[0]);
    EXPECT_NE(inLibrary.id, inFavourites.id);
    EXPECT_EQ(inLibrary.aacgainId, inFavourites.aacgainId);
    EXPECT_EQ(database.contents().aacgainRecords.size(), 3u);

    database.setTrackResult(L"C:\\a.m4a", 20000.0, -1.5);
    EXPECT_EQ(database.aacgainRecordOf(inFavourites)->trackGain, OptionalReal::of(-1.5));
    EXPECT_EQ(database.currentPlaylist(), 0) << "the library playlist becomes current";
}

TEST(Synchronisation, AlbumsAreListedFromTheirSecondTrackAndSeparatedByArtistAndPlaylist) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    synchronise(database, {{L"Mix",
                            false,
                            {{L"1", L"a", L"X", L"First"},
                             {L"2", L"b", L"Y", L"Second"},
                             {L"3", L"c", L"X", L"First"},
                             {L"4", L"d", L"X", L"First"},
                             {L"5", L"e", L"Z", L"Second"}}},
                           {L"Other", false, {{L"1", L"a", L"X", L"First"}}}});
    const Playlist& mix = database.playlistAt(0);
    ASSERT_EQ(mix.albumIds.size(), 1u);
    const AlbumRecord& first = *database.findAlbum(mix.albumIds[0]);
    EXPECT_EQ(first.trackIds,
              (std::vector<int32_t>{mix.trackIds[0], mix.trackIds[2], mix.trackIds[3]}));
    // Second by Y and Second by Z are two one-track albums: stored, not listed.
    EXPECT_EQ(mix.albumKeys.size(), 3u);
    int32_t byY = mix.albumKeys.at(AlbumKey{L"Y", L"Second"});
    int32_t byZ = mix.albumKeys.at(AlbumKey{L"Z", L"Second"});
    EXPECT_NE(byY, byZ);
    EXPECT_EQ(database.findAlbum(byY)->trackIds.size(), 1u);

    const Playlist& other = database.playlistAt(1);
    EXPECT_NE(other.albumKeys.at(AlbumKey{L"X", L"First"}), first.id);
    EXPECT_EQ(database.contents().albums.size(), 4u);
    EXPECT_EQ(database.currentPlaylist(), -1) << "no library: the current playlist is kept";
}

TEST(Synchronisation, AbsentArtistOrAlbumGroupsLikeTheEmptyTextAndSurvivesTheFile) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    synchronise(database, {{L"Lib",
                            true,
                            {{L"1", L"a", nullptr, L"Alb"},
                             {L"2", L"b", L"", L"Alb"},
                             {L"3", L"c", L"Art", nullptr},
                             {L"4", L"d", L"Art", L"B"}}}});
    EXPECT_EQ(database.playlistAt(0).albumKeys.size(), 3u);
    EXPECT_EQ(database.currentAlbumCount(), 1);
    std::string bytes = database.serialize();
    VeltoDatabase loaded(store);
    loadFrom(loaded, store, bytes);
    EXPECT_EQ(loaded.playlistAt(0).albumKeys.size(), 3u);
    EXPECT_EQ(loaded.serialize(), bytes);
}

TEST(Synchronisation, ASecondSynchronisationKeepsFileRecordsAndValuesWithNewTrackIds) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    synchronise(database, kLibrary);
    database.setTrackResult(L"C:\\b.m4a", 31000.0, 2.25);
    std::set<int32_t> before = trackIdsOf(database);
    auto recordsBefore = database.contents().fileIndex;

    synchronise(database, kLibrary);
    std::set<int32_t> after = trackIdsOf(database);
    EXPECT_GT(*after.begin(), *before.rbegin()) << "track ids are never reused";
    EXPECT_EQ(database.contents().fileIndex, recordsBefore);
    EXPECT_EQ(database.contents().albums.begin()->first, 4) << "album ids continue too";
    for (const auto& [id, record] : database.contents().aacgainRecords) {
        EXPECT_FALSE(record.orphaned) << id;
    }
    EXPECT_EQ(database.contents().aacgainRecords.at(2).trackGain, OptionalReal::of(2.25));
}

TEST(Synchronisation, AFileNoLongerInAnyPlaylistIsDroppedAtSaveButRevivedBySyncBeforeIt) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    synchronise(database, kLibrary);
    database.setTrackResult(L"C:\\c.mp3", 12345.0, -4.0);
    synchronise(database, {{L"Library", true, {{L"C:\\a.m4a", L"One", L"Art", L"Alb"}}}});
    EXPECT_TRUE(database.contents().aacgainRecords.at(3).orphaned);
    std::string saved = database.serialize();
    EXPECT_EQ(saved.find("c.mp3"), std::string::npos);
    EXPECT_EQ(saved.find("b.m4a"), std::string::npos);

    synchronise(database, kLibrary);
    const AACGainRecord& revived = database.contents().aacgainRecords.at(3);
    EXPECT_FALSE(revived.orphaned);
    EXPECT_EQ(revived.trackGain, OptionalReal::of(-4.0));
    EXPECT_NE(database.serialize().find("G3\tC:\\c.mp3\t12345.000000\t-4.000000"),
              std::string::npos);
}

TEST(Synchronisation, LocationsAreComparedExactlyAndATrackWithoutOneHasNoRecord) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    synchronise(database, {{L"Lib",
                            true,
                            {{L"C:\\a.m4a", L"a", L"x", L"y"},
                             {L"c:\\a.m4a", L"a", L"x", L"y"},
                             {nullptr, L"no file", L"x", L"y"}}}});
    EXPECT_EQ(database.contents().aacgainRecords.size(), 2u);
    database.setTrackResult(L"C:\\a.m4a", 1.0, 1.0);
    EXPECT_FALSE(database.aacgainRecordOf(*database.currentTrackAt(1))->trackGain.present);
    EXPECT_EQ(database.currentTrackAt(2)->aacgainId, -1);
}

TEST(Synchronisation, FileNamesDifferingOnlyInCaseKeepTheirOwnValuesThroughTheFile) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    database.setPath(kDatabasePath);
    const std::vector<PlaylistReport> library = {
        {L"Lib", true, {{L"C:\\Song.mp3", L"a", L"x", L"y"}, {L"c:\\song.MP3", L"b", L"x", L"y"}}}};
    synchronise(database, library);
    // Each name reaches its own record, whichever of the two is set first.
    database.setTrackResult(L"c:\\song.MP3", 2000.0, -2.0);
    database.setTrackResult(L"C:\\Song.mp3", 1000.0, 1.0);
    database.save();

    VeltoDatabase loaded(store);
    loadFrom(loaded, store, store.files.at(kDatabasePath));
    synchronise(loaded, library);
    ASSERT_EQ(loaded.contents().aacgainRecords.size(), 2u);
    EXPECT_EQ(loaded.aacgainRecordOf(*loaded.currentTrackAt(0))->trackGain, OptionalReal::of(1.0));
    EXPECT_EQ(loaded.aacgainRecordOf(*loaded.currentTrackAt(1))->trackGain, OptionalReal::of(-2.0));
}

TEST(Synchronisation, ArtistsOrAlbumsDifferingOnlyInCaseAreDifferentAlbumsThroughTheFile) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    synchronise(database, {{L"Lib",
                            true,
                            {{L"1", L"a", L"Art", L"Alb"},
                             {L"2", L"b", L"art", L"Alb"},
                             {L"3", L"c", L"Art", L"alb"},
                             {L"4", L"d", L"Art", L"Alb"},
                             {L"5", L"e", L"art", L"Alb"},
                             {L"6", L"f", L"Art", L"alb"}}}});
    auto expectThreeAlbums = [](const VeltoDatabase& db) {
        const Playlist& lib = db.playlistAt(0);
        ASSERT_EQ(lib.albumIds.size(), 3u);
        EXPECT_EQ(lib.albumKeys.size(), 3u);
        EXPECT_EQ(db.findAlbum(lib.albumKeys.at(AlbumKey{L"Art", L"Alb"}))->trackIds,
                  (std::vector<int32_t>{lib.trackIds[0], lib.trackIds[3]}));
        EXPECT_EQ(db.findAlbum(lib.albumKeys.at(AlbumKey{L"art", L"Alb"}))->trackIds,
                  (std::vector<int32_t>{lib.trackIds[1], lib.trackIds[4]}));
        EXPECT_EQ(db.findAlbum(lib.albumKeys.at(AlbumKey{L"Art", L"alb"}))->trackIds,
                  (std::vector<int32_t>{lib.trackIds[2], lib.trackIds[5]}));
    };
    expectThreeAlbums(database);
    VeltoDatabase loaded(store);
    loadFrom(loaded, store, database.serialize());
    expectThreeAlbums(loaded);
}

TEST(Synchronisation, ReloadAfterAnInterruptedSyncRestoresTheStoredTables) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, kExampleFile);
    database.setPreference(L"Volume", L"95"); // preferences keep their in-memory state

    database.resetForSync();
    database.addPlaylist(L"Library", 5, true, 9);
    database.addPlaylist(L"New", 5, false, 10);
    database.addTrack(0, L"C:\\Music\\new.m4a", L"New", L"N", L"N");
    database.setCurrentPlaylist(1);
    int32_t nextTrackIdBefore = database.contents().nextTrackId;

    ASSERT_TRUE(database.reload());
    EXPECT_EQ(database.playlistCount(), 1);
    EXPECT_EQ(database.currentPlaylist(), 0);
    EXPECT_EQ(database.contents().tracks.size(), 2u);
    EXPECT_EQ(database.contents().nextTrackId, nextTrackIdBefore) << "counters never go back";
    EXPECT_EQ(database.getPreference(L"Volume"), L"95");
    // The file the interrupted sync met is remembered but not written.
    EXPECT_TRUE(database.contents().aacgainRecords.at(3).orphaned);
    database.setPreference(L"Volume", L"89");
    EXPECT_EQ(database.serialize(), kExampleFile);
}

TEST(Synchronisation, ReloadKeepsValuesMeasuredSinceTheStart) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, kExampleFile);
    database.setTrackResult(L"C:\\Music\\b.m4a", 28000.0, 1.75);
    database.clearAlbumResult(L"C:\\Music\\a.m4a");
    database.clearTrackValues(*database.currentTrackAt(0));

    database.resetForSync();
    database.addPlaylist(L"Library", 1, true, 9);
    ASSERT_TRUE(database.reload());
    EXPECT_FALSE(database.contents().aacgainRecords.at(1).trackGain.present);
    EXPECT_EQ(database.contents().aacgainRecords.at(2).trackGain, OptionalReal::of(1.75));
    EXPECT_EQ(database.currentTrackCount(), 2);
}

TEST(Synchronisation, ReloadOfAnUnreadableFileKeepsEveryValueForTheNextSave) {
    MemoryFileStore store;
    VeltoDatabase database(store);
    loadFrom(database, store, kExampleFile);
    database.resetForSync();
    database.addPlaylist(L"Library", 1, true, 9);
    database.addTrack(0, L"C:\\Music\\b.m4a", L"Two", L"Art", L"Alb");

    store.failReads = true;
    EXPECT_FALSE(database.reload());
    store.files[kDatabasePath] = "no option line";
    store.failReads = false;
    EXPECT_FALSE(database.reload());
    EXPECT_EQ(database.currentTrackCount(), 1);
    std::string saved = database.serialize();
    EXPECT_NE(saved.find("G1\tC:\\Music\\a.m4a\t30000.500000\t-3.250000"), std::string::npos);
    EXPECT_NE(saved.find("G2\tC:\\Music\\b.m4a"), std::string::npos);
}

#include "ITunesTestSupport_win.h"

#include "LibraryXml_win.h"
#include "SampleLibraryXml_win.h"
#include "VeltoDatabase.h"

#include <cstdio>
#include <fstream>

namespace {

class StandInXmlTest : public ITunesTest {
protected:
    StandInXmlTest() { std::ofstream(path.c_str(), std::ios::binary) << kLibraryXml; }
    ~StandInXmlTest() override { DeleteFileW(path.c_str()); }

    std::wstring path = temporaryFile(L"velto-standin-library.xml");
};

TEST(StandInLibraryXml, FileURLsBecomeWindowsPaths) {
    EXPECT_EQ(LibraryXml::pathFromURL(L"file://localhost/C:/My%20Music/a.mp3"),
              L"C:\\My Music\\a.mp3");
    EXPECT_EQ(LibraryXml::pathFromURL(L"file:///D:/x%25y.m4a"), L"D:\\x%y.m4a");
    EXPECT_EQ(LibraryXml::pathFromURL(L"file://localhost/C:/%C3%A9%2"), L"C:\\\u00e9%2");
    EXPECT_EQ(LibraryXml::pathFromURL(L"file://server/share/a.mp3"), L"\\\\server\\share\\a.mp3");
}

TEST_F(StandInXmlTest, LibraryFileIsReadIntoSourcesPlaylistsAndTracks) {
    ASSERT_EQ(standIn->loadLibrary(path), S_OK);
    ASSERT_EQ(library().sources.size(), 2u);
    EXPECT_EQ(library().libraryPlaylist().id, 500);
    EXPECT_EQ(library().libraryPlaylist().trackIds, (std::vector<int32_t>{101, 102, 103}));
    ASSERT_EQ(library().librarySource().playlists.size(), 2u);
    EXPECT_EQ(library().librarySource().playlists[1].name, L"Favourites");
    EXPECT_EQ(library().sources[1].kind, StandInSource::kIPod);
    EXPECT_EQ(library().sources[1].playlists.at(0).name, L"On the go");

    const StandInTrack& cafe = standInTrack(101);
    EXPECT_EQ(cafe.name, L"Caf\u00e9 Song");
    EXPECT_EQ(cafe.artist, L"Someone & Co");
    EXPECT_EQ(cafe.location, L"C:\\Music\\\u00c9t\u00e9\\a b.mp3");
    EXPECT_EQ(cafe.comment, L"nice");
    EXPECT_EQ(standInTrack(102).artist, std::nullopt);
    EXPECT_EQ(standInTrack(103).kind, StandInTrack::kURL);
    EXPECT_EQ(standInTrack(103).location, std::nullopt);
    EXPECT_EQ(library().durationSeconds(library().libraryPlaylist()), 216);
}

TEST_F(StandInXmlTest, MissingOrForeignFileIsRefusedAndTheLibraryKept) {
    library().addTrack(fileTrack(L"Kept", L"C:\\kept.mp3"));
    EXPECT_TRUE(FAILED(standIn->loadLibrary(temporaryFile(L"velto-no-such-library.xml"))));
    std::ofstream(path.c_str(), std::ios::binary) << "<plist><array/></plist>";
    EXPECT_TRUE(FAILED(standIn->loadLibrary(path)));
    EXPECT_EQ(library().tracks.size(), 1u);
}

TEST_F(StandInXmlTest, StampedCommentsAreWrittenBackToTheLibraryFile) {
    ASSERT_EQ(standIn->loadLibrary(path), S_OK);
    VeltoDatabase database;
    database.resetForSync();
    database.addPlaylist(std::wstring(L"Library"), 2, true, 500);
    database.addTrack(0, std::wstring(L"C:\\Music\\\u00c9t\u00e9\\a b.mp3"),
                      std::wstring(L"Caf\u00e9 Song"), std::nullopt, std::nullopt);
    database.addTrack(0, std::wstring(L"C:\\Music\\other.mp3"), std::wstring(L"Other"),
                      std::nullopt, std::nullopt);
    {
        auto api = connect();
        api->timestampComments(database, database.playlistAt(0).trackIds);
    }
    StandInState reread;
    ASSERT_EQ(reread.loadLibrary(path), S_OK);
    std::optional<std::wstring> cafe = reread.library.findTrack(101)->comment;
    std::optional<std::wstring> other = reread.library.findTrack(102)->comment;
    ASSERT_TRUE(cafe && other);
    EXPECT_TRUE(cafe->starts_with(L"nice <Velto ")) << *cafe;
    EXPECT_TRUE(other->starts_with(L"<Velto ")) << *other;
    EXPECT_EQ(*cafe, L"nice " + *other);
    EXPECT_EQ(reread.library.findTrack(101)->name, L"Caf\u00e9 Song");
}

} // namespace

// The demo library of tools/demo/make-demo-library as Velto meets it: through
// the iTunes stand-in and the connection. VELTO_DEMO_DIR names the folder the
// generator made (a Unix path, drive Z: under Wine).
#include "ITunesTestSupport_win.h"

#include <cstdlib>
#include <map>

namespace {

std::wstring demoFolder() {
    const char* unixPath = std::getenv("VELTO_DEMO_DIR");
    std::wstring folder = L"Z:";
    for (const char* c = unixPath ? unixPath : ""; *c; ++c) {
        folder += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    }
    return folder;
}

class RecordingListener : public PlaylistListener {
public:
    void playlistFound(int playlistID, const std::wstring& name, int trackCount,
                       bool isLibrary) override {
        found.push_back({name, trackCount, isLibrary});
        ids.push_back(playlistID);
    }
    struct Report {
        std::wstring name;
        int trackCount;
        bool isLibrary;
        bool operator==(const Report&) const = default;
    };
    std::vector<Report> found;
    std::vector<int> ids;
};

class DemoLibraryTest : public ITunesTest {
protected:
    DemoLibraryTest() {
        EXPECT_EQ(standIn->loadLibrary(demoFolder() + L"\\iTunes Music Library.xml"), S_OK);
    }
};

TEST_F(DemoLibraryTest, LibraryAndNonEmptyPlaylistsAreReported) {
    auto api = connect();
    RecordingListener listener;
    api->enumeratePlaylists(listener);
    std::vector<RecordingListener::Report> expected{
        {L"Library", 18, true}, {L"Road Trip", 5, false}, {L"Quiet Evening", 8, false}};
    EXPECT_EQ(listener.found, expected);
}

// Accented, Greek and emoji names survive the file URLs of the library file,
// and every song's location is its file (one deeper than 260 characters),
// except the one song whose file is gone.
TEST_F(DemoLibraryTest, EverySongButTheLostOneLiesWhereITunesSays) {
    auto api = connect();
    api->selectPlaylist(api->libraryPlaylist());
    std::map<std::wstring, std::wstring> locations;
    for (int i = 0; i < api->trackCount(); ++i) {
        std::optional<std::wstring> name, artist, album, location;
        api->getTrack(i, name, artist, album, location);
        ASSERT_TRUE(name && location) << i;
        locations[*name] = *location;
    }
    ASSERT_EQ(locations.size(), 18u);
    EXPECT_GT(locations.at(L"Far Down").size(), 260u);
    for (const auto& [name, location] : locations) {
        bool exists = GetFileAttributesW(location.c_str()) != INVALID_FILE_ATTRIBUTES;
        EXPECT_EQ(exists, name != L"Where Did It Go") << location;
        EXPECT_TRUE(location.starts_with(demoFolder() + L"\\Music\\")) << location;
    }
    EXPECT_EQ(
        locations.at(
            L"\u03a9\u03b4\u03ae \u03c3\u03c4\u03b7 \u03b8\u03ac\u03bb\u03b1\u03c3\u03c3\u03b1"),
        demoFolder() +
            L"\\Music\\\u0395\u03bb\u03ad\u03bd\u03b7\\\u0398\u03ac\u03bb\u03b1\u03c3\u03c3\u03b1"
            L"\\01 \u03a9\u03b4\u03ae \u03c3\u03c4\u03b7 "
            L"\u03b8\u03ac\u03bb\u03b1\u03c3\u03c3\u03b1.mp3");
    EXPECT_EQ(locations.at(L"Shooting Star \U0001F320"),
              demoFolder() + L"\\Music\\Starlight \U0001F31F\\Night Sky \U0001F30C"
                             L"\\01 Shooting Star \U0001F320.mp3");
    EXPECT_EQ(locations.at(L"Fin d'\u00e9t\u00e9"),
              demoFolder() +
                  L"\\Music\\Les \u00c9toiles\\\u00c9t\u00e9 Indien\\03 Fin d'\u00e9t\u00e9.mp3");
}

} // namespace

#include "ITunesTestSupport_win.h"

#include "ITunesBusyException.h"
#include "ITunesIdentifiers_win.h"

namespace {

struct Report {
    int playlistID;
    std::wstring name;
    int trackCount;
    bool isLibrary;

    bool operator==(const Report&) const = default;
};

class RecordingListener : public PlaylistListener {
public:
    void playlistFound(int playlistID, const std::wstring& name, int trackCount,
                       bool isLibrary) override {
        reports.push_back({playlistID, name, trackCount, isLibrary});
    }
    std::vector<Report> reports;
};

struct TrackData {
    std::optional<std::wstring> name, artist, album, location;
};

TrackData readTrack(ITunesAPI& api, int position) {
    TrackData data;
    api.getTrack(position, data.name, data.artist, data.album, data.location);
    return data;
}

bool allAbsent(const TrackData& data) {
    return !data.name && !data.artist && !data.album && !data.location;
}

// A library of 1,200 tracks, a user playlist of 35 of them, an empty user
// playlist, and an iPod with playlists of its own.
class PlaylistTest : public ITunesTest {
protected:
    PlaylistTest() {
        std::vector<int32_t> ids;
        for (int i = 0; i < 1200; ++i) {
            ids.push_back(library()
                              .addTrack(fileTrack(L"Song " + std::to_wstring(i),
                                                  L"C:\\Music\\" + std::to_wstring(i) + L".mp3"))
                              .id);
        }
        userPlaylist = library().addPlaylist(L"Thirty-five", {ids.begin(), ids.begin() + 35}).id;
        library().addPlaylist(L"Empty", {});
        int32_t iPod = library().addSource(L"iPod", StandInSource::kIPod).id;
        library().addPlaylist(L"iPod songs", {ids.begin(), ids.begin() + 10}, iPod);
    }
    int32_t userPlaylist = 0;
};

TEST_F(PlaylistTest, EnumerationReportsTheLibraryAndNonEmptyUserPlaylistsOfTheLibraryOnly) {
    auto api = connect();
    RecordingListener listener;
    api->enumeratePlaylists(listener);
    std::vector<Report> expected{{library().libraryPlaylist().id, L"Library", 1200, true},
                                 {userPlaylist, L"Thirty-five", 35, false}};
    EXPECT_EQ(listener.reports, expected);
    // The last reported playlist stays selected.
    EXPECT_EQ(api->trackCount(), 35);
    EXPECT_EQ(api->lockHoldCount(), 0);
}

DISPID countId(IDispatch* collection) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Count")};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_HRESULT_SUCCEEDED(collection->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
    return id;
}

// The stand-in numbers Count differently in its source, playlist and track
// collections; iTunes' three interfaces need not agree either.
TEST_F(PlaylistTest, EachCollectionInterfaceIsAskedByItsOwnMemberIds) {
    ComRef<IDispatch> app;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_iTunesApp, nullptr, CLSCTX_LOCAL_SERVER,
                                              IID_IDispatch, app.putVoid()));
    // A fresh cache for every object, so that each asks its own ids.
    ComRef<IDispatch> sources = DispatchInterface().getObject(app.get(), L"Sources");
    ComRef<IDispatch> source = DispatchInterface().item(sources.get(), 1);
    ComRef<IDispatch> playlists = DispatchInterface().getObject(source.get(), L"Playlists");
    ComRef<IDispatch> library = DispatchInterface().getObject(app.get(), L"LibraryPlaylist");
    ComRef<IDispatch> tracks = DispatchInterface().getObject(library.get(), L"Tracks");
    ASSERT_NE(countId(sources.get()), countId(playlists.get()));
    ASSERT_NE(countId(playlists.get()), countId(tracks.get()));

    auto api = connect();
    RecordingListener listener;
    api->enumeratePlaylists(listener);
    ASSERT_EQ(listener.reports.size(), 2u);
    EXPECT_EQ(listener.reports[0].trackCount, 1200);
    EXPECT_EQ(api->trackCount(), 35);
}

TEST_F(PlaylistTest, WhileITunesRefusesCallsTheReportedCountsAreZero) {
    auto api = connect();
    ASSERT_EQ(standIn->fire(kCOMCallsDisabledEvent), S_OK);
    RecordingListener listener;
    api->enumeratePlaylists(listener);
    ASSERT_EQ(listener.reports.size(), 2u);
    EXPECT_EQ(listener.reports[0].trackCount, 0);
    EXPECT_EQ(listener.reports[1].trackCount, 0);

    ASSERT_EQ(standIn->fire(kCOMCallsEnabledEvent), S_OK);
    EXPECT_EQ(api->trackCount(), 35);
}

TEST_F(PlaylistTest, ReadingTracksByPositionCountsFromZero) {
    auto api = connect();
    api->selectPlaylist(userPlaylist);
    TrackData first = readTrack(*api, 0);
    EXPECT_EQ(first.name, L"Song 0");
    EXPECT_EQ(first.artist, L"Artist");
    EXPECT_EQ(first.album, L"Album");
    EXPECT_EQ(first.location, L"C:\\Music\\0.mp3");
    EXPECT_EQ(readTrack(*api, 34).name, L"Song 34");
    EXPECT_TRUE(allAbsent(readTrack(*api, 35)));
}

TEST_F(PlaylistTest, UnknownPlaylistSelectsNothing) {
    auto api = connect();
    api->selectPlaylist(userPlaylist);
    api->selectPlaylist(987654);
    EXPECT_EQ(api->trackCount(), 0);
    EXPECT_TRUE(allAbsent(readTrack(*api, 0)));
}

TEST_F(ITunesTest, TrackTextsComeOutOnOneLine) {
    StandInTrack track = fileTrack(L"Intro\tPart 1", L"C:\\Music\\odd\nname.mp3");
    track.artist = L"Two\r\nLines";
    track.album = std::nullopt;
    library().addTrack(track);
    auto api = connect();
    TrackData data = readTrack(*api, 0);
    EXPECT_EQ(data.name, L"Intro Part 1");
    EXPECT_EQ(data.artist, L"Two  Lines");
    EXPECT_EQ(data.album, std::nullopt);
    EXPECT_EQ(data.location, L"C:\\Music\\odd name.mp3");
}

// Whichever way the location is asked for: the track's own IDispatch, as
// iTunes answers it, or the file-track interface where that does not know it.
TEST_F(ITunesTest, TracksThatAreNoFilesWithALocationHaveNoData) {
    StandInTrack stream = fileTrack(L"Radio", L"");
    stream.kind = StandInTrack::kURL;
    stream.location = std::nullopt;
    library().addTrack(stream);
    StandInTrack lost = fileTrack(L"Lost", L"");
    lost.location = std::nullopt;
    library().addTrack(lost);
    library().addTrack(fileTrack(L"Found", L"C:\\Music\\found.mp3"));
    for (bool onTrack : {true, false}) {
        standIn->locationOnTrack = onTrack;
        auto api = connect();
        EXPECT_TRUE(allAbsent(readTrack(*api, 0))) << onTrack;
        EXPECT_TRUE(allAbsent(readTrack(*api, 1))) << onTrack;
        EXPECT_EQ(readTrack(*api, 2).location, L"C:\\Music\\found.mp3") << onTrack;
    }
}

// A track of a later playlist that the library playlist gave already costs
// the sync its Item and its IDs, and comes out as it did there.
TEST_F(PlaylistTest, ATrackMetAgainIsNotReadAgainWhileTracksAreRemembered) {
    auto api = connect();
    api->rememberTracks(true);
    api->selectPlaylist(library().libraryPlaylist().id);
    std::vector<std::optional<std::wstring>> names;
    for (int i = 0; i < 35; ++i) {
        names.push_back(readTrack(*api, i).name);
    }
    library().findTrack(library().libraryPlaylist().trackIds[0])->name = L"Renamed since";
    api->selectPlaylist(userPlaylist);
    int callsBefore = standIn->callCount();
    for (int i = 0; i < 35; ++i) {
        TrackData data = readTrack(*api, i);
        EXPECT_EQ(data.name, names[size_t(i)]);
        EXPECT_EQ(data.location, L"C:\\Music\\" + std::to_wstring(i) + L".mp3");
    }
    EXPECT_EQ(standIn->callCount() - callsBefore, 1 + 1 + 35)
        << "the enumerator, one batch of tracks and each track's IDs";

    api->rememberTracks(false);
    EXPECT_EQ(readTrack(*api, 0).name, L"Renamed since") << "forgotten when no longer remembered";
}

TEST_F(PlaylistTest, RefusedCallRaisesBusyAndReleasesTheLock) {
    auto api = connect();
    api->selectPlaylist(userPlaylist);
    standIn->refuseCalls(INFINITE);
    EXPECT_THROW(readTrack(*api, 0), ITunesBusyException);
    EXPECT_EQ(api->lockHoldCount(), 0);
    EXPECT_THROW(api->trackCount(), ITunesBusyException);
    EXPECT_EQ(api->lockHoldCount(), 0);
    RecordingListener listener;
    EXPECT_THROW(api->enumeratePlaylists(listener), ITunesBusyException);
    EXPECT_TRUE(listener.reports.empty());
    EXPECT_EQ(api->lockHoldCount(), 0);
    EXPECT_TRUE(reporter.shown.empty());
}

} // namespace

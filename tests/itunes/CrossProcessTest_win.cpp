// The connection against the stand-in's server executable in another process,
// started by COM from its registration (ctest registers it first).

#include "ITunesTestSupport_win.h"

#include "ITunesBusyException.h"
#include "ITunesIdentifiers_win.h"
#include "SampleLibraryXml_win.h"
#include "TimingLibrary_win.h"
#include "VeltoDatabase.h"

#include <fstream>

namespace {

// Takes over a VARIANT so that it is cleared.
Variant adopt(VARIANT value) {
    Variant owned;
    *owned.put() = value;
    return owned;
}

class CrossProcessTest : public ::testing::Test {
protected:
    CrossProcessTest() {
        std::ofstream(path.c_str(), std::ios::binary) << kLibraryXml;
        EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_iTunesApp, nullptr, CLSCTX_LOCAL_SERVER,
                                                  IID_IDispatch, standIn.putVoid()));
    }
    ~CrossProcessTest() override { DeleteFileW(path.c_str()); }

    int control(const wchar_t* member, std::initializer_list<const Variant*> args = {}) {
        Variant result;
        HRESULT hr = controls.tryInvoke(standIn.get(), member,
                                        DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, result);
        EXPECT_HRESULT_SUCCEEDED(hr) << member;
        return result.type() == VT_EMPTY ? 0 : DispatchInterface::toInt(result);
    }

    ComApartment apartment;
    RecordingReporter reporter;
    RecordingOwner owner;
    std::wstring path = temporaryFile(L"velto-crossprocess-library.xml");
    ComRef<IDispatch> standIn;
    DispatchInterface controls;
};

TEST_F(CrossProcessTest, ConnectionReadsPlaylistsHearsEventsAndWritesCommentsAcrossProcesses) {
    ASSERT_TRUE(standIn);
    Variant libraryPath(path);
    ASSERT_EQ(control(L"StandInLoadLibrary", {&libraryPath}), S_OK);

    auto api = std::make_unique<ITunesAPI>(owner.handle(), true);
    EXPECT_EQ(api->libraryPlaylist(), 500);
    EXPECT_EQ(control(L"StandInSinkCount"), 1);

    struct Listener : PlaylistListener {
        void playlistFound(int id, const std::wstring& name, int count, bool isLibrary) override {
            found.push_back(std::to_wstring(id) + L" " + name + L" " + std::to_wstring(count) +
                            (isLibrary ? L" library" : L""));
        }
        std::vector<std::wstring> found;
    } listener;
    api->enumeratePlaylists(listener);
    EXPECT_EQ(listener.found,
              (std::vector<std::wstring>{L"500 Library 3 library", L"501 Favourites 1"}));

    api->selectPlaylist(500);
    std::optional<std::wstring> name, artist, album, location;
    api->getTrack(0, name, artist, album, location);
    EXPECT_EQ(name, L"Caf\u00e9 Song");
    EXPECT_EQ(location, L"C:\\Music\\\u00c9t\u00e9\\a b.mp3");
    api->getTrack(2, name, artist, album, location);
    EXPECT_FALSE(name || artist || album || location) << "a stream has no data";

    // Events come back into this process while it waits in the control call.
    std::vector<ObjectIDs> changed{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
    Variant deletedRows = adopt(StandInState::objectIDRows({{13, 14, 15, 16}}));
    Variant changedRows = adopt(StandInState::objectIDRows(changed));
    EXPECT_EQ(control(L"StandInFireDatabaseChanged", {&deletedRows, &changedRows}), S_OK);
    ASSERT_EQ(owner.sent.size(), 4u);
    EXPECT_EQ(owner.sent[0].wParam, 0u);
    EXPECT_EQ(owner.sent[0].ids.trackID, 3);
    EXPECT_EQ(owner.sent[2].ids.databaseID, 12);
    EXPECT_EQ(owner.sent[3].wParam, 1u);
    EXPECT_EQ(owner.sent[3].ids.sourceID, 13);

    owner.sent.clear();
    Variant notAnArray(3);
    EXPECT_EQ(control(L"StandInFireDatabaseChanged", {&deletedRows, &notAnArray}),
              DISP_E_PARAMNOTFOUND);
    EXPECT_TRUE(owner.sent.empty());

    Variant disabled(kCOMCallsDisabledEvent);
    Variant enabled(kCOMCallsEnabledEvent);
    Variant quitting(kQuittingEvent);
    EXPECT_EQ(control(L"StandInFireEvent", {&disabled}), S_OK);
    EXPECT_EQ(api->trackCount(), 0);
    EXPECT_EQ(control(L"StandInFireEvent", {&enabled}), S_OK);
    EXPECT_EQ(api->trackCount(), 3);
    EXPECT_EQ(control(L"StandInFireEvent", {&quitting}), S_OK);
    ASSERT_EQ(owner.sent.size(), 3u);
    EXPECT_EQ(owner.sent[0].message, WM_APP_COMCALLS);
    EXPECT_EQ(owner.sent[1].message, WM_APP_COMCALLS);
    EXPECT_EQ(owner.sent[2].message, WM_APP_CLOSE);

    VeltoDatabase database;
    database.resetForSync();
    database.addPlaylist(std::wstring(L"Library"), 1, true, 500);
    database.addTrack(0, std::wstring(L"C:\\Music\\\u00c9t\u00e9\\a b.mp3"),
                      std::wstring(L"Caf\u00e9 Song"), std::nullopt, std::nullopt);
    api->timestampComments(database, database.playlistAt(0).trackIds);
    StandInState reread;
    ASSERT_EQ(reread.loadLibrary(path), S_OK);
    std::optional<std::wstring> comment = reread.library.findTrack(101)->comment;
    ASSERT_TRUE(comment);
    EXPECT_TRUE(comment->starts_with(L"nice <Velto ")) << *comment;

    Variant refuse(-1);
    control(L"StandInRefuseCalls", {&refuse});
    EXPECT_THROW(api->getTrack(0, name, artist, album, location), ITunesBusyException);
    EXPECT_EQ(api->lockHoldCount(), 0);
    Variant accept(0);
    control(L"StandInRefuseCalls", {&accept});

    api.reset();
    EXPECT_EQ(control(L"StandInSinkCount"), 0);
    EXPECT_TRUE(reporter.shown.empty());
}

// Each track's location comes from its own IDispatch, or, from a server whose
// tracks do not answer it there, from the file-track interface; a track met
// again is known by its IDs, whose out arguments cross processes by reference.
TEST_F(CrossProcessTest, TracksReadAlikeWithEitherWayToTheirLocationAndWhenMetAgain) {
    ASSERT_TRUE(standIn);
    Variant libraryPath(path);
    ASSERT_EQ(control(L"StandInLoadLibrary", {&libraryPath}), S_OK);
    for (int onTrack : {1, 0}) {
        Variant mode(onTrack);
        control(L"StandInLocationOnTrack", {&mode});
        ITunesAPI api(owner.handle(), false);
        api.rememberTracks(true);
        api.selectPlaylist(500);
        std::optional<std::wstring> name, artist, album, location;
        int callsBefore = control(L"StandInCallCount");
        api.getTrack(0, name, artist, album, location);
        EXPECT_EQ(control(L"StandInCallCount") - callsBefore, 8)
            << "the enumerator, a batch of tracks, the IDs, Kind, Location and three texts";
        EXPECT_EQ(name, L"Caf\u00e9 Song") << onTrack;
        EXPECT_EQ(location, L"C:\\Music\\\u00c9t\u00e9\\a b.mp3") << onTrack;
        api.getTrack(1, name, artist, album, location);
        EXPECT_EQ(location, L"C:\\Music\\other.mp3") << onTrack;

        api.selectPlaylist(501);
        std::optional<std::wstring> metName, metArtist, metAlbum, metLocation;
        callsBefore = control(L"StandInCallCount");
        api.getTrack(0, metName, metArtist, metAlbum, metLocation);
        EXPECT_EQ(control(L"StandInCallCount") - callsBefore, 3)
            << "met again: the enumerator, a batch and the IDs";
        EXPECT_EQ(metName, name) << onTrack;
        EXPECT_EQ(metLocation, L"C:\\Music\\other.mp3") << onTrack;
    }
    EXPECT_TRUE(reporter.shown.empty());
}

// A playlist read from its first track on comes from the collection's
// enumerator a batch at a time, and reads as it does by Item from a server
// without enumerators; a position out of order is asked by Item, and a read
// that ends inside a batch leaves no track of it held in iTunes.
TEST_F(CrossProcessTest, APlaylistReadInOrderComesInBatchesAndReadsAsByItem) {
    ASSERT_TRUE(standIn);
    const int songs = 250;
    std::wstring longLibrary = writeTimingLibrary(L"velto-batched-library.xml", songs, true);
    Variant libraryPath(longLibrary);
    ASSERT_EQ(control(L"StandInLoadLibrary", {&libraryPath}), S_OK);
    DeleteFileW(longLibrary.c_str());
    std::vector<std::wstring> read[2];
    for (int enumerators : {1, 0}) {
        Variant mode(enumerators);
        control(L"StandInTrackEnumerators", {&mode});
        int objectsBefore = control(L"StandInObjectCount");
        {
            ITunesAPI api(owner.handle(), false);
            api.selectPlaylist(api.libraryPlaylist());
            std::optional<std::wstring> name, artist, album, location;
            int callsBefore = control(L"StandInCallCount");
            for (int i = 0; i < songs; ++i) {
                api.getTrack(i, name, artist, album, location);
                read[enumerators].push_back(name.value_or(L"-") + L"|" + artist.value_or(L"-") +
                                            L"|" + location.value_or(L"-"));
            }
            EXPECT_EQ(control(L"StandInCallCount") - callsBefore,
                      enumerators ? 1 + 3 + songs * 5 : 1 + songs * 6)
                << "per track Kind, Location and three texts; the enumerator and three batches, "
                   "or the enumerator refused once and Item for each";

            api.getTrack(0, name, artist, album, location);
            api.getTrack(7, name, artist, album, location);
            EXPECT_EQ(name, L"Song number 8") << "out of order";
            api.getTrack(8, name, artist, album, location);
            EXPECT_EQ(name, L"Song number 9");
        }
        EXPECT_EQ(control(L"StandInObjectCount"), objectsBefore) << enumerators;
    }
    EXPECT_EQ(read[1], read[0]);
    ASSERT_EQ(read[1].size(), static_cast<size_t>(songs));
    EXPECT_EQ(read[1][249], L"Song number 250|Artist 20|C:\\Music\\Artist 20\\Album\\250 Song.mp3");
    Variant on(1);
    control(L"StandInTrackEnumerators", {&on});
}

} // namespace

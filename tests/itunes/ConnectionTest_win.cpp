#include "ITunesTestSupport_win.h"

#include "ITunesBusyException.h"
#include "ITunesIdentifiers_win.h"

namespace {

const std::wstring kTooOld = L"Velto requires iTunes version 4.6 or later";

TEST(ITunesMissing, ConnectingWithoutITunesShowsTheVersionMessageAndMakesNoConnection) {
    ComApartment apartment;
    RecordingReporter reporter;
    RecordingOwner owner;
    EXPECT_THROW(ITunesAPI(owner.handle(), true), Exception);
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_EQ(reporter.lastText(), kTooOld);
}

TEST_F(ITunesTest, ConnectingToITunesOlderThanInterface11ShowsTheVersionMessageAndLetsGo) {
    standIn->setVersion(1, 0);
    EXPECT_THROW(connect(), Exception);
    EXPECT_EQ(reporter.lastText(), kTooOld);
    EXPECT_EQ(standIn->objectCount(), 0);
}

TEST_F(ITunesTest, OtherCreationFailuresAreFatalWithFileLineAndResult) {
    standIn->creationFailure = CO_E_SERVER_EXEC_FAILURE;
    EXPECT_THROW(connect(), Exception);
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_NE(reporter.lastText().find(L"File .\\ITunesAPI, Line 66, result -2146959355. "),
              std::wstring::npos)
        << reporter.lastText();
}

TEST_F(ITunesTest, ConnectionKnowsTheLibraryAndSubscribesUntilItGoes) {
    {
        auto api = connect();
        EXPECT_EQ(api->librarySource(), library().librarySource().id);
        EXPECT_EQ(api->libraryPlaylist(), library().libraryPlaylist().id);
        EXPECT_TRUE(api->comCallsEnabled());
        EXPECT_EQ(standIn->sinkCount(), 1);
    }
    EXPECT_EQ(standIn->sinkCount(), 0);
    EXPECT_EQ(standIn->objectCount(), 0);
    EXPECT_TRUE(reporter.shown.empty());
}

TEST_F(ITunesTest, RefusedCallWhileConnectingRaisesBusyAndLeavesNothingBehind) {
    standIn->refuseCalls(INFINITE);
    EXPECT_THROW(connect(), ITunesBusyException);
    EXPECT_TRUE(reporter.shown.empty());
    EXPECT_EQ(standIn->objectCount(), 0);
    EXPECT_EQ(standIn->sinkCount(), 0);
}

TEST_F(ITunesTest, FailingUnadviseStillReleasesEverythingAndLaterEventsAreHarmless) {
    library().addTrack(fileTrack(L"Song", L"C:\\Music\\song.mp3"));
    auto api = connect();
    api->selectPlaylist(library().libraryPlaylist().id);
    standIn->setUnadviseFails(true);
    EXPECT_NO_THROW(api.reset());
    // iTunes keeps the subscription; its events reach a detached sink.
    EXPECT_EQ(standIn->sinkCount(), 1);
    EXPECT_EQ(standIn->objectCount(), 0);
    EXPECT_EQ(standIn->fire(kQuittingEvent), S_OK);
    EXPECT_EQ(standIn->fire(kCOMCallsDisabledEvent), S_OK);
    EXPECT_EQ(standIn->fireDatabaseChanged({}, {ObjectIDs{1, 2, 3, 4}}), S_OK);
    EXPECT_TRUE(owner.sent.empty());
}

TEST_F(ITunesTest, VersionCheckPassesTheNumbersToITunes) {
    standIn->setVersion(1, 5);
    auto api = connect();
    EXPECT_TRUE(api->checkVersion(1, 5));
    EXPECT_FALSE(api->checkVersion(1, 6));
    EXPECT_FALSE(api->checkVersion(2, 0));
}

} // namespace

namespace {

TEST_F(ITunesTest, StandInFindsMembersByNameWhateverTheirCase) {
    ComRef<IDispatch> app;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_iTunesApp, nullptr, CLSCTX_LOCAL_SERVER,
                                              IID_IiTunes, app.putVoid()));
    DispatchInterface appInterface;
    DispatchInterface playlistInterface;
    ComRef<IDispatch> playlist = appInterface.getObject(app.get(), L"libraryPLAYLIST");
    ASSERT_TRUE(playlist);
    EXPECT_EQ(playlistInterface.getInt(playlist.get(), L"playlistid"),
              library().libraryPlaylist().id);
    EXPECT_THROW(playlistInterface.getInt(playlist.get(), L"NoSuchMember"), ITunesBusyException);
}

} // namespace

#include "ITunesTestSupport_win.h"

#include "CommentTimestamp.h"
#include "ITunesBusyException.h"
#include "LocalTimestamp_win.h"
#include "VeltoDatabase.h"

#include <regex>

namespace {

const std::wstring kPrefix = L"<Velto ";
const std::wstring kStamp = L"<Velto 1/15/2006 3:45:07 PM>";

TEST(CommentTimestamp, StampUsesTheUserLocaleShortDateAndTimeWithSeconds) {
    SYSTEMTIME time{};
    time.wYear = 2006;
    time.wMonth = 1;
    time.wDay = 15;
    time.wHour = 15;
    time.wMinute = 45;
    time.wSecond = 7;
    EXPECT_EQ(timestampPrefix(L"Velto"), kPrefix);
    EXPECT_EQ(formatTimestamp(kPrefix, time), kStamp);
}

TEST(CommentTimestamp, StampIsMergedIntoTheComment) {
    EXPECT_EQ(mergeTimestamp(L"", kPrefix, kStamp), kStamp);
    EXPECT_EQ(mergeTimestamp(L"Great song", kPrefix, kStamp), L"Great song " + kStamp);
    EXPECT_EQ(mergeTimestamp(L"a <Velto 1/1/2006 9:00:00 AM> b", kPrefix, kStamp),
              L"a " + kStamp + L" b");
    EXPECT_EQ(mergeTimestamp(L"x <Velto no end", kPrefix, kStamp), L"x <Velto no end " + kStamp);
    EXPECT_EQ(
        mergeTimestamp(L"<Velto 1/1/2006 9:00:00 AM><Velto 1/2/2006 9:00:00 AM>", kPrefix, kStamp),
        kStamp + L"<Velto 1/2/2006 9:00:00 AM>");
    // A ">" before the stamp does not end it.
    EXPECT_EQ(mergeTimestamp(L"> <Velto old>", kPrefix, kStamp), L"> " + kStamp);
}

// A database whose library playlist lists the tracks given, as a sync makes it.
struct DatabaseTrack {
    std::wstring name;
    std::wstring path;
};

std::vector<int32_t> fillDatabase(VeltoDatabase& database,
                                  const std::vector<DatabaseTrack>& tracks) {
    database.resetForSync();
    database.addPlaylist(std::wstring(L"Library"), static_cast<int>(tracks.size()), true, 1);
    for (const DatabaseTrack& track : tracks) {
        database.addTrack(0, track.path, track.name, std::wstring(L"Artist"),
                          std::wstring(L"Album"));
    }
    return database.playlistAt(0).trackIds;
}

// The comment with its one stamp taken out, and the stamp.
std::pair<std::wstring, std::wstring> splitStamp(const std::optional<std::wstring>& comment) {
    static const std::wregex stamp(
        L"<Velto \\d{1,2}/\\d{1,2}/\\d{4} \\d{1,2}:\\d{2}:\\d{2} [AP]M>");
    std::wsmatch match;
    std::wstring text = comment.value_or(L"");
    if (!std::regex_search(text, match, stamp)) {
        return {text, L""};
    }
    return {match.prefix().str() + L"#" + match.suffix().str(), match.str()};
}

class TimestampTest : public ITunesTest {
protected:
    int32_t add(const std::wstring& name, const std::wstring& path,
                std::optional<std::wstring> comment) {
        return library().addTrack(fileTrack(name, path, std::move(comment))).id;
    }
    VeltoDatabase database;
};

TEST_F(TimestampTest, ChangedTracksGetTheStampInTheirITunesComment) {
    int32_t empty = add(L"Empty", L"C:\\Music\\empty.mp3", std::nullopt);
    int32_t great = add(L"Great", L"C:\\Music\\great.mp3", L"Great song");
    int32_t replaced =
        add(L"Replaced", L"C:\\Music\\replaced.mp3", L"a <Velto 1/1/2006 9:00:00 AM> b");
    int32_t noEnd = add(L"No end", L"C:\\Music\\noend.mp3", L"x <Velto no end");
    int32_t twoStamps = add(L"Two stamps", L"C:\\Music\\two.mp3",
                            L"<Velto 1/1/2006 9:00:00 AM> and <Velto 1/2/2006 9:00:00 AM>");
    int32_t sameNameOther = add(L"Twin", L"C:\\Music\\other\\twin.mp3", L"first");
    int32_t sameName = add(L"Twin", L"C:\\Music\\twin.mp3", L"second");
    int32_t caseDiffers = add(L"Case", L"C:\\Music\\case.mp3", L"case");
    int32_t untouched = add(L"Untouched", L"C:\\Music\\untouched.mp3", L"keep");

    std::vector<int32_t> ids =
        fillDatabase(database, {{L"Empty", L"C:\\Music\\empty.mp3"},
                                {L"Great", L"C:\\Music\\great.mp3"},
                                {L"Replaced", L"C:\\Music\\replaced.mp3"},
                                {L"No end", L"C:\\Music\\noend.mp3"},
                                {L"Two stamps", L"C:\\Music\\two.mp3"},
                                {L"Twin", L"C:\\Music\\twin.mp3"},
                                {L"Case", L"C:\\Music\\CASE.mp3"},
                                {L"Nowhere", L"C:\\Music\\nowhere.mp3"},
                                {L"Untouched", L"C:\\Music\\untouched.mp3"}});
    ids.pop_back();        // the last track did not change
    ids.push_back(999999); // an id the database does not know

    auto api = connect();
    api->timestampComments(database, ids);
    EXPECT_EQ(api->lockHoldCount(), 0);

    auto [emptyText, stamp] = splitStamp(standInTrack(empty).comment);
    EXPECT_EQ(emptyText, L"#");
    ASSERT_FALSE(stamp.empty());
    auto expect = [&](int32_t id, const std::wstring& text) {
        auto [rest, trackStamp] = splitStamp(standInTrack(id).comment);
        EXPECT_EQ(rest, text) << id;
        EXPECT_EQ(trackStamp, stamp) << "one stamp for every track of a call";
    };
    expect(great, L"Great song #");
    expect(replaced, L"a # b");
    expect(noEnd, L"x <Velto no end #");
    EXPECT_EQ(standInTrack(twoStamps).comment, stamp + L" and <Velto 1/2/2006 9:00:00 AM>");
    EXPECT_EQ(standInTrack(sameNameOther).comment, L"first");
    expect(sameName, L"second #");
    EXPECT_EQ(standInTrack(caseDiffers).comment, L"case");
    EXPECT_EQ(standInTrack(untouched).comment, L"keep");
}

TEST_F(TimestampTest, SearchMatchesInsideNamesButOnlyTheExactPathIsStamped) {
    int32_t longer = add(L"Intro (live)", L"C:\\Music\\live.mp3", L"live");
    int32_t exact = add(L"Intro", L"C:\\Music\\intro.mp3", std::nullopt);
    std::vector<int32_t> ids = fillDatabase(database, {{L"Intro", L"C:\\Music\\intro.mp3"}});
    auto api = connect();
    api->timestampComments(database, ids);
    EXPECT_EQ(standInTrack(longer).comment, L"live");
    EXPECT_EQ(splitStamp(standInTrack(exact).comment).first, L"#");

    // The same where only the file-track interface knows a track's location.
    standIn->locationOnTrack = false;
    library().findTrack(exact)->comment = std::nullopt;
    connect()->timestampComments(database, ids);
    EXPECT_EQ(standInTrack(longer).comment, L"live");
    EXPECT_EQ(splitStamp(standInTrack(exact).comment).first, L"#");
}

TEST_F(TimestampTest, RefusedCommentWriteRaisesBusyAndReleasesTheLock) {
    add(L"Song", L"C:\\Music\\song.mp3", L"old");
    std::vector<int32_t> ids = fillDatabase(database, {{L"Song", L"C:\\Music\\song.mp3"}});
    auto api = connect();
    standIn->refuseCalls(INFINITE);
    EXPECT_THROW(api->timestampComments(database, ids), ITunesBusyException);
    EXPECT_EQ(api->lockHoldCount(), 0);
    standIn->refuseCalls(0);
    EXPECT_EQ(standInTrack(library().libraryPlaylist().trackIds[0]).comment, L"old");
}

} // namespace

#include "ITunesTestSupport_win.h"

#include "ITunesIdentifiers_win.h"

namespace {

bool sameIDs(const ObjectIDs& a, const ObjectIDs& b) {
    return a.sourceID == b.sourceID && a.playlistID == b.playlistID && a.trackID == b.trackID &&
           a.databaseID == b.databaseID;
}

VARIANT integer(int value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// An N x 4 array of VARIANT with no rows.
VARIANT emptyRows() {
    SAFEARRAYBOUND bounds[2] = {{0, 0}, {4, 0}};
    VARIANT v;
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    return v;
}

class EventTest : public ITunesTest {
protected:
    EventTest() {
        library().addTrack(fileTrack(L"Song", L"C:\\Music\\song.mp3"));
        api = connect();
    }
    std::unique_ptr<ITunesAPI> api;
};

TEST_F(EventTest, DatabaseChangesReachTheOwnerChangedObjectsFirst) {
    std::vector<ObjectIDs> changed{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
    std::vector<ObjectIDs> deleted{{-1, -2, -3, -4}};
    EXPECT_EQ(standIn->fireDatabaseChanged(deleted, changed), S_OK);
    ASSERT_EQ(owner.sent.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(owner.sent[i].message, WM_APP_DBCHANGED);
        EXPECT_EQ(owner.sent[i].wParam, 0u);
        EXPECT_TRUE(sameIDs(owner.sent[i].ids, changed[i])) << i;
    }
    EXPECT_EQ(owner.sent[3].message, WM_APP_DBCHANGED);
    EXPECT_EQ(owner.sent[3].wParam, 1u);
    EXPECT_TRUE(sameIDs(owner.sent[3].ids, deleted[0]));
}

TEST_F(EventTest, DatabaseChangeWithBadArgumentsIsRefusedWithoutSends) {
    VARIANT rows = emptyRows();
    // Arguments in call order: deleted objects, then changed objects.
    EXPECT_EQ(standIn->fire(kDatabaseChangedEvent, {rows, integer(3)}), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(standIn->fire(kDatabaseChangedEvent, {integer(3), rows}), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(standIn->fire(kDatabaseChangedEvent, {rows}), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(standIn->fire(kDatabaseChangedEvent), DISP_E_PARAMNOTFOUND);

    SAFEARRAYBOUND bounds[2] = {{1, 0}, {4, 0}};
    VARIANT integers;
    integers.vt = VT_ARRAY | VT_I4;
    integers.parray = SafeArrayCreate(VT_I4, 2, bounds);
    EXPECT_EQ(standIn->fire(kDatabaseChangedEvent, {rows, integers}), DISP_E_PARAMNOTFOUND);
    // A row of three IDs only.
    SAFEARRAYBOUND shortBounds[2] = {{1, 0}, {3, 0}};
    VARIANT shortRows;
    shortRows.vt = VT_ARRAY | VT_VARIANT;
    shortRows.parray = SafeArrayCreate(VT_VARIANT, 2, shortBounds);
    EXPECT_EQ(standIn->fire(kDatabaseChangedEvent, {rows, shortRows}), DISP_E_PARAMNOTFOUND);
    EXPECT_TRUE(owner.sent.empty());
    VariantClear(&rows);
    VariantClear(&integers);
    VariantClear(&shortRows);
}

TEST_F(EventTest, CallsDisabledAndEnabledDuringACallLeaveTheLockAsItWas) {
    int before = -1, disabled = -1, after = -1;
    standIn->duringNextCall = [&] {
        before = api->lockHoldCount();
        standIn->fire(kCOMCallsDisabledEvent);
        disabled = api->lockHoldCount();
        EXPECT_FALSE(api->comCallsEnabled());
        standIn->fire(kCOMCallsEnabledEvent);
        after = api->lockHoldCount();
    };
    EXPECT_EQ(api->trackCount(), 1);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(disabled, 2);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(api->lockHoldCount(), 0);
    EXPECT_TRUE(api->comCallsEnabled());
    ASSERT_EQ(owner.sent.size(), 2u);
    EXPECT_EQ(owner.sent[0].message, WM_APP_COMCALLS);
    EXPECT_EQ(owner.sent[0].wParam, 0u);
    EXPECT_EQ(owner.sent[1].message, WM_APP_COMCALLS);
    EXPECT_EQ(owner.sent[1].wParam, 1u);
}

TEST_F(EventTest, RepeatedOrUnmatchedCallStateEventsNeverUnbalanceTheLock) {
    standIn->fire(kCOMCallsEnabledEvent);
    EXPECT_EQ(api->lockHoldCount(), 0);
    standIn->fire(kCOMCallsDisabledEvent);
    standIn->fire(kCOMCallsDisabledEvent);
    EXPECT_EQ(api->lockHoldCount(), 1);
    standIn->fire(kCOMCallsEnabledEvent);
    EXPECT_EQ(api->lockHoldCount(), 0);
    EXPECT_EQ(api->trackCount(), 1);
}

TEST_F(EventTest, ABlockWithoutEnablingEventEndsWithTheConnection) {
    standIn->fire(kCOMCallsDisabledEvent);
    EXPECT_EQ(api->trackCount(), 0);
    EXPECT_EQ(api->lockHoldCount(), 1);
    api.reset();
    // A new connection of the same thread starts unblocked.
    auto next = connect();
    EXPECT_EQ(next->lockHoldCount(), 0);
    EXPECT_EQ(next->trackCount(), 1);
}

TEST_F(EventTest, QuittingClosesTheMainWindow) {
    EXPECT_EQ(standIn->fire(kQuittingEvent), S_OK);
    ASSERT_EQ(owner.sent.size(), 1u);
    EXPECT_EQ(owner.sent[0].message, WM_APP_CLOSE);
    EXPECT_EQ(owner.sent[0].wParam, 0u);
}

TEST_F(EventTest, PlayerAndOtherEventsAreAnsweredAndIgnored) {
    for (DISPID event : {2, 3, 4, 5, 9, 10, 77}) {
        EXPECT_EQ(standIn->fire(event, {integer(1)}), S_OK) << event;
    }
    EXPECT_TRUE(owner.sent.empty());
    EXPECT_TRUE(api->comCallsEnabled());
    EXPECT_EQ(api->lockHoldCount(), 0);
    EXPECT_EQ(api->trackCount(), 1);
}

// COM's rule for out pointers: a failing call leaves them null, so that a
// caller that releases what it got releases nothing.
TEST(UntypedDispatch, TypeInformationIsRefusedWithANullAnswer) {
    RecordingOwner owner;
    CriticalSection lock;
    ComRef<ITunesEventSink> sink = ITunesEventSink::create(owner.handle(), lock);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(static_cast<INT_PTR>(0x1234));
    EXPECT_EQ(sink->GetTypeInfo(0, 0, &info), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(sink->GetTypeInfo(0, 0, nullptr), TYPE_E_ELEMENTNOTFOUND);
    sink->detach();
}

} // namespace

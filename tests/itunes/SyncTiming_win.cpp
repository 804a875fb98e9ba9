// Timing of a sync of 1,000 tracks in the library playlist and 9 playlists
// more that share them out, from the iTunes stand-in's server in another
// process, made by Velto's own sync (the playlists, then every track of each,
// into a VeltoDatabase), against the floor: an empty call to the other
// process. Between the two it times the parts of a late-bound call and a
// track read the way Velto once read it and the way it reads it now, so that
// what a sync's track costs can be named in floors. Register the stand-in's
// server first; tests/itunes/run-sync-timing does all of it.
//
//   wine ITunesSyncTiming.exe [--tracks N] [--playlists P] [--quick]
// --quick times one sync and the floor only (for big libraries).

#include "CompiledStringTable.h"
#include "Exception.h"
#include "ITunesAPI_win.h"
#include "ITunesBusyException.h"
#include "ITunesIdentifiers_win.h"
#include "MessageReporter.h"
#include "PlaylistSync.h"
#include "RecordingJobHost.h"
#include "TimingLibrary_win.h"
#include "VeltoDatabase.h"

#include <objbase.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

int trackTotal = 1000;
int userPlaylists = 9;
bool quick = false;

class StderrMessages : public MessageReporter {
public:
    void showWarning(const std::wstring& text, const std::wstring&, bool) override {
        fwprintf(stderr, L"%ls\n", text.c_str());
    }
};

// A library of trackTotal songs, twelve to an album, in the library playlist
// and shared out between the user playlists.
std::wstring writeLibraryFile() {
    return writeTimingLibrary(L"velto-sync-timing-library.xml", trackTotal, true, userPlaylists);
}

// The connection as a sync sees it, remembering no track: every playlist's
// tracks are read in full, as before tracks met again were known.
class ForgetfulSession : public ITunesSession {
public:
    explicit ForgetfulSession(ITunesAPI& api) : api(api) {}
    void enumeratePlaylists(PlaylistListener& listener) override {
        api.enumeratePlaylists(listener);
    }
    void selectPlaylist(int32_t playlistID) override { api.selectPlaylist(playlistID); }
    int trackCount() override { return api.trackCount(); }
    void getTrack(int position, std::optional<std::wstring>& name,
                  std::optional<std::wstring>& artist, std::optional<std::wstring>& album,
                  std::optional<std::wstring>& location) override {
        api.getTrack(position, name, artist, album, location);
    }
    void timestampComments(const VeltoDatabase& database,
                           const std::vector<int32_t>& trackIds) override {
        api.timestampComments(database, trackIds);
    }

private:
    ITunesAPI& api;
};

double secondsOf(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Kinds of call, each made `calls` times a round. The rounds take turns over
// the kinds, so that other work on the machine weighs on all of them alike,
// and the best round of each kind counts: other work only ever adds time.
class CallKinds {
public:
    void add(const wchar_t* name, int calls, std::function<void()> work) {
        kinds.push_back({name, calls, std::move(work), 1e9});
    }
    void run(int rounds) {
        for (int round = 0; round < rounds; ++round) {
            for (Kind& kind : kinds) {
                kind.best = std::min(kind.best, secondsOf(kind.work) / kind.calls * 1e6);
            }
        }
    }
    void print(double floor) const {
        for (const Kind& kind : kinds) {
            printLine(kind.name, kind.best, floor);
        }
    }
    double microseconds(size_t index) const { return kinds.at(index).best; }

    static void printLine(const std::wstring& name, double microseconds, double floor) {
        wprintf(L"  %-62ls %8.0f us %6.1f x floor\n", name.c_str(), microseconds,
                microseconds / floor);
        fflush(stdout);
    }

private:
    struct Kind {
        std::wstring name;
        int calls;
        std::function<void()> work;
        double best;
    };
    std::vector<Kind> kinds;
};

// Velto's own sync (PlaylistSync) over the connection, with a host that stands
// in for the main window; answers the playlist entries it recorded.
int syncTracks(ITunesSession& session) {
    FakeLibrary noLibrary;
    RecordingJobHost host(noLibrary);
    VeltoDatabase database;
    std::atomic<bool> cancelRequested{false};
    PlaylistSync sync(host, database, cancelRequested);
    sync.begin();
    session.enumeratePlaylists(sync);
    sync.readTracks(session);
    int tracks = 0;
    for (int i = 0; i < database.playlistCount(); ++i) {
        tracks += static_cast<int>(database.playlistAt(i).trackIds.size());
    }
    return tracks;
}

class Timing {
public:
    bool connect() {
        HRESULT hr = CoCreateInstance(CLSID_iTunesApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                      standIn.putVoid());
        if (FAILED(hr)) {
            fwprintf(stderr, L"the stand-in's server is not registered (0x%08lx)\n",
                     static_cast<unsigned long>(hr));
            return false;
        }
        std::wstring path = writeLibraryFile();
        Variant libraryPath(path);
        bool loaded = DispatchInterface::toInt(controls.call(standIn.get(), L"StandInLoadLibrary",
                                                             {&libraryPath})) == S_OK;
        DeleteFileW(path.c_str());
        return loaded;
    }

    int control(const wchar_t* name) {
        return DispatchInterface::toInt(controls.call(standIn.get(), name, {}));
    }

    // The calls a sync is made of, from the empty call up to a whole track.
    void addKinds(CallKinds& kinds, ITunesAPI& api) {
        library = app.getObject(standIn.get(), L"LibraryPlaylist");
        tracks = playlist.getObject(library.get(), L"Tracks");
        first = collection.item(tracks.get(), 1);
        const int calls = 50;
        // Tracks read in order go a batch of the enumerator at a time: those
        // rows read whole batches.
        const int tracksInOrder = 2 * static_cast<int>(TrackEnumeration::kBatch);
        kinds.add(L"empty call (GetTypeInfoCount): the floor", calls, [this] {
            UINT count = 0;
            for (int i = 0; i < calls; ++i) {
                standIn->GetTypeInfoCount(&count);
            }
        });
        kinds.add(L"a member's id by its name (GetIDsOfNames; once a member)", calls, [this] {
            LPOLESTR names[] = {const_cast<LPOLESTR>(L"Name")};
            for (int i = 0; i < calls; ++i) {
                DISPID id = 0;
                first->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
            }
        });
        kinds.add(L"Invoke answering a number (Kind)", calls, [this] {
            for (int i = 0; i < calls; ++i) {
                playlist.getInt(library.get(), L"Kind");
            }
        });
        kinds.add(L"Invoke answering a text (Name)", calls, [this] {
            for (int i = 0; i < calls; ++i) {
                track.getText(first.get(), L"Name");
            }
        });
        kinds.add(L"Invoke answering a new object, and its release (Item)", calls, [this] {
            for (int i = 1; i <= calls; ++i) {
                collection.item(tracks.get(), i);
            }
        });
        kinds.add(L"a track from the enumerator, 100 a call, and its release (Next)", tracksInOrder,
                  [this, tracksInOrder] {
                      // A row that timed no tracks would read as fast: it fails instead.
                      ComRef<IEnumVARIANT> enumerator;
                      if (FAILED(DispatchInterface::enumerator(tracks.get(), enumerator))) {
                          throw ITunesBusyException();
                      }
                      TrackEnumeration order(std::move(enumerator));
                      for (int i = 0; i < tracksInOrder; ++i) {
                          ComRef<IDispatch> fresh;
                          if (!order.next(i, fresh) || !fresh) {
                              throw ITunesBusyException();
                          }
                      }
                  });
        kinds.add(L"Invoke with four numbers out by reference (GetITObjectIDs)", calls, [this] {
            for (int i = 0; i < calls; ++i) {
                LONG ids[4] = {};
                Variant a = Variant::outInt(ids[0]), b = Variant::outInt(ids[1]),
                        c = Variant::outInt(ids[2]), d = Variant::outInt(ids[3]);
                Variant ignored;
                track.tryInvoke(first.get(), L"GetITObjectIDs", DISPATCH_METHOD, {&a, &b, &c, &d},
                                ignored);
            }
        });
        kinds.add(L"Item, and a number from the new object (Kind)", calls, [this] {
            for (int i = 1; i <= calls; ++i) {
                ComRef<IDispatch> fresh = collection.item(tracks.get(), i);
                track.getInt(fresh.get(), L"Kind");
            }
        });
        kinds.add(L"the same with a second interface of it (QueryInterface)", calls, [this] {
            for (int i = 1; i <= calls; ++i) {
                ComRef<IDispatch> fresh = collection.item(tracks.get(), i);
                ComRef<IDispatch> fileTrack;
                fresh->QueryInterface(IID_IITFileOrCDTrack, fileTrack.putVoid());
            }
        });
        kinds.add(L"a track as read before (Item, 3 texts, Kind, QueryInterface, Location)", calls,
                  [this] {
                      for (int i = 1; i <= calls; ++i) {
                          ComRef<IDispatch> fresh = collection.item(tracks.get(), i);
                          track.getText(fresh.get(), L"Name");
                          track.getText(fresh.get(), L"Artist");
                          track.getText(fresh.get(), L"Album");
                          track.getInt(fresh.get(), L"Kind");
                          ComRef<IDispatch> fileTrack;
                          fresh->QueryInterface(IID_IITFileOrCDTrack, fileTrack.putVoid());
                          Variant location;
                          fileTrackView.tryGet(fileTrack.get(), L"Location", location);
                      }
                  });
        auto readInOrder = [&api, tracksInOrder] {
            std::optional<std::wstring> name, artist, album, location;
            for (int i = 0; i < tracksInOrder; ++i) {
                api.getTrack(i, name, artist, album, location);
            }
        };
        kinds.add(L"a track as read now, the library alone (getTrack)", tracksInOrder,
                  [&api, readInOrder] {
                      api.rememberTracks(false);
                      readInOrder();
                  });
        kinds.add(L"a track as read now, first met among playlists (getTrack)", tracksInOrder,
                  [&api, readInOrder] {
                      api.rememberTracks(false);
                      api.rememberTracks(true);
                      readInOrder();
                  });
        kinds.add(L"a track as read now, met again (getTrack)", tracksInOrder, readInOrder);
    }

    ComRef<IDispatch> standIn;
    DispatchInterface controls;

private:
    DispatchInterface app, playlist, collection, track, fileTrackView;
    ComRef<IDispatch> library, tracks, first;
};

// The best of `rounds` syncs over fresh connections: seconds, the iTunes calls
// made and the playlist entries recorded.
struct SyncRun {
    double seconds = 1e9;
    int calls = 0;
    int entries = 0;
};

SyncRun timeSyncs(Timing& timing, int rounds, bool remember) {
    SyncRun best;
    for (int round = 0; round < rounds; ++round) {
        int callsBefore = timing.control(L"StandInCallCount");
        ITunesAPI connection(nullptr, true);
        ForgetfulSession forgetful(connection);
        ITunesSession& session = remember ? static_cast<ITunesSession&>(connection) : forgetful;
        best.seconds =
            std::min(best.seconds, secondsOf([&] { best.entries = syncTracks(session); }));
        best.calls = timing.control(L"StandInCallCount") - callsBefore;
    }
    return best;
}

void printSync(const wchar_t* what, const SyncRun& run, double floor) {
    wprintf(L"\n%ls: %.2f s, %d playlist entries (%d tracks), %d late-bound calls\n", what,
            run.seconds, run.entries, trackTotal, run.calls);
    CallKinds::printLine(L"per playlist entry", run.seconds / run.entries * 1e6, floor);
    CallKinds::printLine(L"per library track", run.seconds / trackTotal * 1e6, floor);
}

int run() {
    Timing timing;
    if (!timing.connect()) {
        return 1;
    }
    ITunesAPI api(nullptr, true);
    api.selectPlaylist(api.libraryPlaylist());
    const int entriesExpected = userPlaylists > 0 ? 2 * trackTotal : trackTotal;

    if (quick) {
        SyncRun sync = timeSyncs(timing, 1, true);
        CallKinds floorOnly;
        timing.addKinds(floorOnly, api);
        floorOnly.run(5);
        double floor = floorOnly.microseconds(0);
        wprintf(L"floor (an empty call to the other process): %.0f us\n", floor);
        printSync(L"Sync", sync, floor);
        return sync.entries == entriesExpected ? 0 : 1;
    }

    SyncRun remembering = timeSyncs(timing, 3, true);
    SyncRun forgetting = timeSyncs(timing, 3, false);

    CallKinds kinds;
    timing.addKinds(kinds, api);
    kinds.run(5);
    double floor = kinds.microseconds(0);
    wprintf(L"Across processes under Wine, per call (best of 5 rounds):\n");
    kinds.print(floor);
    printSync(L"Sync, tracks met again not read again (best of 3)", remembering, floor);
    printSync(L"Sync, every playlist's tracks read in full (best of 3)", forgetting, floor);
    return remembering.entries == entriesExpected && forgetting.entries == entriesExpected ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--tracks") {
            trackTotal = std::max(1, _wtoi(argv[i + 1]));
        } else if (std::wstring(argv[i]) == L"--playlists") {
            userPlaylists = std::max(0, _wtoi(argv[i + 1]) - 1);
        }
    }
    for (int i = 1; i < argc; ++i) {
        quick = quick || std::wstring(argv[i]) == L"--quick";
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    StderrMessages messages;
    CompiledStringTable strings;
    Exception::setReporter(&messages);
    Exception::initialize(strings, 145, 141);
    int result = 1;
    try {
        result = run();
    } catch (...) {
        fwprintf(stderr, L"the timing run failed\n");
    }
    CoUninitialize();
    return result;
}

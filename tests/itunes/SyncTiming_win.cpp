// Timing of a sync of 1,000 tracks from the iTunes stand-in's server in
// another process, made by Velto's own sync (the playlists, then every track of
// each, into a VeltoDatabase), against the floor: an empty call to the other
// process. Between the two it times the parts of a late-bound call, so that
// what a sync's call costs beyond the floor can be named. Register the
// stand-in's server first; tests/itunes/run-sync-timing does all of it.
//
//   wine ITunesSyncTiming.exe [--tracks N]

#include "CompiledStringTable.h"
#include "Exception.h"
#include "ITunesAPI_win.h"
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

class StderrMessages : public MessageReporter {
public:
    void showWarning(const std::wstring& text, const std::wstring&, bool) override {
        fwprintf(stderr, L"%ls\n", text.c_str());
    }
};

// A library of trackTotal songs, twelve to an album, in the library playlist.
std::wstring writeLibraryFile() {
    return writeTimingLibrary(L"velto-sync-timing-library.xml", trackTotal, true);
}

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
// in for the main window; answers the tracks it recorded.
int syncTracks(ITunesAPI& api) {
    FakeLibrary noLibrary;
    RecordingJobHost host(noLibrary);
    VeltoDatabase database;
    std::atomic<bool> cancelRequested{false};
    PlaylistSync sync(host, database, cancelRequested);
    sync.begin();
    api.enumeratePlaylists(sync);
    sync.readTracks(api);
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
        kinds.add(L"the same with a second interface of it (QueryInterface)", calls, [this] {
            for (int i = 1; i <= calls; ++i) {
                ComRef<IDispatch> fresh = collection.item(tracks.get(), i);
                ComRef<IDispatch> fileTrack;
                fresh->QueryInterface(IID_IITFileOrCDTrack, fileTrack.putVoid());
            }
        });
        kinds.add(L"a whole track as the sync reads it (getTrack)", calls, [this, &api] {
            std::optional<std::wstring> name, artist, album, location;
            for (int i = 0; i < calls; ++i) {
                api.getTrack(i, name, artist, album, location);
            }
        });
    }

    ComRef<IDispatch> standIn;
    DispatchInterface controls;

private:
    DispatchInterface app, playlist, collection, track;
    ComRef<IDispatch> library, tracks, first;
};

int run() {
    Timing timing;
    if (!timing.connect()) {
        return 1;
    }
    ITunesAPI api(nullptr, true);
    api.selectPlaylist(api.libraryPlaylist());

    // The sync, three times: the best counts, with the calls it made.
    double syncing = 1e9;
    int calls = 0;
    int objects = 0;
    int tracks = 0;
    for (int round = 0; round < 3; ++round) {
        int callsBefore = timing.control(L"StandInCallCount");
        int objectsBefore = timing.control(L"StandInObjectsMade");
        ITunesAPI connection(nullptr, true);
        syncing = std::min(syncing, secondsOf([&] { tracks = syncTracks(connection); }));
        calls = timing.control(L"StandInCallCount") - callsBefore;
        objects = timing.control(L"StandInObjectsMade") - objectsBefore;
    }

    CallKinds kinds;
    timing.addKinds(kinds, api);
    kinds.run(5);
    double floor = kinds.microseconds(0);
    wprintf(L"Across processes under Wine, per call (best of 5 rounds):\n");
    kinds.print(floor);
    wprintf(L"\nSync of %d tracks: %.2f s (best of 3), %d late-bound calls (Invoke), %d objects "
            L"handed out\n",
            tracks, syncing, calls, objects);
    CallKinds::printLine(L"a sync's late-bound call, all its costs shared out",
                         syncing / calls * 1e6, floor);
    CallKinds::printLine(L"a sync's track", syncing / tracks * 1e6, floor);
    return tracks == trackTotal ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--tracks") {
            trackTotal = std::max(1, _wtoi(argv[i + 1]));
        }
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

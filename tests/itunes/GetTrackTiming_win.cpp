// Timing of reading every track of a 20,000-track playlist with getTrack, from
// the in-process iTunes stand-in and, with --cross-process, from the stand-in's
// server in another process (register it first with register-standin).
//
//   wine ITunesGetTrackTiming.exe [--cross-process] [--tracks N]

#include "CompiledStringTable.h"
#include "Exception.h"
#include "ITunesAPI_win.h"
#include "ITunesIdentifiers_win.h"
#include "MessageReporter.h"
#include "StandInRegistration_win.h"
#include "TimingLibrary_win.h"

#include <objbase.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace {

int kTracks = 20000;

class StderrMessages : public MessageReporter {
public:
    void showWarning(const std::wstring& text, const std::wstring&, bool) override {
        fwprintf(stderr, L"%ls\n", text.c_str());
    }
};

std::wstring trackName(int i) {
    return L"Song number " + std::to_wstring(i);
}

std::wstring trackPath(int i) {
    return L"C:\\Music\\Artist " + std::to_wstring(i / 12) + L"\\Album\\" + std::to_wstring(i) +
           L" Song.mp3";
}

// The best of a few rounds of reading every track, in calls per second.
double getTrackRate(ITunesAPI& api, int rounds) {
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        std::optional<std::wstring> name, artist, album, location;
        auto start = std::chrono::steady_clock::now();
        int read = 0;
        for (int i = 0; i < kTracks; ++i) {
            api.getTrack(i, name, artist, album, location);
            read += location ? 1 : 0;
        }
        std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        if (read != kTracks) {
            fwprintf(stderr, L"only %d of %d tracks had data\n", read, kTracks);
            return 0;
        }
        best = std::max(best, kTracks / seconds.count());
    }
    return best;
}

double inProcessRate() {
    auto state = std::make_shared<StandInState>();
    for (int i = 0; i < kTracks; ++i) {
        StandInTrack track;
        track.name = trackName(i);
        track.artist = L"Artist " + std::to_wstring(i / 12);
        track.album = L"Album";
        track.location = trackPath(i);
        track.totalTimeMilliseconds = 200000;
        state->library.addTrack(std::move(track));
    }
    StandInRegistration registration(state);
    ITunesAPI api(nullptr, true);
    api.selectPlaylist(api.libraryPlaylist());
    return getTrackRate(api, 3);
}

std::wstring writeLibraryFile() {
    return writeTimingLibrary(L"velto-timing-library.xml", kTracks, false);
}

double crossProcessRate() {
    std::wstring path = writeLibraryFile();
    auto start = std::chrono::steady_clock::now();
    ComRef<IDispatch> standIn;
    HRESULT hr = CoCreateInstance(CLSID_iTunesApp, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  standIn.putVoid());
    if (FAILED(hr)) {
        fwprintf(stderr, L"the stand-in's server is not registered (0x%08lx)\n",
                 static_cast<unsigned long>(hr));
        return 0;
    }
    DispatchInterface controls;
    Variant libraryPath(path);
    Variant loaded = controls.call(standIn.get(), L"StandInLoadLibrary", {&libraryPath});
    if (DispatchInterface::toInt(loaded) != S_OK) {
        fwprintf(stderr, L"the stand-in cannot load %ls\n", path.c_str());
        return 0;
    }
    std::chrono::duration<double> loading = std::chrono::steady_clock::now() - start;
    wprintf(L"the server started and loaded the library in %.1f s\n", loading.count());
    fflush(stdout);
    ITunesAPI api(nullptr, true);
    api.selectPlaylist(api.libraryPlaylist());
    // One round: a call to another process under Wine takes milliseconds.
    double rate = getTrackRate(api, 1);
    DeleteFileW(path.c_str());
    return rate;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    StderrMessages messages;
    CompiledStringTable strings;
    Exception::setReporter(&messages);
    Exception::initialize(strings, 145, 141);
    int result = 0;
    bool crossProcess = false;
    for (int i = 1; i < argc; ++i) {
        std::wstring argument = argv[i];
        crossProcess = crossProcess || argument == L"--cross-process";
        if (argument == L"--tracks" && i + 1 < argc) {
            kTracks = std::max(1, _wtoi(argv[++i]));
        }
    }
    try {
        wprintf(L"getTrack, %d tracks, in process:       %.0f calls/s\n", kTracks, inProcessRate());
        fflush(stdout);
        if (crossProcess) {
            double rate = crossProcessRate();
            wprintf(L"getTrack, %d tracks, across processes: %.0f calls/s\n", kTracks, rate);
            fflush(stdout);
            result = rate > 0 ? 0 : 1;
        }
    } catch (...) {
        fwprintf(stderr, L"the timing run failed\n");
        result = 1;
    }
    CoUninitialize();
    return result;
}

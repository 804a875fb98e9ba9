#pragma once

#include "ITunesAPI_win.h"
#include "ITunesMessages.h"
#include "ObjectIDs.h"
#include "RecordingReporter.h"
#include "StandInLibrary.h"
#include "StandInRegistration_win.h"
#include "StandInState_win.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// The test thread's single-threaded COM apartment.
class ComApartment {
public:
    ComApartment() { EXPECT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// A message-only window on the test thread in the main window's place: it
// records what the connection sends it.
class RecordingOwner {
public:
    struct Sent {
        UINT message;
        WPARAM wParam;
        ObjectIDs ids;
    };

    RecordingOwner() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VeltoTestOwner";
        RegisterClassW(&windowClass);
        window = CreateWindowW(L"VeltoTestOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~RecordingOwner() { DestroyWindow(window); }
    RecordingOwner(const RecordingOwner&) = delete;
    RecordingOwner& operator=(const RecordingOwner&) = delete;

    HWND handle() const { return window; }
    std::vector<Sent> sent;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
        auto* owner = reinterpret_cast<RecordingOwner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (owner && message >= WM_APP_CLOSE && message <= WM_APP_COMCALLS) {
            ObjectIDs ids;
            if (message == WM_APP_DBCHANGED) {
                ids = *reinterpret_cast<const ObjectIDs*>(lParam);
            }
            owner->sent.push_back({message, wParam, ids});
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window = nullptr;
};

// A file track with a duration of three minutes.
inline StandInTrack fileTrack(const std::wstring& name, const std::wstring& location,
                              std::optional<std::wstring> comment = std::nullopt) {
    StandInTrack track;
    track.name = name;
    track.artist = L"Artist";
    track.album = L"Album";
    track.location = location;
    track.comment = std::move(comment);
    track.totalTimeMilliseconds = 180000;
    return track;
}

// An in-process iTunes stand-in registered as iTunes for the test's process,
// and the window that the connection reports to.
class ITunesTest : public ::testing::Test {
protected:
    std::unique_ptr<ITunesAPI> connect() {
        return std::make_unique<ITunesAPI>(owner.handle(), true);
    }
    StandInLibrary& library() { return standIn->library; }
    const StandInTrack& standInTrack(int32_t id) { return *standIn->library.findTrack(id); }

    ComApartment apartment;
    RecordingReporter reporter;
    RecordingOwner owner;
    std::shared_ptr<StandInState> standIn = std::make_shared<StandInState>();
    StandInRegistration registration{standIn};
};

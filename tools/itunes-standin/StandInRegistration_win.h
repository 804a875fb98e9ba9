#pragma once

#include "StandInState_win.h"

#include <windows.h>

#include <memory>

// Offers a stand-in as iTunes' class object to the calling thread's process
// for as long as it exists: CoCreateInstance of CLSID_iTunesApp as a local
// server then finds it, without any registry entry.
class StandInRegistration {
public:
    explicit StandInRegistration(std::shared_ptr<StandInState> state);
    ~StandInRegistration();
    StandInRegistration(const StandInRegistration&) = delete;
    StandInRegistration& operator=(const StandInRegistration&) = delete;

    // The result of the registration.
    HRESULT result() const { return registered; }
    StandInState& state() { return *shared; }

private:
    std::shared_ptr<StandInState> shared;
    DWORD cookie = 0;
    HRESULT registered = E_FAIL;
};

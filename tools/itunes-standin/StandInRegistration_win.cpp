#include "StandInRegistration_win.h"

#include "ComRef_win.h"
#include "ITunesIdentifiers_win.h"
#include "StandInClassFactory_win.h"

#include <utility>

StandInRegistration::StandInRegistration(std::shared_ptr<StandInState> state)
    : shared(std::move(state)) {
    auto factory = ComRef<IClassFactory>::attach(new StandInClassFactory(shared));
    registered = CoRegisterClassObject(CLSID_iTunesApp, factory.get(), CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE, &cookie);
}

StandInRegistration::~StandInRegistration() {
    if (SUCCEEDED(registered)) {
        CoRevokeClassObject(cookie);
    }
}

#include "VeltoProgram_win.h"

#include "Exception.h"
#include "MainDialog_win.h"
#include "ResourceIds.h"
#include "ResourceStringTable_win.h"

#include <memory>

namespace {
constexpr int kFatalStringId = 145;
constexpr int kCaptionStringId = 141;
} // namespace

int runVelto(HINSTANCE instance) {
    static const ResourceStringTable strings(instance);
    Exception::initialize(strings, kFatalStringId, kCaptionStringId);
    try {
        auto mainDialog = std::make_unique<MainDialog>(instance);
        int exitCode =
            mainDialog->runModeless(IDR_MAIN_ACCELERATORS, IDI_VELTO, IDI_VELTO_SMALL, SW_HIDE);
        // The window is gone: a worker still running stops and is waited for
        // before the database and the rest go with the dialog object.
        mainDialog->waitForWorker();
        return exitCode;
    } catch (const Exception&) {
        return 1;
    } catch (...) {
        showFatalErrorOccurred();
        return 0;
    }
}

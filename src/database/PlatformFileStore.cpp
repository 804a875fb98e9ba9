#include "PlatformFileStore.h"

std::wstring PlatformFileStore::temporaryPathFor(const std::wstring& path) {
    return path + L".new";
}

PlatformFileStore& PlatformFileStore::instance() {
    static PlatformFileStore store;
    return store;
}

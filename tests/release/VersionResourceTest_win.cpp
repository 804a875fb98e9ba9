// The version a user sees: the properties of Velto.exe and of its installer,
// and the About box, all show the project's version.
#include "ScopedHandle_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Wine shows the Unix file system as drive Z:.
std::wstring windowsPathOf(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c != '\0'; ++c) {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
    }
    return path;
}

std::wstring widen(const char* ascii) {
    return std::wstring(ascii, ascii + std::strlen(ascii));
}

const std::wstring kVersion = widen(VELTO_VERSION);

// The version resource of one file, as Explorer's properties read it.
class VersionInfo {
public:
    explicit VersionInfo(const std::wstring& path) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        if (size == 0) {
            return;
        }
        data.resize(size);
        if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) {
            data.clear();
        }
    }

    bool present() const { return !data.empty(); }

    const VS_FIXEDFILEINFO* fixed() const {
        return static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    }

    // A value of the first language block the file lists, as Explorer shows it.
    std::wstring text(const std::wstring& name) const {
        const auto* translation = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
        if (translation == nullptr) {
            return L"(no translation)";
        }
        wchar_t block[32];
        swprintf(block, 32, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
        const auto* value = static_cast<const wchar_t*>(query(block + name));
        return value == nullptr ? L"(missing)" : std::wstring(value);
    }

private:
    const void* query(const std::wstring& path) const {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0) {
            return nullptr;
        }
        return value;
    }

    std::vector<BYTE> data;
};

void expectProductVersion(const VersionInfo& info) {
    ASSERT_TRUE(info.present());
    EXPECT_EQ(info.text(L"ProductName"), L"Velto");
    EXPECT_EQ(info.text(L"ProductVersion"), kVersion);
    EXPECT_EQ(info.text(L"FileVersion"), kVersion);
    EXPECT_EQ(info.text(L"LegalCopyright"), L"Copyright \u00a9 The Velto authors");
    const VS_FIXEDFILEINFO* fixed = info.fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(VELTO_VERSION_MINOR, VELTO_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(VELTO_VERSION_MINOR, VELTO_VERSION_MAJOR));
}

TEST(Version, VeltoExePropertiesShowTheProductVersionDescriptionAndCopyright) {
    const VersionInfo info(windowsPathOf(VELTO_EXE));
    expectProductVersion(info);
    EXPECT_EQ(info.text(L"OriginalFilename"), L"Velto.exe");
    EXPECT_NE(info.text(L"FileDescription").find(L"Velto"), std::wstring::npos);
}

TEST(Version, InstallerPropertiesShowTheSameVersion) {
    const VersionInfo info(windowsPathOf(VELTO_SETUP_EXE));
    expectProductVersion(info);
    EXPECT_EQ(info.text(L"FileDescription"), L"Velto " + kVersion + L" Setup");
}

// The About box's text is a static control in dialog template 103; the
// template stores it as a NUL-terminated UTF-16 string.
TEST(Version, AboutBoxShowsTheSameVersion) {
    const ScopedHandle<HMODULE, freeModule> program(
        LoadLibraryExW(windowsPathOf(VELTO_EXE).c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(program);
    HRSRC resource = FindResourceW(program.get(), MAKEINTRESOURCEW(103), RT_DIALOG);
    ASSERT_NE(resource, nullptr);
    const auto* bytes =
        static_cast<const char*>(LockResource(LoadResource(program.get(), resource)));
    ASSERT_NE(bytes, nullptr);
    const std::string templateBytes(bytes, SizeofResource(program.get(), resource));

    const std::wstring aboutText = L"Velto Version " + kVersion;
    const std::string wanted(reinterpret_cast<const char*>(aboutText.c_str()),
                             (aboutText.size() + 1) * sizeof(wchar_t));
    EXPECT_NE(templateBytes.find(wanted), std::string::npos)
        << "dialog 103 does not show \"Velto Version " << VELTO_VERSION << "\"";
}

} // namespace

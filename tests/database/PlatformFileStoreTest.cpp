#include "PlatformFileStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class ScratchDirectory {
public:
    ScratchDirectory() {
        path = fs::temp_directory_path() /
               ("velto-store-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(PlatformFileStore, ReplacesAFileWholeAndLeavesNoTemporaryFile) {
    ScratchDirectory scratch;
    PlatformFileStore store;
    std::wstring path = (scratch.path / L"Velto.db").wstring();
    EXPECT_FALSE(store.exists(path));
    EXPECT_FALSE(store.readAll(path).has_value());

    const std::string binary("\r\n\0\xff\x1a tail", 9);
    ASSERT_TRUE(store.replaceWith(path, binary));
    EXPECT_TRUE(store.exists(path));
    EXPECT_EQ(store.readAll(path), binary);

    ASSERT_TRUE(store.replaceWith(path, "second"));
    EXPECT_EQ(contentsOf(path), "second");
    EXPECT_FALSE(fs::exists(PlatformFileStore::temporaryPathFor(path)));
}

TEST(PlatformFileStore, AFailedReplaceLeavesTheTargetAndRemovesTheTemporaryFile) {
    ScratchDirectory scratch;
    PlatformFileStore store;
    // A directory in the target's place cannot be replaced by a file.
    fs::path target = scratch.path / L"Velto.db";
    fs::create_directory(target);
    std::ofstream(target / "inside") << "kept";
    EXPECT_FALSE(store.replaceWith(target.wstring(), "new"));
    EXPECT_EQ(contentsOf(target / "inside"), "kept");
    EXPECT_FALSE(fs::exists(PlatformFileStore::temporaryPathFor(target.wstring())));
    EXPECT_FALSE(store.readAll(target.wstring()).has_value());

    EXPECT_FALSE(store.replaceWith((scratch.path / L"missing" / L"Velto.db").wstring(), "x"));
}

TEST(PlatformFileStore, NamesBeyondLatin1Work) {
    ScratchDirectory scratch;
    PlatformFileStore store;
    // Joined as wide strings: fs::path would convert through the C locale natively.
    std::wstring path = scratch.path.wstring() + wchar_t(fs::path::preferred_separator) +
                        L"M\u00fcsik \u65e5\u672c.db";
    ASSERT_TRUE(store.replaceWith(path, "x"));
    EXPECT_TRUE(store.exists(path));
    EXPECT_EQ(store.readAll(path), "x");
}

#include "ToolFileArguments.h"
#include "GainToolTestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {

const std::wstring kGreek = L"C:\\Music\\\u03a9\u03b4\u03ae.mp3";
const std::wstring kCafe = L"C:\\Music\\Caf\u00e9.mp3";

// A Western code page: ASCII and Latin-1 letters, not Greek; short forms as the
// test gives them.
ToolFileArguments withShortForms(bool speaksUtf8, std::map<std::wstring, std::wstring> shortForms) {
    return ToolFileArguments(
        speaksUtf8, {[](const std::wstring& text) {
                         for (wchar_t c : text) {
                             if (c > 0xFF) {
                                 return false;
                             }
                         }
                         return true;
                     },
                     [shortForms](const std::wstring& path) -> std::optional<std::wstring> {
                         auto found = shortForms.find(path);
                         return found == shortForms.end() ? std::nullopt
                                                          : std::optional(found->second);
                     }});
}

} // namespace

TEST(ToolFileArguments, AToolThatSpeaksUtf8GetsEveryPathAsItIs) {
    const ToolFileArguments arguments = withShortForms(true, {{kGreek, L"C:\\Music\\8D2F~1.MP3"}});
    EXPECT_EQ(arguments.argumentFor(kGreek), kGreek);
    EXPECT_EQ(arguments.argumentFor(kCafe), kCafe);
}

// The short form is only taken where the long one would reach the tool with
// '?' in it; without one the tool is not given the file at all.
TEST(ToolFileArguments, AnAnsiToolGetsTheShortFormOfANameOutsideItsCodePageOrNothing) {
    const std::wstring greekFolder = L"C:\\\u0391\u03bb\u03bc\u03c0\u03bf\u03c5\u03bc\\a.mp3";
    const ToolFileArguments arguments =
        withShortForms(false, {{kGreek, L"C:\\Music\\8D2F~1.MP3"},
                               {kCafe, L"C:\\Music\\CAFE~1.MP3"},
                               {greekFolder, L"C:\\\u0391\u039b\u039c~1\\a.mp3"}});
    EXPECT_EQ(arguments.argumentFor(kCafe), kCafe);
    EXPECT_EQ(arguments.argumentFor(kGreek), L"C:\\Music\\8D2F~1.MP3");
    EXPECT_EQ(arguments.argumentFor(L"C:\\\u6d77.mp3"), std::nullopt);
    EXPECT_EQ(arguments.argumentFor(greekFolder), std::nullopt);
}

// A path past 260 characters could be read but not changed: both kinds of tool
// get its short form, and the path as it is when it has none.
TEST(ToolFileArguments, APathOf260CharactersOrMoreGoesInItsShortFormWhenThereIsOne) {
    const std::wstring deep = L"C:\\" + std::wstring(255, L'd') + L"\\a.mp3";
    const std::wstring deeper = L"C:\\" + std::wstring(260, L'd') + L"\\a.mp3";
    for (bool speaksUtf8 : {true, false}) {
        const ToolFileArguments arguments =
            withShortForms(speaksUtf8, {{deep, L"C:\\DDDDDD~1\\a.mp3"}});
        EXPECT_EQ(arguments.argumentFor(deep), L"C:\\DDDDDD~1\\a.mp3");
        EXPECT_EQ(arguments.argumentFor(deeper), deeper);
    }
}

#ifdef VELTO_ANSI_GAIN_TOOL
// mp3gain.exe carries the manifest that sets UTF-8; the same program built
// without it speaks only the ANSI code page.
TEST(ToolFileArguments, TheToolsManifestTellsWhetherItSpeaksUtf8) {
    EXPECT_TRUE(ToolFileArguments::forTool(realToolPath()).toolSpeaksUtf8());
    EXPECT_FALSE(ToolFileArguments::forTool(toolPathOf(VELTO_ANSI_GAIN_TOOL)).toolSpeaksUtf8());
}
#endif

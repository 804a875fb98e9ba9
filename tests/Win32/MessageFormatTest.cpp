#include "MessageFormat.h"
#include "CompiledStringTable.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
std::wstring text(int id) {
    return CompiledStringTable().load(id).value();
}
} // namespace

TEST(StringTable, HoldsTheProgramTextsExactly) {
    EXPECT_EQ(CompiledStringTable::entries().size(), 84u);
    EXPECT_EQ(text(141), L"Velto");
    EXPECT_EQ(text(152), L"Analyzing: "); // trailing blank is part of the text
    EXPECT_EQ(text(148), L"Invalid token number%1!d! = %2 ");
    EXPECT_EQ(text(165), L"ITunes is temporarily unavailable.\nPlease try again later.");
    EXPECT_EQ(text(167), L"Do you want Velto to undo any gain changes that were made prior to "
                         L"doing album analysis? You may always change this preference using "
                         L"the Options menu command \"Album Undo\".");
    EXPECT_FALSE(CompiledStringTable().load(144).has_value());
    EXPECT_FALSE(CompiledStringTable().load(175).has_value());
    EXPECT_EQ(text(190), L"%1: this file is not in Velto's database");
}

TEST(MessageFormat, FillsTheInsertFormsTheTableUses) {
    EXPECT_EQ(formatMessage(text(150), {3, 120}), L"3 of 120 selected");
    std::wstring fatal = formatMessage(text(145), {std::wstring(L".\\Dialog"), 62, 5});
    EXPECT_EQ(fatal.substr(fatal.find(L"\r\n") + 2), L"File .\\Dialog, Line 62, result 5. ");
    EXPECT_EQ(formatMessage(text(148), {11, std::wstring(L"x")}), L"Invalid token number11 = x ");
    EXPECT_EQ(formatMessage(text(157), {std::wstring(L"C:\\Program Files\\Velto\\")}),
              L"aacgain.exe or mp3gain.exe not found in directory C:\\Program Files\\Velto\\");
    EXPECT_EQ(formatMessage(L"%2!d! before %1", {std::wstring(L"b"), -7}), L"-7 before b");
    EXPECT_EQ(formatMessage(L"100%% sure %1!s!", {std::wstring(L"x")}), L"100% sure x");
}

TEST(MessageFormat, WritesLineBreaksAsTheSystemFormatterDoes) {
    EXPECT_EQ(formatMessage(text(165), {}),
              L"ITunes is temporarily unavailable.\r\nPlease try again later.");
    EXPECT_EQ(formatMessage(L"a\r\nb", {}), L"a\r\nb");
}

TEST(MessageFormat, PassesTextsWithoutInsertsOrLineBreaksUnchanged) {
    for (const auto& entry : CompiledStringTable::entries()) {
        std::wstring format(entry.text);
        if (format.find_first_of(L"%\n") == std::wstring::npos) {
            EXPECT_EQ(formatMessage(format, {}), format) << entry.id;
        }
    }
}

TEST(MessageFormat, RejectsMalformedInsertsWithTheStringLibrarysError) {
    EXPECT_THROW(formatMessage(L"%1", {}), std::invalid_argument);
    EXPECT_THROW(formatMessage(L"%1!d!", {std::wstring(L"text")}), std::invalid_argument);
    EXPECT_THROW(formatMessage(L"%1", {5}), std::invalid_argument);
    EXPECT_THROW(formatMessage(L"%1!x!", {5}), std::invalid_argument);
    EXPECT_THROW(formatMessage(L"%1!d", {5}), std::invalid_argument);
    EXPECT_THROW(formatMessage(L"ends in %", {}), std::invalid_argument);
    EXPECT_THROW(formatMessage(L"%q", {}), std::invalid_argument);
    EXPECT_THROW(formatMessage(L"%0", {}), std::invalid_argument);
}

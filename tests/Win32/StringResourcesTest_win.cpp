#include "CompiledStringTable.h"
#include "MessageFormat.h"
#include "ResourceStringTable_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace {

// The inserts a text asks for: a number for each %N!d!, a text otherwise.
std::vector<MessageInsert> sampleInserts(const std::wstring& format) {
    std::vector<MessageInsert> inserts;
    for (std::size_t pos = format.find(L'%'); pos != std::wstring::npos;
         pos = format.find(L'%', pos + 1)) {
        int number = format[pos + 1] - L'0';
        bool isDecimal = format.compare(pos + 2, 3, L"!d!") == 0;
        if (static_cast<int>(inserts.size()) < number) {
            inserts.resize(static_cast<std::size_t>(number));
        }
        inserts[static_cast<std::size_t>(number - 1)] =
            isDecimal ? MessageInsert(-1000 - number)
                      : MessageInsert(L"C:\\Müsic\\x " + std::to_wstring(number));
    }
    return inserts;
}

std::wstring formatWithSystem(const std::wstring& format,
                              const std::vector<MessageInsert>& inserts) {
    std::vector<DWORD_PTR> arguments;
    for (const MessageInsert& insert : inserts) {
        if (const int* number = std::get_if<int>(&insert)) {
            arguments.push_back(static_cast<DWORD_PTR>(static_cast<INT_PTR>(*number)));
        } else {
            arguments.push_back(
                reinterpret_cast<DWORD_PTR>(std::get<std::wstring>(insert).c_str()));
        }
    }
    wchar_t* buffer = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                      FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                  format.c_str(), 0, 0, reinterpret_cast<LPWSTR>(&buffer), 0,
                                  reinterpret_cast<va_list*>(arguments.data()));
    std::wstring result =
        buffer ? std::wstring(buffer, length) : std::wstring(L"<FormatMessageW failed>");
    LocalFree(buffer);
    return result;
}

} // namespace

TEST(StringResources, TheModuleResourcesEqualTheCompiledInTable) {
    ResourceStringTable resources(GetModuleHandleW(nullptr));
    for (const auto& entry : CompiledStringTable::entries()) {
        EXPECT_EQ(resources.load(entry.id).value_or(L"<missing>"), entry.text) << entry.id;
    }
    CompiledStringTable compiled;
    for (int id = 0; id < 1000; ++id) {
        EXPECT_EQ(resources.load(id).has_value(), compiled.load(id).has_value()) << id;
    }
}

TEST(StringResources, OurFormatterGivesTheSystemFormattersTextForEveryEntry) {
    for (const auto& entry : CompiledStringTable::entries()) {
        std::wstring format(entry.text);
        std::vector<MessageInsert> inserts = sampleInserts(format);
        EXPECT_EQ(formatMessage(format, inserts.data(), inserts.size()),
                  formatWithSystem(format, inserts))
            << entry.id;
    }
    for (const wchar_t* format : {L"a\r\nb\n", L"a\rb", L"100%% %1!s!"}) {
        std::vector<MessageInsert> inserts{std::wstring(L"x")};
        EXPECT_EQ(formatMessage(format, inserts.data(), inserts.size()),
                  formatWithSystem(format, inserts));
    }
}

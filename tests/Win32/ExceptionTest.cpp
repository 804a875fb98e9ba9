#include "RecordingReporter.h"

#include "Exception.h"
#include "ITunesBusyException.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <type_traits>

TEST(Exception, ShowsTheFormattedMessageWithTheProgramCaptionBeforeItIsThrown) {
    RecordingReporter reporter;
    try {
        throw Exception(150, 3, 120);
    } catch (const Exception&) {
        ASSERT_EQ(reporter.shown.size(), 1u);
        EXPECT_EQ(reporter.shown[0].text, L"3 of 120 selected");
        EXPECT_EQ(reporter.shown[0].caption, L"Velto");
        EXPECT_TRUE(reporter.shown[0].withOwner);
        return;
    }
    FAIL() << "Exception was not thrown";
}

TEST(Exception, NamesAMissingStringIdInsteadOfFailingSilently) {
    RecordingReporter reporter;
    Exception missing(999);
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_EQ(reporter.shown[0].text, L"Exception: resource id 999 not found.");
    EXPECT_EQ(reporter.shown[0].caption, L"Velto");
}

TEST(Exception, BeforeInitialisationShowsTheFatalFormWithoutOwner) {
    RecordingReporter reporter(false);
    Exception early(143);
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_EQ(reporter.shown[0].text, L"Fatal Exception, strId=143");
    EXPECT_EQ(reporter.shown[0].caption, L"Fatal Exception");
    EXPECT_FALSE(reporter.shown[0].withOwner);
}

TEST(Exception, MalformedInsertsRaiseAnErrorThatIsNotAnException) {
    RecordingReporter reporter;
    // String 150 wants two numbers; a text in their place is malformed.
    EXPECT_THROW(Exception(150, L"three", 120), std::invalid_argument);
    EXPECT_THROW(Exception(150, 3), std::invalid_argument);
    EXPECT_TRUE(reporter.shown.empty());
}

TEST(CheckResult, ZeroPassesAndEveryOtherResultRaisesTheFatalMessage) {
    RecordingReporter reporter;
    EXPECT_NO_THROW(checkResult(0, L".\\Dialog", 62));
    EXPECT_TRUE(reporter.shown.empty());

    EXPECT_THROW(checkResult(1, L".\\Dialog", 62), Exception); // S_FALSE counts too
    ASSERT_EQ(reporter.shown.size(), 1u);
    EXPECT_EQ(reporter.shown[0].text, L"Fatal error. Please restart iTunes and try again.\r\n"
                                      L"File .\\Dialog, Line 62, result 1. ");

    EXPECT_THROW(checkResult(static_cast<int>(0x80080005), L".\\ITunesAPI", 66), Exception);
    EXPECT_EQ(reporter.lastText(), L"Fatal error. Please restart iTunes and try again.\r\n"
                                   L"File .\\ITunesAPI, Line 66, result -2146959355. ");
}

TEST(ITunesBusyException, IsItsOwnSilentTypeOutsideTheExceptionHierarchy) {
    EXPECT_FALSE((std::is_base_of_v<Exception, ITunesBusyException>));
    RecordingReporter reporter;
    try {
        throw ITunesBusyException();
    } catch (const Exception&) {
        FAIL() << "caught as Exception";
    } catch (const ITunesBusyException&) {
    }
    EXPECT_TRUE(reporter.shown.empty());
}

// Path-text rules and the event-processing pause.
#include "backup/path_rules.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tess::test {
namespace {

TEST(CleanPathTest, CollapsesDoubledBackslashesInOnePass) {
  EXPECT_EQ(CleanPath("D:\\Backups\\\\Docs"), "D:\\Backups\\Docs");
  EXPECT_EQ(CleanPath("D:\\Backups\\\\"), "D:\\Backups\\");  // typed "\" plus the joining one
  EXPECT_EQ(CleanPath("D:\\a\\\\\\b"), "D:\\a\\\\b");        // three become two
  EXPECT_EQ(CleanPath("D:\\a\\\\\\\\b"), "D:\\a\\\\b");      // four become two
  EXPECT_EQ(CleanPath(""), "");
  EXPECT_EQ(CleanPath("Docs"), "Docs");
}

TEST(CleanPathTest, LeadingBackslashesBecomeTheNetworkPrefix) {
  EXPECT_EQ(CleanPath("\\\\server\\share"), "\\\\server\\share");
  EXPECT_EQ(CleanPath("\\\\server\\share\\\\Backups\\\\"), "\\\\server\\share\\Backups\\");
  EXPECT_EQ(CleanPath("\\Docs"), "\\\\Docs");
  EXPECT_EQ(CleanPath("\\\\\\Docs"), "\\\\Docs");
  EXPECT_EQ(CleanPath("\\\\\\"), "\\\\");
}

TEST(LastPathPartTest, TextAfterTheLastBackslash) {
  EXPECT_EQ(LastPathPart("C:\\Users\\Ann\\Documents"), "Documents");
  EXPECT_EQ(LastPathPart("C:\\Data\\Docs\\"), "");
  EXPECT_EQ(LastPathPart("E:"), "E:");
  EXPECT_EQ(LastPathPart(""), "");
}

class PauseTest : public ::testing::Test {
 protected:
  FakeServices fakes_;
};

TEST_F(PauseTest, LetsEventsRunUntilTheSecondsHavePassed) {
  Pause(5, fakes_.clock, fakes_.pump);
  EXPECT_EQ(fakes_.pump.calls, 20);  // a quarter second per pass
  EXPECT_EQ(fakes_.clock.now.second, 11);
  EXPECT_EQ(fakes_.clock.now.millisecond, 0);
}

TEST_F(PauseTest, ZeroOrLessReturnsWithoutProcessingEvents) {
  Pause(0, fakes_.clock, fakes_.pump);
  Pause(-3, fakes_.clock, fakes_.pump);
  EXPECT_EQ(fakes_.pump.calls, 0);
}

TEST_F(PauseTest, EndsAtTheFirstCheckAfterMidnight) {
  fakes_.clock.now = {2021, 8, 31, 23, 59, 58, 0};
  Pause(5, fakes_.clock, fakes_.pump);
  EXPECT_EQ(fakes_.pump.calls, 8);
  EXPECT_EQ(fakes_.clock.now.day, 1);
  EXPECT_EQ(fakes_.clock.now.hour, 0);
  EXPECT_EQ(fakes_.clock.now.second, 0);
}

TEST_F(PauseTest, AnEventThatThrowsDoesNotEndTheWait) {
  fakes_.pump.At(2, [] { throw PlatformError(5, "Invalid procedure call or argument"); });
  Pause(1, fakes_.clock, fakes_.pump);
  EXPECT_EQ(fakes_.pump.calls, 4);
}

}  // namespace
}  // namespace tess::test

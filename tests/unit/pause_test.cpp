// The wait that holds Backup Now's outcome in view: how long it lets events run, and midnight.
#include "schedule/pause.h"

#include <gtest/gtest.h>

#include "base/platform_error.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

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

// When the next timed backup falls due, as clock time: its stored text, what a start or a wake
// makes of it, and the countdown that goes on across a restart, a sleep, a clock set back and
// automatic backup switched off and on.
#include "schedule/due_time.h"

#include <gtest/gtest.h>

#include "scheduler_fixture.h"

namespace tess::test {
namespace {

TEST(DueTimeTest, TheStoredTextIsUtcToTheSecondAndAnythingElseReadsAsNone) {
  EXPECT_EQ(UtcText(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(UtcText(1796751000), "2026-12-08T17:30:00Z");
  EXPECT_EQ(UtcText(951782399), "2000-02-28T23:59:59Z");
  EXPECT_EQ(UtcText(951868800), "2000-03-01T00:00:00Z");
  for (const std::int64_t seconds : {0LL, 951825600LL, 1796751000LL, 4102444799LL}) {
    EXPECT_EQ(ReadUtcText(UtcText(seconds)), seconds);
  }
  for (const char* text :
       {"", "2026-12-08 17:30:00Z", "2026-12-08T17:30:00", "2026-13-08T17:30:00Z",
        "2026-02-29T00:00:00Z", "2026-12-08T24:00:00Z", "2026-12-8T17:30:00Z",
        "2026-12-08T17:30:00Z ", "+026-12-08T17:30:00Z"}) {
    EXPECT_FALSE(ReadUtcText(text)) << text;
  }
  EXPECT_TRUE(ReadUtcText("2024-02-29T00:00:00Z"));
}

TEST(DueTimeTest, AStartContinuesCatchesUpOnceOrStartsAFreshPeriod) {
  using Kind = DueAtStart::Kind;
  struct StartCase {
    std::optional<double> stored;
    int interval;
    Kind kind;
    double due;
  };
  const double now = 1000000;
  const StartCase cases[] = {
      {std::nullopt, 900, Kind::kFresh, now + 900},
      {now + 300, 900, Kind::kContinue, now + 300},
      {now + 900, 900, Kind::kContinue, now + 900},
      {now + 901, 900, Kind::kFresh, now + 900},           // a clock set back
      {now, 86400, Kind::kCatchUp, now + 60},              // due just now
      {now - 3 * 86400, 86400, Kind::kCatchUp, now + 60},  // three days missed: one run
      {now - 100, 5, Kind::kCatchUp, now + 5},             // an interval shorter than a minute
  };
  for (const StartCase& c : cases) {
    const DueAtStart at = SettleDueTime(c.stored, now, c.interval);
    EXPECT_EQ(at.kind, c.kind) << (c.stored ? *c.stored - now : -1);
    EXPECT_DOUBLE_EQ(at.due, c.due);
  }
}

using DueCountdownTest = SchedulerTest;

TEST_F(DueCountdownTest, TheCountGoesOnAcrossARestartASleepAndAClockSetBack) {
  const double now = fakes_.clock.utc;
  fakes_.settings.values["Next Backup Due"] = UtcText(static_cast<std::int64_t>(now) + 7200);
  Load("15");  // every 24 hours
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 01:59:59");

  // Asleep for three hours without a word: the missed backup comes a minute later, once.
  fakes_.clock.utc += 3 * 3600;
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:01:00");
  Tick(59);
  EXPECT_EQ(Runs(), 0u);
  Tick();
  EXPECT_EQ(Runs(), 1u);
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 23:59:59");

  // Told of a wake after a sleep of two days, it catches up the same way.
  fakes_.clock.utc += 2 * 86400;
  form_.OnResume();
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:59");

  // A clock set back a day starts a fresh day from now, stored as such.
  fakes_.clock.utc -= 86400;
  Tick(2);
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 23:59:59");
  EXPECT_EQ(fakes_.settings.values["Next Backup Due"],
            UtcText(static_cast<std::int64_t>(fakes_.clock.utc) + 86399));
  EXPECT_EQ(Runs(), 1u);
}

TEST_F(DueCountdownTest, ARunOwedForAMissingDestinationIsLookedForFromTheNextStart) {
  fakes_.settings.values["Missed Backup Owed"] = "On";  // stored by the run before the restart
  Load("15");  // every 24 hours: a whole day until the next timed backup
  form_.destination_box.SetText("D:\\Nowhere");
  Tick(60);  // looked for at the first tick, and not there
  EXPECT_EQ(Runs(), 0u);
  form_.destination_box.SetText("D:\\Backups");
  Tick();  // a minute later it is back
  EXPECT_EQ(Runs(), 1u);
  EXPECT_EQ(fakes_.settings.values["Missed Backup Owed"], "Off");
}

TEST_F(DueCountdownTest, TheTimeLeftWhenSwitchedOffWaitsForALaterStart) {
  fakes_.settings.values["StartStopState"] = "Off";
  fakes_.settings.values["Seconds Left When Off"] = "14";
  Load("15");
  form_.OnAutoBackupClick();
  Tick();
  EXPECT_EQ(form_.status_frame.Caption(), "Next backup will occur in 00:00:13");
  EXPECT_EQ(fakes_.settings.values["Seconds Left When Off"], "");
}

}  // namespace
}  // namespace tess::test

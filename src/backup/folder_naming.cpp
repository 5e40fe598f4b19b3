#include "backup/folder_naming.h"

#include <cstdio>

#include "base/text.h"

namespace tess {

std::string MonthDayYear(Clock& clock, const LocalTime& t) {
  char digits[32];
  std::snprintf(digits, sizeof digits, " %d %04d", t.day, t.year);
  return clock.MonthAbbreviation(t.month) + digits;
}

std::string HourMinuteSecond(Clock& clock, const LocalTime& t) {
  const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  char digits[32];
  std::snprintf(digits, sizeof digits, "%02d %02d %02d ", hour12, t.minute, t.second);
  return digits + clock.AmPmDesignator(t.hour >= 12);
}

std::string DateTimeSuffix(Clock& clock) {
  // One reading of the clock: a date and a time read apart could straddle midnight and name a
  // moment a whole day early.
  const LocalTime now = clock.Now();
  const std::string date = MonthDayYear(clock, now);
  const std::string time = HourMinuteSecond(clock, now);
  // Trimmed as a whole, so a locale without AM/PM designators leaves no trailing blank.
  std::string suffix = " Date ";
  suffix += date;
  suffix += " Time ";
  suffix += time;
  return TrimSpaces(suffix);
}

std::string DateSuffix(Clock& clock) {
  std::string suffix = " ";
  suffix += MonthDayYear(clock, clock.Now());
  return TrimSpaces(suffix);
}

std::string NowText(Clock& clock) { return clock.GeneralDate(clock.Now()); }

}  // namespace tess

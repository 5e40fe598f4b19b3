// Local time and the locale's date texts.
#pragma once

#include <string>

namespace tess {

struct LocalTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;  // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
  // Fractional seconds since local midnight.
  virtual double SecondsSinceMidnight() = 0;
  // Seconds from an arbitrary start that only ever go forward, whatever the time of day does
  // (midnight, a changed clock, daylight saving): the measure for waits.
  virtual double MonotonicSeconds() = 0;
  // Seconds since 1970-01-01 00:00:00 UTC by the system's clock: it runs on while the program
  // is not running and while the machine sleeps, and goes back when the clock is set back. The
  // measure for a time that must survive a restart.
  virtual double UtcSeconds() = 0;
  // The UTC seconds of a local time, by the time-zone rules in force on its own date (the
  // offset of summer time on a summer date, whatever the date today), so the real time between
  // two local times holds across the day the clocks change.
  virtual double UtcSecondsOf(const LocalTime& local) = 0;
  // The locale's abbreviated month name, month 1..12 ("Aug").
  virtual std::string MonthAbbreviation(int month) = 0;
  // The locale's AM or PM designator.
  virtual std::string AmPmDesignator(bool pm) = 0;
  // The general date form: short date, a blank and the long time; only the date at midnight.
  virtual std::string GeneralDate(const LocalTime& t) = 0;
  // A number as the user's locale writes it (its digit groups and decimal mark), with this
  // many decimals.
  virtual std::string NumberText(double value, int decimals) = 0;
  // A random fraction in [0, 1) from a generator seeded with the time of day.
  virtual double RandomFraction() = 0;
};

}  // namespace tess

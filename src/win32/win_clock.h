// Local time and the user's locale: month names, AM/PM designators, the general date form.
#pragma once

#include <random>

#include "ports/clock.h"

namespace tess::win32 {

class WinClock : public Clock {
 public:
  WinClock();
  LocalTime Now() override;
  double SecondsSinceMidnight() override;
  double MonotonicSeconds() override;
  double UtcSeconds() override;
  double UtcSecondsOf(const LocalTime& local) override;
  std::string MonthAbbreviation(int month) override;
  std::string AmPmDesignator(bool pm) override;
  std::string GeneralDate(const LocalTime& t) override;
  std::string NumberText(double value, int decimals) override;
  double RandomFraction() override;

 private:
  std::mt19937 random_;
  double counts_per_second_ = 0;  // of the performance counter; 0 when it is not there
};

}  // namespace tess::win32

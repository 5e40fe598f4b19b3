// The fifteen backup intervals offered in the interval list, and the countdown's clock text.
#pragma once

#include <array>
#include <string>

namespace tess {

struct IntervalEntry {
  const char* text;
  int seconds;
};

inline constexpr std::array<IntervalEntry, 15> kIntervals = {{
    {"Backup every 5 seconds", 5},
    {"Backup every 10 seconds", 10},
    {"Backup every 30 seconds", 30},
    {"Backup every 1 minute", 60},
    {"Backup every 5 minutes", 300},
    {"Backup every 10 minutes", 600},
    {"Backup every 15 minutes", 900},
    {"Backup every 20 minutes", 1200},
    {"Backup every 30 minutes", 1800},
    {"Backup every 1 hour", 3600},
    {"Backup every 2 hours", 7200},
    {"Backup every 4 hours", 14400},
    {"Backup every 8 hours", 28800},
    {"Backup every 16 hours", 57600},
    {"Backup every 24 hours", 86400},
}};

inline constexpr char kIntervalColumnHeader[] = "How often would you like to backup?";

// Seconds of the entry with exactly this text; 0 when none matches.
int SecondsForIntervalText(const std::string& text);
// That many seconds past midnight as "hh:mm:ss"; a negative count shows its magnitude.
std::string SecondsToClock(long long seconds);

}  // namespace tess

#include "schedule/intervals.h"

#include <cstdio>

namespace tess {

int SecondsForIntervalText(const std::string& text) {
  for (const auto& entry : kIntervals) {
    if (text == entry.text) return entry.seconds;
  }
  return 0;
}

std::string SecondsToClock(long long seconds) {
  if (seconds < 0) seconds = -seconds;
  seconds %= 86400;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return buf;
}

}  // namespace tess

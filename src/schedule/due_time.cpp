#include "schedule/due_time.h"

#include <algorithm>
#include <cstdio>

#include "base/calendar.h"
#include "base/text.h"

namespace tess {
namespace {

// Exactly count digits at `at`.
bool TakeDigits(std::string_view text, std::size_t at, std::size_t count, unsigned* value) {
  std::uint64_t read = 0;
  if (ReadDigits(text.substr(at, count), count, &read) != count) return false;
  *value = static_cast<unsigned>(read);
  return true;
}

}  // namespace

std::string UtcText(std::int64_t seconds) {
  const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  const std::int64_t in_day = seconds - days * 86400;
  std::int64_t year = 0;
  unsigned month = 0;
  unsigned day = 0;
  CivilFromDays(days, &year, &month, &day);
  char text[40];
  std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02dZ", static_cast<long long>(year),
                month, day, static_cast<int>(in_day / 3600), static_cast<int>(in_day / 60 % 60),
                static_cast<int>(in_day % 60));
  return text;
}

std::optional<std::int64_t> ReadUtcText(std::string_view text) {
  // yyyy-mm-ddThh:mm:ssZ
  if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || text[19] != 'Z') {
    return std::nullopt;
  }
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!TakeDigits(text, 0, 4, &year) || !TakeDigits(text, 5, 2, &month) ||
      !TakeDigits(text, 8, 2, &day) || !TakeDigits(text, 11, 2, &hour) ||
      !TakeDigits(text, 14, 2, &minute) || !TakeDigits(text, 17, 2, &second)) {
    return std::nullopt;
  }
  if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  const std::int64_t days = DaysFromCivil(year, month, day);
  // A day past the month's end (the 31st of April) comes back as another date.
  std::int64_t y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(days, &y, &m, &d);
  if (y != year || m != month || d != day) return std::nullopt;
  return days * 86400 + hour * 3600 + minute * 60 + second;
}

DueAtStart SettleDueTime(std::optional<double> stored, double now, int interval_seconds,
                         const DueSlack& slack) {
  const double interval = interval_seconds;
  if (!stored || *stored > now + interval + slack.ahead) {
    return {DueAtStart::Kind::kFresh, now + interval};
  }
  if (slack.late ? now > *stored + *slack.late : *stored <= now) {
    return {DueAtStart::Kind::kCatchUp, now + std::min(kCatchUpSeconds, interval)};
  }
  return {DueAtStart::Kind::kContinue, *stored};
}

}  // namespace tess

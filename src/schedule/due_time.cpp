#include "schedule/due_time.h"

#include <algorithm>
#include <cstdio>

namespace tess {
namespace {

// Days since 1970-01-01 of a civil date, and back (the proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<std::int64_t>(yoe) + era * 400 + (*m <= 2);
}

bool TakeDigits(std::string_view text, std::size_t at, std::size_t count, unsigned* value) {
  *value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    *value = *value * 10 + static_cast<unsigned>(text[i] - '0');
  }
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

DueAtStart SettleDueTime(std::optional<double> stored, double now, int interval_seconds) {
  const double interval = interval_seconds;
  if (!stored || *stored > now + interval) {
    return {DueAtStart::Kind::kFresh, now + interval};
  }
  if (*stored <= now) {
    return {DueAtStart::Kind::kCatchUp, now + std::min(kCatchUpSeconds, interval)};
  }
  return {DueAtStart::Kind::kContinue, *stored};
}

}  // namespace tess

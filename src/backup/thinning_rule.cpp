#include "backup/thinning_rule.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

#include "base/name_case.h"

namespace tess {
namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;
constexpr std::int64_t kRecent = kDay;      // everything stays
constexpr std::int64_t kDaily = 30 * kDay;  // one a calendar day stays
constexpr std::int64_t kMondayOffset = 3;   // day 0, 1 January 1970, was a Thursday

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar.
std::int64_t DayNumber(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t year_of_era = y - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

// Local wall-clock seconds on one line: a day is always 24 hours here, as the calendar has it.
std::int64_t Seconds(const LocalTime& t) {
  return DayNumber(t.year, t.month, t.day) * kDay + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

std::vector<std::string> BackupsToRemove(const std::vector<EntryBackup>& reading,
                                         const LocalTime& now,
                                         const std::vector<std::string>& kept) {
  std::vector<EntryBackup> backups;
  for (const EntryBackup& b : reading) {
    if (b.OwnDated()) backups.push_back(b);
  }
  if (backups.empty()) return {};
  const std::int64_t now_seconds = Seconds(now);
  // The newest moment of each day (tier 1) or week (tier 2) met in the tier it is in; every
  // folder of the last day is a group of its own moment.
  std::map<std::pair<int, std::int64_t>, std::int64_t> newest_of_group;
  std::int64_t newest = Seconds(backups.front().time);
  const auto group_of = [&](const EntryBackup& b) -> std::pair<int, std::int64_t> {
    const std::int64_t at = Seconds(b.time);
    const std::int64_t age = now_seconds - at;
    const std::int64_t day = FloorDivide(at, kDay);
    if (age <= kRecent) return {0, at};
    if (age <= kDaily) return {1, day};
    return {2, FloorDivide(day + kMondayOffset, 7)};
  };
  for (const EntryBackup& b : backups) {
    const std::int64_t at = Seconds(b.time);
    newest = std::max(newest, at);
    auto [it, added] = newest_of_group.try_emplace(group_of(b), at);
    if (!added) it->second = std::max(it->second, at);
  }

  std::stable_sort(backups.begin(), backups.end(), [](const EntryBackup& a, const EntryBackup& b) {
    return Seconds(a.time) < Seconds(b.time);
  });
  std::vector<std::string> going;
  for (const EntryBackup& b : backups) {
    const std::int64_t at = Seconds(b.time);
    if (at == newest || at == newest_of_group.at(group_of(b))) continue;
    if (std::any_of(kept.begin(), kept.end(),
                    [&](const std::string& name) { return SameName(name, b.name); })) {
      continue;
    }
    going.push_back(b.name);
  }
  return going;
}

}  // namespace tess

#include "backup/thinning_rule.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

#include "base/calendar.h"
#include "base/name_case.h"

namespace tess {
namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;
constexpr std::int64_t kRecent = kDay;      // everything stays
constexpr std::int64_t kDaily = 30 * kDay;  // one a calendar day stays
constexpr std::int64_t kMondayOffset = 3;   // day 0, 1 January 1970, was a Thursday

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

// Local wall-clock seconds on one line: a day is always 24 hours here, as the calendar has it;
// the order of stamps and the calendar day and week each falls in.
std::int64_t Seconds(const LocalTime& t) {
  return DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) *
             kDay +
         t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

std::vector<std::string> BackupsToRemove(const std::vector<EntryBackup>& reading,
                                         const LocalTime& now, const RealSeconds& real,
                                         const std::vector<std::string>& kept) {
  std::vector<EntryBackup> backups;
  for (const EntryBackup& b : reading) {
    if (b.OwnDated()) backups.push_back(b);
  }
  if (backups.empty()) return {};
  const double now_real = real(now);
  // The newest moment of each day (tier 1) or week (tier 2) met in the tier it is in; every
  // folder of the last day is a group of its own moment.
  std::map<std::pair<int, std::int64_t>, std::int64_t> newest_of_group;
  std::int64_t newest = Seconds(backups.front().time);
  // Ages in real time; days and weeks as the calendar has them.
  std::map<std::string, double> ages;
  for (const EntryBackup& b : backups) ages.try_emplace(b.name, now_real - real(b.time));
  const auto group_of = [&](const EntryBackup& b) -> std::pair<int, std::int64_t> {
    const std::int64_t at = Seconds(b.time);
    const double age = ages.at(b.name);
    const std::int64_t day = FloorDivide(at, kDay);
    if (age <= kRecent) return {0, at};
    if (age <= kDaily) return {1, day};
    return {2, FloorDivide(day + kMondayOffset, 7)};
  };
  // A folder whose run did not go through whole (killed, or a full disk) stands for its day or
  // week only when no complete one of that day or week does.
  std::map<std::pair<int, std::int64_t>, std::int64_t> newest_complete_of_group;
  for (const EntryBackup& b : backups) {
    const std::int64_t at = Seconds(b.time);
    newest = std::max(newest, at);
    auto [it, added] = newest_of_group.try_emplace(group_of(b), at);
    if (!added) it->second = std::max(it->second, at);
    if (!b.complete) continue;
    auto [whole, first] = newest_complete_of_group.try_emplace(group_of(b), at);
    if (!first) whole->second = std::max(whole->second, at);
  }
  for (const auto& [group, at] : newest_complete_of_group) newest_of_group[group] = at;

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

#include "backup/run_progress.h"

#include <algorithm>
#include <vector>

#include "base/text.h"

namespace tess {
namespace {

constexpr char kSeparator = '|';
// Without totals the bar is halfway after this many files.
constexpr double kFilesHalfway = 5000;
// With totals the bar follows the share done up to this share of its length, and beyond it
// creeps towards the end without reaching it.
constexpr double kFollowedShare = 0.9;

bool ReadCount(const std::string& text, std::uint64_t* value) {
  return !text.empty() && text.size() <= 19 && ReadDigits(text, 19, value) == text.size();
}

struct Unit {
  double size;
  const char* name;
};

// The unit a byte count reads best in, chosen by the larger of the two counts shown together.
Unit UnitFor(std::uint64_t bytes) {
  static constexpr Unit kUnits[] = {{1024.0 * 1024 * 1024 * 1024, "TB"},
                                    {1024.0 * 1024 * 1024, "GB"},
                                    {1024.0 * 1024, "MB"},
                                    {1024.0, "KB"}};
  for (const Unit& unit : kUnits) {
    if (static_cast<double>(bytes) >= unit.size * 0.95) return unit;
  }
  return {1, "bytes"};
}

std::string Amount(std::uint64_t bytes, const Unit& unit, const NumberText& number) {
  return number(static_cast<double>(bytes) / unit.size, unit.size > 1 ? 1 : 0);
}

}  // namespace

std::map<std::string, EntryTotals> ReadEntryTotals(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : text) {
    if (c == kSeparator) {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  std::map<std::string, EntryTotals> totals;
  for (std::size_t i = 0; i + 2 < parts.size(); i += 3) {
    EntryTotals entry;
    if (parts[i].empty() || !ReadCount(parts[i + 1], &entry.files) ||
        !ReadCount(parts[i + 2], &entry.bytes)) {
      break;
    }
    totals[parts[i]] = entry;
  }
  return totals;
}

std::string EntryTotalsText(const std::map<std::string, EntryTotals>& totals) {
  std::string text;
  for (const auto& [entry, counts] : totals) {
    if (entry.empty() || entry.find(kSeparator) != std::string::npos) continue;
    text += entry + kSeparator + std::to_string(counts.files) + kSeparator +
            std::to_string(counts.bytes) + kSeparator;
  }
  return text;
}

int ProgressValue(const CopyProgress& done, const std::optional<EntryTotals>& expected) {
  double share = 0;
  if (!expected || expected->files == 0) {
    share = done.files / (done.files + kFilesHalfway);
  } else {
    double x = static_cast<double>(done.files) / static_cast<double>(expected->files);
    if (expected->bytes > 0) {
      x = (x + static_cast<double>(done.bytes) / static_cast<double>(expected->bytes)) / 2;
    }
    share = x <= kFollowedShare
                ? x
                : 1 - (1 - kFollowedShare) / (1 + (x - kFollowedShare) * 2 / (1 - kFollowedShare));
  }
  const int value = static_cast<int>(share * kProgressSteps);
  return std::clamp(value, 0, kProgressSteps - 1);
}

std::string ProgressText(const std::string& name, const CopyProgress& done,
                         const std::optional<EntryTotals>& expected, const NumberText& number) {
  const std::string files_word = done.files == 1 ? " file" : " files";
  if (!expected || expected->files == 0 || done.files > expected->files ||
      done.bytes > expected->bytes) {
    const Unit unit = UnitFor(done.bytes);
    return name + ": " + number(static_cast<double>(done.files), 0) + files_word + ", " +
           Amount(done.bytes, unit, number) + " " + unit.name;
  }
  const Unit unit = UnitFor(std::max(done.bytes, expected->bytes));
  return name + ": " + number(static_cast<double>(done.files), 0) + " of " +
         number(static_cast<double>(expected->files), 0) + " files, " +
         Amount(done.bytes, unit, number) + " of " + Amount(expected->bytes, unit, number) + " " +
         unit.name;
}

}  // namespace tess

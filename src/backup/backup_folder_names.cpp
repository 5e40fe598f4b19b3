#include "backup/backup_folder_names.h"

#include <cstdint>
#include <tuple>

#include "base/name_case.h"
#include "base/text.h"

namespace tess {
namespace {

bool Take(std::string_view* rest, std::string_view text) {
  if (rest->size() < text.size() || !SameName(rest->substr(0, text.size()), text)) return false;
  rest->remove_prefix(text.size());
  return true;
}

// Exactly `digits` decimal digits, or 1 to `digits` of them when `exact` is false.
bool TakeNumber(std::string_view* rest, int digits, bool exact, int* value) {
  std::uint64_t number = 0;
  const std::size_t count = ReadDigits(*rest, static_cast<std::size_t>(digits), &number);
  if (count == 0 || (exact && count != static_cast<std::size_t>(digits))) return false;
  rest->remove_prefix(count);
  *value = static_cast<int>(number);
  return true;
}

int DaysIn(int month, int year) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// "mmm d yyyy", a day the month has.
bool TakeDate(std::string_view* rest, const StampTexts& texts, LocalTime* time) {
  for (int month = 1; month <= 12; ++month) {
    std::string_view at = *rest;
    const std::string& name = texts.months[month - 1];
    if (name.empty() || !Take(&at, name) || !Take(&at, " ")) continue;
    int day = 0;
    int year = 0;
    if (!TakeNumber(&at, 2, false, &day) || !Take(&at, " ") || !TakeNumber(&at, 4, true, &year)) {
      continue;
    }
    if (day < 1 || day > DaysIn(month, year)) continue;
    time->year = year;
    time->month = month;
    time->day = day;
    *rest = at;
    return true;
  }
  return false;
}

// "hh mm ss AMPM", the designator left off when the locale has none.
bool TakeTime(std::string_view* rest, const StampTexts& texts, LocalTime* time) {
  int hour = 0;
  int minute = 0;
  int second = 0;
  if (!TakeNumber(rest, 2, true, &hour) || !Take(rest, " ") ||
      !TakeNumber(rest, 2, true, &minute) || !Take(rest, " ") ||
      !TakeNumber(rest, 2, true, &second)) {
    return false;
  }
  if (hour < 1 || hour > 12 || minute > 59 || second > 59) return false;
  bool pm = false;
  if (!rest->empty()) {
    if (!texts.pm.empty() && Take(rest, " " + texts.pm)) {
      pm = true;
    } else if (texts.am.empty() || !Take(rest, " " + texts.am)) {
      return false;
    }
  }
  time->hour = hour % 12 + (pm ? 12 : 0);
  time->minute = minute;
  time->second = second;
  return true;
}

std::optional<BackupFolderName> ReadStamp(std::string_view rest, const StampTexts& texts,
                                          int copy_number) {
  BackupFolderName name;
  name.copy_number = copy_number;
  if (rest.empty()) return name;
  std::string_view at = rest;
  if (Take(&at, "Date ") && TakeDate(&at, texts, &name.time) && Take(&at, " Time ") &&
      TakeTime(&at, texts, &name.time) && at.empty()) {
    name.stamp = FolderStamp::kDateAndTime;
    return name;
  }
  at = rest;
  name.time = LocalTime{};
  if (TakeDate(&at, texts, &name.time) && at.empty()) {
    name.stamp = FolderStamp::kDate;
    return name;
  }
  return std::nullopt;
}

}  // namespace

StampTexts StampTexts::From(Clock& clock) {
  StampTexts texts;
  for (int month = 1; month <= 12; ++month)
    texts.months[month - 1] = clock.MonthAbbreviation(month);
  texts.am = clock.AmPmDesignator(false);
  texts.pm = clock.AmPmDesignator(true);
  return texts;
}

std::optional<BackupFolderName> ReadBackupFolderName(std::string_view folder_name,
                                                     std::string_view entry_name,
                                                     const StampTexts& texts) {
  if (entry_name.empty()) return std::nullopt;
  std::string_view rest = folder_name;
  if (!Take(&rest, entry_name)) return std::nullopt;
  // The entry's own name, stamped or not...
  if (auto name = ReadStamp(rest, texts, 1)) return name;
  // ...or a later entry's "Name (k)", k from 2 on, written without leading zeros.
  int copy_number = 0;
  if (!Take(&rest, " (") || rest.empty() || rest.front() == '0' ||
      !TakeNumber(&rest, 9, false, &copy_number) || copy_number < 2 || !Take(&rest, ")")) {
    return std::nullopt;
  }
  return ReadStamp(rest, texts, copy_number);
}

bool IsBackupFolderOf(std::string_view folder_name, const std::vector<std::string>& entry_names,
                      const StampTexts& texts) {
  for (const std::string& entry_name : entry_names) {
    if (ReadBackupFolderName(folder_name, entry_name, texts)) return true;
  }
  return false;
}

bool StampIsLater(const LocalTime& a, const LocalTime& b) {
  return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second) >
         std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

}  // namespace tess

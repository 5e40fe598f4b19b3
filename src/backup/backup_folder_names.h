// Reading a backup folder's name back: which entry it belongs to, which copy of that name
// ("Photos (2)"), and the date or date and time its stamp names. Leaving earlier backups out
// of a copy and finding an entry's newest earlier backup both go by this one reading.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/folder_naming.h"
#include "ports/clock.h"

namespace tess {

// The locale's texts a stamp is written with, read once from the clock.
struct StampTexts {
  std::array<std::string, 12> months;  // abbreviations, January first
  std::string am;
  std::string pm;
  static StampTexts From(Clock& clock);
};

struct BackupFolderName {
  int copy_number = 1;  // 1 for the entry's own name, k for "Name (k)"
  // kNone when the name carries no stamp; otherwise kDateAndTime or kDate.
  FolderStamp stamp = FolderStamp::kNone;
  LocalTime time;  // what the stamp names; midnight for a date alone
};

// The reading of folder_name as a backup folder of an entry named entry_name (its backup name
// before any stamp or copy number), or nothing when it is not one. Names compare as Windows
// compares them (letters in either case); the stamp must be a real date (and time).
std::optional<BackupFolderName> ReadBackupFolderName(std::string_view folder_name,
                                                     std::string_view entry_name,
                                                     const StampTexts& texts);

// True when folder_name reads as a backup folder of any of the entry names.
bool IsBackupFolderOf(std::string_view folder_name, const std::vector<std::string>& entry_names,
                      const StampTexts& texts);

// True when a stamp names a later moment than another (a date alone counts as its midnight).
bool StampIsLater(const LocalTime& a, const LocalTime& b);

}  // namespace tess

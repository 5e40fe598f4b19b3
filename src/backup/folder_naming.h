// The date and time texts a backup run puts into folder names, history lines and the status
// line, in the locale's month names, AM/PM designators and general date form.
#pragma once

#include <string>

#include "ports/clock.h"

namespace tess {

// How a run names each entry's backup folder, as the option controls ask for it.
enum class FolderStamp {
  kNone,         // stamp box off: the entry lands under its own name inside the destination
  kDateAndTime,  // create new: the entry's name and DateTimeSuffix
  kDate,         // overwrite: the entry's name and DateSuffix
  kNameOnly,     // stamp box on but no mode chosen: the entry's bare name
};

// "mmm d yyyy": Aug 31 2021, Sep 1 2021.
std::string MonthDayYear(Clock& clock, const LocalTime& t);
// "hh mm ss AMPM" on the 12-hour clock: 04 05 06 PM, 12 30 00 AM.
std::string HourMinuteSecond(Clock& clock, const LocalTime& t);
// Joined straight to the folder's name in "create new" mode: "Date Aug 31 2021 Time 04 05 06
// PM", from one reading of the clock.
std::string DateTimeSuffix(Clock& clock);
// Joined straight to the folder's name in "overwrite" mode: "Aug 31 2021".
std::string DateSuffix(Clock& clock);
// The current date and time in the general date form (only the date at midnight).
std::string NowText(Clock& clock);

}  // namespace tess

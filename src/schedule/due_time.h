// When the next timed backup falls due, as clock time that survives a restart and a sleep: its
// stored text ("2026-12-08T17:30:00Z", UTC) and what a start or a wake makes of a stored time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tess {

// Whole seconds since 1970-01-01 00:00:00 UTC as "yyyy-mm-ddThh:mm:ssZ".
std::string UtcText(std::int64_t seconds);
// The seconds a text of exactly that form names; nothing for any other text or a date that
// does not exist.
std::optional<std::int64_t> ReadUtcText(std::string_view text);

// A run that was missed (the program was not running, or the machine slept) comes this long
// after the start or the wake that finds it, so the system can settle first (a network drive
// reconnecting), or after a whole interval when that is shorter.
inline constexpr double kCatchUpSeconds = 60;

// What a start, a wake or a tick makes of the time a timed backup falls due.
struct DueAtStart {
  enum class Kind {
    kFresh,     // none was known, or one too far ahead (a clock set back): a whole interval
    kContinue,  // still ahead within an interval: the count goes on
    kCatchUp,   // already past: one run a minute later, never one per missed period
  };
  Kind kind = Kind::kFresh;
  double due = 0;  // UTC seconds
};
// How far off a due time may lie and still be the one the count goes to: ahead by at most an
// interval and `ahead` seconds, and passed by at most `late` seconds. Without `late`, a due time
// passed at all was missed (at a start or a wake); a running count lets a tick come late.
struct DueSlack {
  double ahead = 0;
  std::optional<double> late;
};
DueAtStart SettleDueTime(std::optional<double> stored, double now, int interval_seconds,
                         const DueSlack& slack = {});

}  // namespace tess

// When a file's earlier copy is still current, so a repeat backup can skip it: the one rule the
// copy engine and its test double share.
#pragma once

#include <cstdint>

namespace tess {

// What the rule reads of a file, as a folder listing reports it. Times are counts on one scale
// (100-nanosecond ticks on Windows); 0 stands for a time the file system does not keep.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t last_write = 0;
  // When anything about the file last changed, content or metadata. Unlike the last-write
  // time, no program can set it back, so a rewrite that restores the last-write time still
  // moves it.
  std::int64_t change = 0;
};

// True when the copy needs no rewrite: same size and last-write time, and the source has not
// changed since the copy was written (its change time is not later than the copy's). A file
// system without change times (FAT keeps none) leaves only size and last-write time to go by.
bool CopyIsCurrent(const FileStamp& source, const FileStamp& copy);

// Write times within this much of each other are one time on a volume with coarse times:
// FAT and exFAT keep them in 2-second steps, some drivers in whole seconds.
inline constexpr std::int64_t kCoarseWriteTimeSlack = 2 * 10'000'000;  // 100-ns ticks

// The rule for a copy on a volume with coarse write times: same size, and write times within
// kCoarseWriteTimeSlack. Change times are not compared: such volumes keep none, or only coarse
// ones, so a rewrite that puts the write time back goes unseen there.
bool CopyIsCurrentOnCoarseVolume(const FileStamp& source, const FileStamp& copy);

}  // namespace tess

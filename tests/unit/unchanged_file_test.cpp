// The skip rule for files whose copy is still current.
#include "base/unchanged_file.h"

#include <gtest/gtest.h>

namespace tess::test {
namespace {

// Times as a copy run leaves them: the copy carries the source's last-write time (kWrote) and
// was written (kCopied) after the source last changed (kChanged).
constexpr std::int64_t kWrote = 100;
constexpr std::int64_t kChanged = 200;
constexpr std::int64_t kCopied = 300;

struct StampCase {
  const char* what;
  FileStamp source;
  FileStamp copy;
  bool current;
};

constexpr StampCase kCases[] = {
    {"untouched since the copy", {10, kWrote, kChanged}, {10, kWrote, kCopied}, true},
    {"changed as the copy was made", {10, kWrote, kCopied}, {10, kWrote, kCopied}, true},
    {"rewritten, write time put back", {10, kWrote, kCopied + 1}, {10, kWrote, kCopied}, false},
    {"written anew", {10, kWrote + 1, kCopied + 1}, {10, kWrote, kCopied}, false},
    {"write time set back", {10, kWrote - 1, kChanged}, {10, kWrote, kCopied}, false},
    {"grown", {11, kWrote, kChanged}, {10, kWrote, kCopied}, false},
    {"emptied", {0, kWrote, kChanged}, {10, kWrote, kCopied}, false},
    {"4 GB apart", {(1ull << 32) + 10, kWrote, kChanged}, {10, kWrote, kCopied}, false},
    {"copy on a volume without change times", {10, kWrote, kCopied + 1}, {10, kWrote, 0}, true},
    {"source on a volume without change times", {10, kWrote, 0}, {10, kWrote, kCopied}, true},
    {"no change times, another size", {10, kWrote, 0}, {12, kWrote, 0}, false},
    {"no change times, another write time", {10, kWrote + 1, 0}, {10, kWrote, 0}, false},
};

TEST(CopyIsCurrentTest, SkipsOnlyWhatHasNotChangedSinceItWasCopied) {
  for (const StampCase& c : kCases) {
    EXPECT_EQ(CopyIsCurrent(c.source, c.copy), c.current) << c.what;
  }
}

// On a volume with coarse times the copy's write time is the source's cut to its steps.
constexpr std::int64_t kSecond = 10'000'000;
constexpr std::int64_t kFine = 1000 * kSecond + 7'654'321;  // 0.7654321 s past a second
constexpr std::int64_t kCut = 1000 * kSecond;

constexpr StampCase kCoarseCases[] = {
    {"cut to the second", {10, kFine, kChanged}, {10, kCut, kCut}, true},
    {"cut to two seconds", {10, kFine + kSecond, kChanged}, {10, kCut, kCut}, true},
    {"exactly two seconds apart", {10, kCut + 2 * kSecond, kChanged}, {10, kCut, 0}, true},
    {"copy later than the source", {10, kCut, kChanged}, {10, kCut + 2 * kSecond, 0}, true},
    {"written anew three seconds later", {10, kFine + 3 * kSecond, kChanged}, {10, kCut, 0}, false},
    {"just over two seconds", {10, kCut + 2 * kSecond + 1, kChanged}, {10, kCut, 0}, false},
    {"another size", {11, kFine, kChanged}, {10, kCut, 0}, false},
};

TEST(CopyIsCurrentTest, OnACoarseVolumeWriteTimesWithinTwoSecondsAreOneTime) {
  for (const StampCase& c : kCoarseCases) {
    EXPECT_EQ(CopyIsCurrentOnCoarseVolume(c.source, c.copy), c.current) << c.what;
    // The exact rule still tells them apart.
    if (c.source.last_write != c.copy.last_write) EXPECT_FALSE(CopyIsCurrent(c.source, c.copy));
  }
}

}  // namespace
}  // namespace tess::test

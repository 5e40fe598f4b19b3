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

}  // namespace
}  // namespace tess::test

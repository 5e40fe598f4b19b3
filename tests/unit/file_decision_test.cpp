// The decision about one file, as a table of what the source, its copy and the earlier backup
// show: what is current, what is rewritten, what is linked and what may not be touched; and which
// names of one listing the destination takes as one, and which of them is backed up.
#include "copy/file_decision.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "copy/name_twins.h"
#include "base/name_case.h"

namespace tess::test {
namespace {

constexpr std::int64_t kSecond = 10'000'000;
constexpr std::int64_t kWritten = 1000 * kSecond;

TreeEntry File(std::uint64_t size, std::int64_t write, std::int64_t change,
               std::uint32_t attributes = kAttrArchive) {
  TreeEntry entry;
  entry.name = "a.txt";
  entry.size = size;
  entry.times.write = write;
  entry.times.change = change;
  entry.attributes = attributes;
  return entry;
}

TreeEntry Folder() {
  TreeEntry entry;
  entry.name = "a.txt";
  entry.attributes = kAttrDirectory;
  return entry;
}

struct DecisionCase {
  const char* what;
  std::optional<TreeEntry> copy;
  std::optional<TreeEntry> earlier;
  FileRules rules;
  FileAction expected;
  bool distrusted = false;  // the copy was found damaged beyond mending
};

TEST(FileDecisionTest, EachFileIsWrittenSkippedLinkedOrRefusedByWhatTheListingsShow) {
  const TreeEntry source = File(5, kWritten, kWritten + kSecond);
  const TreeEntry current = File(5, kWritten, kWritten + 2 * kSecond);
  const TreeEntry stale = File(6, kWritten, 0);
  const FileRules overwrite{true, false};
  const FileRules keep{false, false};
  const FileRules coarse{true, true};
  const std::int64_t later = kWritten + 2 * kSecond;
  // clang-format off
  const DecisionCase cases[] = {
    {"nothing there yet", {}, {}, overwrite, FileAction::kWrite},
    {"a current copy", current, {}, overwrite, FileAction::kSkip},
    {"a current copy with other bits", File(5, kWritten, later, kAttrReadOnly), {}, overwrite, FileAction::kSkip},
    {"another size", File(6, kWritten, later), {}, overwrite, FileAction::kWrite},
    {"another write time", File(5, kWritten - 1, later), {}, overwrite, FileAction::kWrite},
    {"rewritten, write time put back", File(5, kWritten, kWritten), {}, overwrite, FileAction::kWrite},
    {"no change times kept", File(5, kWritten, 0), {}, overwrite, FileAction::kSkip},
    {"a different copy, no leave to replace", stale, {}, keep, FileAction::kMayNotReplace},
    {"a current copy, no leave to replace", current, {}, keep, FileAction::kSkip},
    {"a folder has the name", Folder(), {}, overwrite, FileAction::kFolderInTheWay},
    {"a folder has the name, no leave", Folder(), {}, keep, FileAction::kFolderInTheWay},
    {"coarse: 2 s apart is one time", File(5, later, kWritten), {}, coarse, FileAction::kSkip},
    {"coarse: 3 s apart is not", File(5, kWritten + 3 * kSecond, kWritten), {}, coarse, FileAction::kWrite},
    {"coarse: change times not compared", File(5, kWritten, 1), {}, coarse, FileAction::kSkip},
    {"coarse: another size", File(4, kWritten, kWritten), {}, coarse, FileAction::kWrite},
    {"earlier copy current", {}, current, overwrite, FileAction::kLink},
    {"earlier copy differs in archive bit", {}, File(5, kWritten, later, 0), overwrite, FileAction::kLink},
    {"earlier copy read-only", {}, File(5, kWritten, later, kAttrReadOnly | kAttrArchive), overwrite, FileAction::kWrite},
    {"earlier copy hidden", {}, File(5, kWritten, later, kAttrHidden | kAttrArchive), overwrite, FileAction::kWrite},
    {"earlier copy out of date", {}, File(5, kWritten - kSecond, kWritten), overwrite, FileAction::kWrite},
    {"earlier backup has a folder there", {}, Folder(), overwrite, FileAction::kWrite},
    {"a copy there is never relinked", stale, current, overwrite, FileAction::kWrite},
    {"a current copy there is kept", current, current, overwrite, FileAction::kSkip},
    {"coarse: earlier copy 2 s apart", {}, File(5, later, 1), coarse, FileAction::kLink},
    {"a damaged current copy is rewritten", current, {}, overwrite, FileAction::kWrite, true},
    {"a damaged earlier copy is not linked", {}, current, overwrite, FileAction::kWrite, true},
  };
  // clang-format on
  for (const DecisionCase& c : cases) {
    const TreeEntry* copy = c.copy ? &*c.copy : nullptr;
    const TreeEntry* earlier = c.earlier ? &*c.earlier : nullptr;
    EXPECT_EQ(DecideFile(source, copy, earlier, c.rules, c.distrusted), c.expected) << c.what;
  }
}

struct TwinCase {
  const char* what;
  std::vector<std::string> listing;  // in the file system's order; a trailing "\" marks a folder
  const char* twins;                 // "twin>first ..." in listing order
};

TEST(NameTwinsTest, OfNamesTheDestinationTakesAsOneOnlyTheOrdinalFirstIsBackedUp) {
  // clang-format off
  const TwinCase cases[] = {
    {"a pair", {"faq.html", "FAQ.html", "index.html"}, "faq.html>FAQ.html"},
    {"a triple", {"readme", "ReadMe", "README"}, "readme>README ReadMe>README"},
    {"two pairs", {"b", "a", "B", "A"}, "b>B a>A"},
    {"a folder pair", {"docs\\", "Docs\\", "docs.txt"}, "docs\\>Docs\\"},
    {"a file and a folder", {"notes", "Notes\\"}, "notes>Notes\\"},
    {"Latin-1", {"\xC3\xA4rger", "\xC3\x84rger"}, "\xC3\xA4rger>\xC3\x84rger"},  // ärger Ärger
    {"Greek", {"\xCF\x89", "\xCE\xA9"}, "\xCF\x89>\xCE\xA9"},                     // ω Ω
    {"Cyrillic", {"\xD0\xB6", "\xD0\x96"}, "\xD0\xB6>\xD0\x96"},                  // ж Ж
    // Alike to the eye, two names to Windows.
    {"final sigma", {"\xCF\x82", "\xCE\xA3", "\xCF\x83"}, "\xCF\x83>\xCE\xA3"},  // ς Σ σ
    {"sharp s", {"Ma\xC3\x9F", "MASS", "mass"}, "mass>MASS"},
    {"composed and decomposed", {"caf\xC3\xA9", "cafe\xCC\x81"}, ""},
    {"beyond U+FFFF", {"\xF0\x90\x90\xA8", "\xF0\x90\x90\x80"}, ""},  // Deseret
  };
  // clang-format on
  for (const TwinCase& c : cases) {
    std::vector<TreeEntry> listing;
    for (const std::string& shown : c.listing) {
      TreeEntry entry;
      entry.name = shown;
      if (shown.back() == '\\') {
        entry.name.pop_back();
        entry.attributes = kAttrDirectory;
      }
      entry.key = NameKey(entry.name);
      listing.push_back(entry);
    }
    const std::vector<std::size_t> holders = NameHolders(listing);
    std::string twins;
    for (std::size_t i = 0; i < listing.size(); ++i) {
      if (holders[i] == i) continue;
      twins += (twins.empty() ? "" : " ") + c.listing[i] + ">" + c.listing[holders[i]];
    }
    EXPECT_EQ(twins, c.twins) << c.what;
  }
}

}  // namespace
}  // namespace tess::test

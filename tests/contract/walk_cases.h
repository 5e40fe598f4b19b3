// Subfolder walks as data: a tree of folders, the list a walk starts from and the list it ends
// with. The same cases run against the file-system double (host unit tests) and against the
// real Win32 file system (Windows tests under Wine), so the double lists, describes and names
// folders as the real one does.
//
// "@" in a path stands for the case's root folder, or for a drive ("R:") when the case runs at a
// drive's root. Folders are made in the order given, which is also the order of their names:
// the double lists folders in the order they were made, the real file systems here by name.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/error_report.h"
#include "contract/file_tree_cases.h"
#include "folders/subfolder_walk.h"
#include "ports/event_pump.h"
#include "ports/file_system.h"

namespace tess::contract {

struct WalkFolder {
  std::string path;              // relative to the root; "" for the root itself
  std::uint32_t attributes = 0;  // kAttrReadOnly, kAttrHidden, kAttrSystem to set; 0: none
};

struct WalkCase {
  const char* name;  // an identifier: it names the test
  bool at_drive_root = false;
  std::vector<WalkFolder> tree;
  std::vector<std::string> start;
  std::vector<std::string> expected;
};

inline void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }
inline std::string WalkCaseName(const ::testing::TestParamInfo<WalkCase>& info) {
  return info.param.name;
}

inline constexpr std::uint32_t kHiddenSystem = kAttrHidden | kAttrSystem;

inline const std::vector<WalkCase>& WalkCases() {
  static const std::vector<WalkCase> cases = {
      {"LevelByLevel",
       false,
       {{"A"}, {"A\\X"}, {"A\\Y"}, {"B"}, {"B\\Z"}, {"B\\Z\\deep"}, {"c"}},
       {"@\\"},
       {"@\\", "@\\A\\", "@\\B\\", "@\\c\\", "@\\A\\X\\", "@\\A\\Y\\", "@\\B\\Z\\",
        "@\\B\\Z\\deep\\"}},
      {"OnlyHiddenSystemFoldersAreLeftOut",
       false,
       {{"Hidden", kAttrHidden},
        {"Hidden\\inside"},
        {"Plain"},
        {"ReadOnlySystem", kAttrReadOnly | kHiddenSystem},
        {"ReadOnlySystem\\inside"},
        {"System", kHiddenSystem},
        {"System\\inside"}},
       {"@\\"},
       {"@\\", "@\\Hidden\\", "@\\Plain\\", "@\\ReadOnlySystem\\", "@\\Hidden\\inside\\",
        "@\\ReadOnlySystem\\inside\\"}},
      {"AHiddenSystemDriveRootIsListed",
       true,
       {{"", kHiddenSystem}, {"top"}, {"top\\deeper"}},
       {"@\\"},
       {"@\\", "@\\top\\", "@\\top\\deeper\\"}},
      {"NamesOutsideTheCodePageAreLeftOut",
       false,
       // naïve, Ωmega, € rates: ï is in the code page; Ω is not, € is one of its odd codes.
       {{"na\xC3\xAFve\\inside"}, {"\xCE\xA9mega\\inside"}, {"\xE2\x82\xAC rates\\inside"}},
       {"@\\"},
       {"@\\", "@\\na\xC3\xAFve\\", "@\\na\xC3\xAFve\\inside\\"}},
      {"MissingAndRepeatedStartsStay",
       false,
       {{"A"}, {"A\\X"}},
       {"@\\missing\\", "@\\A\\", "@\\A\\"},
       {"@\\missing\\", "@\\A\\", "@\\A\\", "@\\A\\X\\", "@\\A\\X\\"}},
      {"AStartWithoutItsBackslashFindsNothing", false, {{"A"}, {"A\\X"}}, {"@\\A"}, {"@\\A"}},
  };
  return cases;
}

// How each side makes a case's folders and which file system the walk runs on.
class WalkFiles {
 public:
  virtual ~WalkFiles() = default;
  // What "@" stands for: a folder, or a drive ("R:").
  virtual std::string Root() const = 0;
  // Paths relative to the root ("" is the root itself).
  virtual void MakeFolder(const std::string& path) = 0;
  virtual void AddAttributes(const std::string& path, std::uint32_t attributes) = 0;
  virtual FileSystem& Files() = 0;
};

inline void RunWalkCase(const WalkCase& c, WalkFiles& files) {
  class NoEvents : public EventPump {
   public:
    void ProcessPendingEvents() override {}
  };
  class Reports : public ErrorReporter {
   public:
    void ShowApplicationError(const std::string& text) override { texts.push_back(text); }
    std::vector<std::string> texts;
  };
  const std::string root = files.Root();
  for (const WalkFolder& folder : c.tree) files.MakeFolder(folder.path);
  // Attributes last: a read-only folder could refuse what is made in it.
  for (const WalkFolder& folder : c.tree) {
    if (folder.attributes != 0) files.AddAttributes(folder.path, folder.attributes);
  }
  std::vector<std::string> walked;
  for (const std::string& start : c.start) walked.push_back(Resolve(start, root));
  NoEvents pump;
  Reports reports;
  WalkSubfolders(walked, true, WalkServices{files.Files(), pump, reports});
  std::vector<std::string> expected;
  for (const std::string& path : c.expected) expected.push_back(Resolve(path, root));
  EXPECT_EQ(walked, expected);
  EXPECT_EQ(reports.texts, std::vector<std::string>{});
}

}  // namespace tess::contract

// Snapshots on the host: a copy that may link to an earlier backup links exactly the files that
// are current against it, copies the rest, falls back to a copy wherever a link is refused, and
// never changes a file an earlier backup shares.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "copy/copy_tree.h"
#include "support/fakes.h"
#include "support/faulty_tree.h"

namespace tess::test {
namespace {

constexpr char kSource[] = "C:\\Data\\Docs";
constexpr char kEarlier[] = "C:\\Backups\\DocsAug 30 2021";
constexpr char kNew[] = "C:\\Backups\\DocsAug 31 2021";

std::string In(const std::string& folder, const std::string& relative) {
  return folder + "\\" + relative;
}

std::string Line(const CopyOutcome& out) {
  return "copied " + std::to_string(out.files_copied) + ", linked " +
         std::to_string(out.files_linked) + ", skipped " + std::to_string(out.files_skipped) +
         ", failed " + std::to_string(out.files_failed) + "/" + std::to_string(out.folders_failed);
}

class SnapshotLinksTest : public ::testing::Test {
 protected:
  // A source of three files, one in a subfolder, backed up once into the earlier folder.
  SnapshotLinksTest() {
    tree_->AddFile(In(kSource, "same.txt"), "unchanged");
    tree_->AddFile(In(kSource, "sub\\deep.txt"), "deep and unchanged");
    tree_->AddFile(In(kSource, "edited.txt"), "first draft");
    EXPECT_EQ(Line(Copy(kEarlier, "")), "copied 3, linked 0, skipped 0, failed 0/0");
    earlier_before_ = tree_->TreeBelow(kEarlier);
  }

  CopyOutcome Copy(const std::string& destination, const std::string& link_from,
                   FileTree* tree = nullptr) {
    CopySettings settings;
    settings.link_from = link_from;
    return CopyTree(tree != nullptr ? *tree : *tree_, kSource, destination, settings);
  }
  bool Shared(const std::string& relative, const std::string& earlier = kEarlier) {
    return tree_->SameFile(In(earlier, relative), In(kNew, relative));
  }

  std::unique_ptr<FakeFileSystem> tree_ = std::make_unique<FakeFileSystem>();
  std::vector<std::string> earlier_before_;
};

TEST_F(SnapshotLinksTest, CurrentFilesAreLinkedChangedAndNewOnesCopied) {
  tree_->AddFile(In(kSource, "edited.txt"), "second draft");
  tree_->AddFile(In(kSource, "sub\\new.txt"), "new");
  EXPECT_EQ(Line(Copy(kNew, kEarlier)), "copied 2, linked 2, skipped 0, failed 0/0");
  EXPECT_TRUE(Shared("same.txt"));
  EXPECT_TRUE(Shared("sub\\deep.txt"));
  EXPECT_EQ(tree_->LinkCount(In(kNew, "same.txt")), 2);
  EXPECT_FALSE(Shared("edited.txt"));
  EXPECT_EQ(tree_->Content(In(kNew, "edited.txt")), "second draft");
  EXPECT_EQ(tree_->Content(In(kNew, "sub\\new.txt")), "new");
  // The new folder is a whole backup; the earlier one is as it was.
  EXPECT_EQ(tree_->TreeBelow(kNew),
            (std::vector<std::string>{"edited.txt=second draft", "same.txt=unchanged", "sub\\",
                                      "sub\\deep.txt=deep and unchanged", "sub\\new.txt=new"}));
  EXPECT_EQ(tree_->TreeBelow(kEarlier), earlier_before_);
}

TEST_F(SnapshotLinksTest, AFileRewrittenWithItsOldWriteTimeOrOtherBitsIsCopied) {
  // Same size and write time, but changed since the earlier copy was made.
  tree_->RewriteKeepingWriteTime(In(kSource, "same.txt"), "unchangeX");
  // The earlier copy's bits differ from the source's: a link would change both.
  tree_->read_only.insert(FakeFileSystem::Key(In(kEarlier, "sub\\deep.txt")));
  EXPECT_EQ(Line(Copy(kNew, kEarlier)), "copied 2, linked 1, skipped 0, failed 0/0");
  EXPECT_EQ(tree_->Content(In(kNew, "same.txt")), "unchangeX");
  EXPECT_FALSE(Shared("sub\\deep.txt"));
  EXPECT_FALSE(tree_->Attributes(In(kNew, "sub\\deep.txt")) & kAttrReadOnly);
}

struct Refusal {
  const char* name;
  void (*set_up)(FakeFileSystem& files);
  const char* earlier;  // where the earlier backup lies
};

// Wherever a link cannot be made the file is copied, quietly: nothing fails and nothing is
// shared.
TEST_F(SnapshotLinksTest, EveryRefusedLinkBecomesACopy) {
  const Refusal cases[] = {
      {"a file system without links", [](FakeFileSystem& f) { f.links_refused = true; }, kEarlier},
      {"files with the most names allowed", [](FakeFileSystem& f) { f.max_links = 1; }, kEarlier},
      {"access denied",
       [](FakeFileSystem& f) {
         f.locked.insert(FakeFileSystem::Key(In(kEarlier, "same.txt")));
         f.locked.insert(FakeFileSystem::Key(In(kEarlier, "sub\\deep.txt")));
       },
       kEarlier},
      {"an earlier backup on another volume", [](FakeFileSystem&) {}, "D:\\Old\\DocsAug 30 2021"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.name);
    tree_ = std::make_unique<FakeFileSystem>();
    tree_->AddFolder("D:\\Old");
    tree_->AddFile(In(kSource, "same.txt"), "unchanged");
    tree_->AddFile(In(kSource, "sub\\deep.txt"), "deep and unchanged");
    ASSERT_TRUE(Copy(c.earlier, "").Complete());
    c.set_up(*tree_);
    EXPECT_EQ(Line(Copy(kNew, c.earlier)), "copied 2, linked 0, skipped 0, failed 0/0");
    EXPECT_FALSE(Shared("same.txt", c.earlier));
    EXPECT_FALSE(Shared("sub\\deep.txt", c.earlier));
    EXPECT_EQ(tree_->TreeBelow(kNew), tree_->TreeBelow(c.earlier));
  }
}

TEST_F(SnapshotLinksTest, WithoutAnEarlierFolderOrLinksEverythingIsCopied) {
  EXPECT_EQ(Line(Copy(kNew, "C:\\Backups\\Nowhere")), "copied 3, linked 0, skipped 0, failed 0/0");
  EXPECT_EQ(Line(Copy("C:\\Backups\\Other", "")), "copied 3, linked 0, skipped 0, failed 0/0");
}

// The day's folder was linked by the day's first run; the second run of the day replaces a
// changed file through a new file, so the earlier backup that shares the old one keeps it.
TEST_F(SnapshotLinksTest, AReplacedLinkedFileChangesOnlyInTheNewFolder) {
  ASSERT_EQ(Line(Copy(kNew, kEarlier)), "copied 0, linked 3, skipped 0, failed 0/0");
  tree_->AddFile(In(kSource, "same.txt"), "changed later that day");
  EXPECT_EQ(Line(Copy(kNew, kEarlier)), "copied 1, linked 0, skipped 2, failed 0/0");
  EXPECT_EQ(tree_->Content(In(kNew, "same.txt")), "changed later that day");
  EXPECT_EQ(tree_->Content(In(kEarlier, "same.txt")), "unchanged");
  EXPECT_EQ(tree_->LinkCount(In(kEarlier, "same.txt")), 1);
  EXPECT_EQ(tree_->TreeBelow(kEarlier), earlier_before_);
}

// A run that dies between links leaves the earlier backup as it was; the next run finishes
// the folder, linking what is still missing.
TEST_F(SnapshotLinksTest, ARunThatDiesWhileLinkingLeavesTheEarlierBackupWhole) {
  FaultyTree dying(*tree_);
  dying.die_after_links = 1;
  EXPECT_FALSE(Copy(kNew, kEarlier, &dying).Complete());
  EXPECT_TRUE(dying.Died());
  EXPECT_EQ(tree_->TreeBelow(kEarlier), earlier_before_);
  EXPECT_EQ(Line(Copy(kNew, kEarlier)), "copied 0, linked 2, skipped 1, failed 0/0");
  EXPECT_EQ(tree_->TreeBelow(kNew), earlier_before_);
}

}  // namespace
}  // namespace tess::test

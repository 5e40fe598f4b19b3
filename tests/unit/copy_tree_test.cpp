// The copy core's decisions on the host, over the file-system double, and its failures through
// a tree that injects faults: what is left out, what is put right, what a failed write leaves
// behind and which failure is told.
#include "copy/copy_tree.h"

#include "backup/destination_listing.h"
#include "base/temporary_name.h"
#include "copy/copy_paths.h"
#include "copy/listings_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/fakes.h"
#include "support/faulty_tree.h"

namespace tess::test {
namespace {

constexpr char kRoot[] = "C:\\Case";

std::string At(const std::string& relative) { return std::string(kRoot) + "\\" + relative; }

TEST(TemporaryNameTest, OnlyTheCopyOwnTemporaryNamesAreRecognised) {
  EXPECT_TRUE(IsTemporaryName("~tessaline-0123456789abcdef.tmp"));
  EXPECT_TRUE(IsTemporaryName("~TESSALINE-0123456789ABCDEF.TMP"));
  EXPECT_FALSE(IsTemporaryName("~tessaline-notes.tmp"));
  EXPECT_FALSE(IsTemporaryName("~tessaline-0123456789abcdeg.tmp"));
  EXPECT_FALSE(IsTemporaryName("~tessaline-0123456789abcdef.txt"));
  EXPECT_FALSE(IsTemporaryName("x~tessaline-0123456789abcdef.tmp"));
}

// The forms the Windows file tree gives (with the long-path prefix) never occur in the double.
TEST(CopyPathTest, PlacesAreFoundInEveryFormOfFullPath) {
  struct PathCase {
    const char* path;
    const char* parent;
    const char* copied_as;  // the name a folder is copied under
    bool root;
  };
  const PathCase cases[] = {
      {"C:\\", "C:\\", "C", true},
      {"C:\\a", "C:\\", "a", false},
      {"C:\\a\\b", "C:\\a", "b", false},
      {"\\\\?\\C:\\", "\\\\?\\C:\\", "C", true},
      {"\\\\?\\C:\\a\\b", "\\\\?\\C:\\a", "b", false},
      {"\\\\?\\C:\\a", "\\\\?\\C:\\", "a", false},
      {"\\\\?\\UNC\\srv\\share\\", "\\\\?\\UNC\\srv\\share\\", "share", true},
      {"\\\\?\\UNC\\srv\\share", "\\\\?\\UNC\\srv\\share", "share", true},
      {"\\\\?\\UNC\\srv\\share\\d", "\\\\?\\UNC\\srv\\share\\", "d", false},
      {"\\\\srv\\share\\d\\e", "\\\\srv\\share\\d", "e", false},
      {"\\\\srv\\share", "\\\\srv\\share", "share", true},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(copy_path::IsRoot(c.path), c.root) << c.path;
    EXPECT_EQ(copy_path::ParentPath(c.path), c.parent) << c.path;
    EXPECT_EQ(copy_path::FolderName(c.path), c.copied_as) << c.path;
  }
  EXPECT_EQ(copy_path::Join("\\\\?\\C:\\", "x"), "\\\\?\\C:\\x");
  EXPECT_EQ(copy_path::Join("\\\\?\\C:\\a", "x"), "\\\\?\\C:\\a\\x");
}

class CopyTreeTest : public ::testing::Test {
 protected:
  CopyTreeTest() { files_.AddFolder(kRoot); }

  CopyOutcome Copy(FileTree& tree, bool overwrite = true) {
    CopySettings settings;
    settings.overwrite = overwrite;
    settings.yield = [this] { ++yields_; };
    return CopyTree(tree, At("src"), At("dest"), settings);
  }
  CopyOutcome Copy() { return Copy(files_); }
  int Temporaries() {
    const std::vector<std::string> tree = files_.TreeBelow(kRoot);
    return static_cast<int>(std::count_if(tree.begin(), tree.end(), [](const std::string& entry) {
      return entry.find("~tessaline-") != std::string::npos;
    }));
  }
  static std::string Line(const CopyOutcome& out) {
    return "copied " + std::to_string(out.files_copied) + ", skipped " +
           std::to_string(out.files_skipped) + ", failed " + std::to_string(out.files_failed) +
           "/" + std::to_string(out.folders_failed) + ", first [" + out.first_failure_path +
           "] " + out.first_failure_reason;
  }

  FakeFileSystem files_;
  int yields_ = 0;
};

TEST_F(CopyTreeTest, LeftoversAreRemovedFromCopiesAndNeverTakenFromSources) {
  files_.AddFile(At("src\\a.txt"), "alpha");
  files_.AddFile(At("src\\~tessaline-00000000deadbeef.tmp"), "a leftover in a source");
  files_.AddFile(At("dest\\~tessaline-0123456789abcdef.tmp"), "a leftover of a run");
  files_.AddFile(At("dest\\~tessaline-notes.tmp"), "the user's own");
  EXPECT_EQ(Line(Copy()), "copied 1, skipped 0, failed 0/0, first [] ");
  EXPECT_EQ(files_.TreeBelow(At("dest")),
            (std::vector<std::string>{"a.txt=alpha", "~tessaline-notes.tmp=the user's own"}));
}

TEST_F(CopyTreeTest, LinkedFoldersAreLeftOutAndTheirNamesStayFree) {
  files_.AddFile(At("src\\a.txt"), "alpha");
  files_.AddFile(At("src\\loop\\far.txt"), "far");
  files_.links.insert(FakeFileSystem::Key(At("src\\loop")));
  EXPECT_EQ(Line(Copy()), "copied 1, skipped 0, failed 0/0, first [] ");
  EXPECT_FALSE(files_.IsDir(At("dest\\loop")));
}

TEST_F(CopyTreeTest, AReadOnlyEarlierCopyIsReplacedAndASkippedCopyHasItsBitsPutRight) {
  files_.AddFile(At("src\\new.txt"), "new");
  files_.read_only.insert(FakeFileSystem::Key(At("src\\new.txt")));
  files_.AddFile(At("dest\\new.txt"), "old copy");
  files_.read_only.insert(FakeFileSystem::Key(At("dest\\new.txt")));
  files_.AddFile(At("src\\same.txt"), "same");
  EXPECT_EQ(Line(Copy()), "copied 2, skipped 0, failed 0/0, first [] ");
  EXPECT_EQ(files_.Content(At("dest\\new.txt")), "new");
  EXPECT_TRUE(files_.Attributes(At("dest\\new.txt")) & kAttrReadOnly);

  // The user marks the copy read-only; the next run puts the source's bits back, unwritten.
  files_.read_only.insert(FakeFileSystem::Key(At("dest\\same.txt")));
  EXPECT_EQ(Line(Copy()), "copied 0, skipped 2, failed 0/0, first [] ");
  EXPECT_FALSE(files_.Attributes(At("dest\\same.txt")) & kAttrReadOnly);
}

TEST_F(CopyTreeTest, ALongFileLetsEventsRunWhileItIsWritten) {
  files_.AddFile(At("src\\big.bin"), std::string(9 << 20, 'b'));
  EXPECT_TRUE(Copy().Complete());
  EXPECT_GE(yields_, 2);  // at every 4 MB
}

TEST_F(CopyTreeTest, FailuresAreToldInWalkOrderAndEveryOneIsCounted) {
  // A folder's files come before its subfolders.
  files_.AddFile(At("src\\sub\\b.txt"), "beta");
  files_.AddFile(At("src\\z.txt"), "zeta");
  files_.AddFile(At("src\\sub2\\c.txt"), "gamma");
  files_.locked.insert(FakeFileSystem::Key(At("src\\sub\\b.txt")));
  files_.locked.insert(FakeFileSystem::Key(At("src\\z.txt")));
  files_.refused_listings[FakeFileSystem::Key(At("src\\sub2"))] = 70;
  EXPECT_EQ(Line(Copy()), "copied 0, skipped 0, failed 2/1, first [" + At("src\\z.txt") + "] " +
                              FakeFileSystem::kSharingViolation);
}

TEST_F(CopyTreeTest, WriterThreadsGiveTheSameCopyTheSameCountsAndTheSameFirstFailure) {
  for (int i = 0; i < 60; ++i) {
    files_.AddFile(At("src\\d" + std::to_string(i % 3) + "\\" + std::to_string(i) + ".txt"),
                   std::string(static_cast<size_t>(i * 97), static_cast<char>('a' + i % 26)));
  }
  files_.AddFile(At("src\\big.bin"), std::string(9 << 20, 'b'));
  files_.locked.insert(FakeFileSystem::Key(At("src\\d1\\1.txt")));
  files_.locked.insert(FakeFileSystem::Key(At("src\\d2\\59.txt")));
  const std::string expected = "copied 59, skipped 0, failed 2/0, first [" + At("src\\d1\\1.txt") +
                               "] " + FakeFileSystem::kSharingViolation;
  for (int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    files_.writer_threads = threads;
    CopySettings settings;
    settings.yield = [this] { ++yields_; };
    const std::string dest = At("dest" + std::to_string(threads));
    yields_ = 0;
    EXPECT_EQ(Line(CopyTree(files_, At("src"), dest, settings)), expected);
    EXPECT_GE(yields_, 2);  // during the big file, on this thread
    const std::vector<std::string> copied = files_.TreeBelow(dest);
    EXPECT_EQ(copied.size(), 59u + 3u);  // the files that were not locked, and three folders
    EXPECT_EQ(Line(CopyTree(files_, At("src"), dest, settings)),
              "copied 0, skipped 59, failed 2/0, first [" + At("src\\d1\\1.txt") + "] " +
                  FakeFileSystem::kSharingViolation);
  }
  EXPECT_EQ(Temporaries(), 0);
}

// A write that meets a full disk while another copy runs beside it is tried again, alone, at
// the end, also when the other copy has ended by the time the failure comes back (the copy that
// filled the disk has often failed and gone, its room given back).
TEST_F(CopyTreeTest, AWriteThatMetAFullDiskBesideAnotherCopyIsTriedAgainAtTheEnd) {
  files_.AddFile(At("src\\a.txt"), "alpha");
  files_.AddFile(At("src\\b.txt"), "bravo");
  files_.writer_threads = 2;
  FaultyTree tree(files_);
  tree.fail_write_number = 2;
  tree.write_failure = files_.Refusal(CopyRefusal::kDiskFull);
  std::atomic<int> arrived(0);
  tree.before_write = [&](std::uint64_t) {
    if (arrived.fetch_add(1) != 0) return;
    // The first to arrive writes second, once the other copy has begun and ended.
    for (int i = 0; i < 5000 && (arrived.load() < 2 || tree.RunningJobs() > 1); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  EXPECT_EQ(Line(Copy(tree)), "copied 2, skipped 0, failed 0/0, first [] ");
  EXPECT_EQ(tree.Writes(), 3u);
  EXPECT_EQ(files_.Content(At("dest\\a.txt")) + files_.Content(At("dest\\b.txt")), "alphabravo");
}

// The destination's listings are read up to three folders ahead of the walk, in the order it
// enters them (a folder's subfolders before its next sibling); a folder the walk passes by (its
// copy could not be made) hands its listing to no other, and none is read twice.
TEST_F(CopyTreeTest, ListingsAreReadAFewFoldersAheadInTheOrderTheWalkEntersThem) {
  for (const std::string name : {"a", "b", "c", "d", "e", "a\\x"}) {
    files_.AddFile(At("dest\\" + name + "\\" + name.back() + ".txt"));
  }
  FaultyTree tree(files_);
  std::string listed;
  tree.before_list = [&](const std::string& folder) { listed += folder.substr(At("dest").size()); };
  ListingsAhead ahead(tree, {});
  const auto folder = [](const std::string& name) {
    return ListingsAhead::Folder{At("dest\\" + name), ""};
  };
  const auto names = [&](const std::string& name) {
    std::string text;
    for (const TreeEntry& entry : ahead.Take(folder(name)).copies) text += entry.name + " ";
    return text;
  };
  ahead.Expect({folder("a"), folder("b"), folder("c"), folder("d"), folder("e")});
  EXPECT_EQ(listed, "\\a\\b\\c");
  EXPECT_EQ(names("a"), "a.txt x ");
  ahead.Expect({folder("a\\x")});
  EXPECT_EQ(names("a\\x"), "x.txt ");
  EXPECT_EQ(names("c"), "c.txt ");
  EXPECT_EQ(names("e"), "e.txt ");
  EXPECT_EQ(listed, "\\a\\b\\c\\d\\a\\x\\e");
  EXPECT_EQ(ahead.Take(folder("q")).copies_error.kind, FileErrorKind::kNotFound);
}

// A copy onto a volume that keeps write times in 2-second steps is current when its write time
// is within 2 seconds of the source's; onto any other volume only when it is the same.
TEST_F(CopyTreeTest, OnAVolumeWithCoarseTimesAnUnchangedFileIsNotRewritten) {
  constexpr std::int64_t kSecond = 10'000'000;
  files_.AddFile(At("src\\a.txt"), "alpha");
  files_.SetWriteTime(At("src\\a.txt"), 1001 * kSecond + 7'654'321);
  files_.coarse_volume = At("dest");
  EXPECT_EQ(Line(Copy()), "copied 1, skipped 0, failed 0/0, first [] ");
  EXPECT_EQ(Line(Copy()), "copied 0, skipped 1, failed 0/0, first [] ");
  // Written anew, three seconds later: copied again.
  files_.SetWriteTime(At("src\\a.txt"), 1004 * kSecond + 7'654'321);
  EXPECT_EQ(Line(Copy()), "copied 1, skipped 0, failed 0/0, first [] ");

  // The same cut copy on a volume with fine times is not the source's.
  files_.coarse_volume.clear();
  EXPECT_EQ(Line(Copy()), "copied 1, skipped 0, failed 0/0, first [] ");
  EXPECT_EQ(Line(Copy()), "copied 0, skipped 1, failed 0/0, first [] ");
}

// ---------------- what the walk leaves out ----------------

struct LeftOutCase {
  const char* name;
  const char* source;
  const char* destination;
  const char* backups_folder;         // "" for none
  std::vector<std::string> files;     // below the source, each holding its own path
  std::vector<std::string> expected;  // the files the destination holds afterwards, sorted
};

void PrintTo(const LeftOutCase& c, std::ostream* os) { *os << c.name; }

const LeftOutCase kLeftOut[] = {
    // The backup of a profile on its own Desktop: the earlier runs' folders of every entry of
    // the run stay out, stamped or not, numbered or not, in any case; the user's own files and
    // folders on the Desktop, and backups deeper down, stay in.
    {"EarlierBackupsInsideTheSource",
     "C:\\Ann",
     "C:\\Ann\\Desk\\AnnDate Aug 31 2021 Time 04 05 07 PM",
     "C:\\Ann\\Desk",
     {"a.txt", "Desk\\own.txt", "Desk\\AnnDate Aug 31 2021 Time 04 05 06 PM\\a.txt",
      "Desk\\annAug 30 2021\\a.txt", "Desk\\Ann\\a.txt", "Desk\\Ann (2)Aug 30 2021\\a.txt",
      "Desk\\PhotosDate Aug 30 2021 Time 11 00 00 AM\\p.jpg", "Desk\\Ann notes\\n.txt",
      "Desk\\Ann (0)\\z.txt", "Desk\\AnnAug 32 2021\\z.txt", "Desk\\Old\\AnnAug 30 2021\\o.txt"},
     {"Desk\\Ann (0)\\z.txt", "Desk\\Ann notes\\n.txt", "Desk\\AnnAug 32 2021\\z.txt",
      "Desk\\Old\\AnnAug 30 2021\\o.txt", "Desk\\own.txt", "a.txt"}},
    // A copy made for no run takes in what the source holds, but for the copy itself.
    {"WithoutARunOnlyTheCopyItself",
     "C:\\Ann",
     "C:\\Ann\\Desk\\Ann",
     "",
     {"a.txt", "Desk\\AnnAug 30 2021\\a.txt"},
     {"Desk\\AnnAug 30 2021\\a.txt", "a.txt"}},
    // At the root of a drive, the system's folders stay out, in either case; deeper down, or
    // in a folder that is no drive's root, the same names are the user's own.
    {"TheSystemsFoldersAtADriveRoot",
     "E:\\",
     "D:\\Out",
     "",
     {"a.txt", "System Volume Information\\tracking.log", "$RECYCLE.BIN\\S-1-5\\gone.txt",
      "$Recycle.Bin\\S-1-6\\gone.txt", "system volume information\\x.txt",
      "sub\\System Volume Information\\w.txt", "sub\\$RECYCLE.BIN\\r.txt"},
     {"a.txt", "sub\\$RECYCLE.BIN\\r.txt", "sub\\System Volume Information\\w.txt"}},
    {"TheSameNamesInAnOrdinaryFolder",
     "E:\\Data",
     "D:\\Out",
     "",
     {"System Volume Information\\w.txt", "$RECYCLE.BIN\\r.txt"},
     {"$RECYCLE.BIN\\r.txt", "System Volume Information\\w.txt"}},
};

class LeftOutTest : public ::testing::TestWithParam<LeftOutCase> {};

TEST_P(LeftOutTest, TheWalkLeavesOutOnlyWhatIsNoUsersData) {
  const LeftOutCase& c = GetParam();
  FakeFileSystem files;
  files.AddFolder("D:\\");
  files.AddFolder(c.source);
  for (const std::string& file : c.files) {
    files.AddFile(std::string(c.source) + (std::string(c.source).back() == '\\' ? "" : "\\") + file,
                  file);
  }
  CopySettings settings;
  StampTexts texts;
  texts.months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  texts.am = "AM";
  texts.pm = "PM";
  settings.copies_folder = c.backups_folder;
  settings.leave_out = LeftOutOfCopies({"Photos", "Ann"}, texts);
  const CopyOutcome out = CopyTree(files, c.source, c.destination, settings);
  EXPECT_TRUE(out.Complete()) << out.first_failure_path << ": " << out.first_failure_reason;
  // The files, each with its own path as content: the folders above them are implied.
  std::vector<std::string> copied;
  for (const std::string& entry : files.TreeBelow(c.destination)) {
    const auto equals = entry.find('=');
    if (equals == std::string::npos) continue;
    EXPECT_EQ(entry.substr(0, equals), entry.substr(equals + 1));
    copied.push_back(entry.substr(0, equals));
  }
  EXPECT_EQ(copied, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeftOutTest, ::testing::ValuesIn(kLeftOut),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------- faults injected under the copy ----------------

struct FaultCase {
  const char* name;
  void (*inject)(FaultyTree& tree, FakeFileSystem& files);
  const char* outcome;  // "@" stands for the case's root
  bool died = false;
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

const FaultCase kFaults[] = {
    {"TheSecondWriteFails",
     [](FaultyTree& tree, FakeFileSystem&) { tree.fail_write_number = 2; },
     "copied 1, skipped 0, failed 1/0, first [@\\dest\\b.txt] The request could not be "
     "performed."},
    {"TheVolumeFillsUpDuringAWrite",
     [](FaultyTree& tree, FakeFileSystem&) {
       tree.hide_free_space = true;
       tree.fill_after_bytes = 6;
     },
     "copied 1, skipped 0, failed 1/0, first [@\\dest\\b.txt] There is not enough space on the "
     "disk."},
    {"AFileLargerThanTheRoomFailsBeforeItIsWritten",
     [](FaultyTree& tree, FakeFileSystem& files) {
       files.free_bytes = 6;
       tree.fail_write_number = 2;  // would show if the second file were written at all
     },
     "copied 1, skipped 0, failed 1/0, first [@\\dest\\b.txt] There is not enough space on the "
     "disk."},
    {"TheProcessDiesInTheMiddleOfAFile",
     [](FaultyTree& tree, FakeFileSystem&) { tree.interrupt_after_bytes = 8; },
     "copied 1, skipped 0, failed 1/0, first [@\\dest\\b.txt] The process has died.", true},
};

class CopyFaultTest : public CopyTreeTest, public ::testing::WithParamInterface<FaultCase> {
 protected:
  // Copies a.txt and b.txt through a tree with the case's fault; the outcome must be the
  // case's, and the second file is the one that fails.
  void CopyWithTheFault() {
    files_.AddFile(At("src\\a.txt"), "alpha");
    files_.AddFile(At("src\\b.txt"), "bravo-bravo");
    FaultyTree faulty(files_);
    GetParam().inject(faulty, files_);
    std::string expected = GetParam().outcome;
    expected.replace(expected.find('@'), 1, kRoot);
    EXPECT_EQ(Line(Copy(faulty)), expected);
    EXPECT_EQ(faulty.Died(), GetParam().died);
    EXPECT_EQ(files_.Content(At("dest\\a.txt")), "alpha");
  }
  // The next run, with room enough, puts right what the fault left.
  void ExpectTheNextRunCompletes() {
    files_.free_bytes = std::uint64_t{1} << 40;
    EXPECT_EQ(Line(Copy()), "copied 1, skipped 1, failed 0/0, first [] ");
    EXPECT_EQ(files_.Content(At("dest\\b.txt")), "bravo-bravo");
    EXPECT_EQ(Temporaries(), 0);
  }
};

// Each source file is replacing an earlier copy; whatever fails, the earlier copies stay whole,
// no temporary file is left (but for a process that died), and the next run completes.
TEST_P(CopyFaultTest, AFailedWriteKeepsTheEarlierCopyAndTheNextRunCompletes) {
  files_.AddFile(At("dest\\a.txt"), "old a");
  files_.AddFile(At("dest\\b.txt"), "old b");
  CopyWithTheFault();
  EXPECT_EQ(files_.Content(At("dest\\b.txt")), "old b");
  EXPECT_EQ(Temporaries(), GetParam().died ? 1 : 0);
  ExpectTheNextRunCompletes();
}

// The same faults on a first copy, where no earlier copy can be lost: a failed file leaves
// nothing, a file cut short by a death keeps its own name but never the source's stamp, and
// the next run puts both right. No temporary file is made at all.
TEST_P(CopyFaultTest, ANewFileThatFailsLeavesNothingOrAStaleFileThatTheNextRunReplaces) {
  CopyWithTheFault();
  if (GetParam().died) {
    EXPECT_EQ(files_.Content(At("dest\\b.txt")), "bravo-br");
  } else {
    EXPECT_FALSE(files_.IsFile(At("dest\\b.txt")));
  }
  EXPECT_EQ(Temporaries(), 0);
  ExpectTheNextRunCompletes();
}

// Where the bytes go while a file is written: a replacement fills a temporary file while the
// earlier copy stays readable under its name; a new file is written under its own name. A
// copy that may not replace files never shows a file under its name before it is whole.
TEST_F(CopyTreeTest, OnlyAReplacementOrACopyThatMayNotReplaceGoesThroughATemporaryFile) {
  files_.AddFile(At("src\\new.txt"), "new file");
  files_.AddFile(At("src\\old.txt"), "new version");
  files_.AddFile(At("dest\\old.txt"), "old version");
  FaultyTree faulty(files_);
  std::vector<std::string> seen;  // one writer thread: the tree has two files
  faulty.before_write = [&](std::uint64_t) {
    seen.push_back("new.txt:" + (files_.IsFile(At("dest\\new.txt"))
                                     ? files_.Content(At("dest\\new.txt"))
                                     : std::string("absent")) +
                   " old.txt:" + files_.Content(At("dest\\old.txt")) +
                   " temporaries:" + std::to_string(Temporaries()));
  };
  CopySettings settings;
  settings.workers = 1;
  EXPECT_EQ(Line(CopyTree(faulty, At("src"), At("dest"), settings)),
            "copied 2, skipped 0, failed 0/0, first [] ");
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(seen, (std::vector<std::string>{"new.txt: old.txt:old version temporaries:0",
                                             "new.txt:new file old.txt:old version temporaries:1"}));

  files_.AddFile(At("src\\third.txt"), "third");
  seen.clear();
  settings.overwrite = false;
  EXPECT_EQ(Line(CopyTree(faulty, At("src"), At("dest"), settings)),
            "copied 1, skipped 2, failed 0/0, first [] ");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].find("temporaries:1"), std::string::npos) << seen[0];
  EXPECT_EQ(files_.Content(At("dest\\third.txt")), "third");
}

INSTANTIATE_TEST_SUITE_P(Faults, CopyFaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tess::test

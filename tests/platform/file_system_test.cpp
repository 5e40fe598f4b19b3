// The Win32 file system and the copy core over it against real trees under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/platform_error.h"
#include "copy/copy_tree.h"
#include "ports/file_queries.h"
#include "support/faulty_tree.h"
#include "support/plain_copy.h"
#include "win32/long_path.h"
#include "win32/text.h"
#include "win32/win_event_pump.h"
#include "win32/win_file_system.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

using win32::WinFileSystem;

constexpr char kTempPattern[] = "~tessaline-*.tmp";

// Greek and CJK names, outside code page 1252.
const std::string kGreek = "\xCE\xB1\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xBF";  // αρχείο
const std::string kCjk = "\xE6\x96\x87\xE4\xBB\xB6";                            // 文件

class FileSystemTest : public ::testing::Test {
 protected:
  long ErrorNumberOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const PlatformError& e) {
      EXPECT_FALSE(std::string(e.what()).empty());
      return e.Number();
    }
    return 0;
  }

  TempTree dir_;
  WinFileSystem files_;
};

// ---------------- paths ----------------

TEST(LongPathTest, NormalisesOrdinaryPathsIntoTheLongForm) {
  EXPECT_EQ(win32::LongPath("C:\\a\\\\b\\..\\c"), L"\\\\?\\C:\\a\\c");
  EXPECT_EQ(win32::LongPath("C:/a/b/"), L"\\\\?\\C:\\a\\b");
  EXPECT_EQ(win32::LongPath("C:\\a\\b\\", true), L"\\\\?\\C:\\a\\b\\");
  EXPECT_EQ(win32::LongPath("C:\\"), L"\\\\?\\C:\\");  // a root keeps its backslash
  EXPECT_EQ(win32::LongPath("\\\\server\\share\\x\\"), L"\\\\?\\UNC\\server\\share\\x");
  EXPECT_EQ(win32::LongPath("\\\\server\\share"), L"\\\\?\\UNC\\server\\share\\");
  EXPECT_THROW(win32::LongPath(""), PlatformError);
}

TEST(LongPathTest, SplitsAndShowsLongPaths) {
  EXPECT_EQ(win32::DisplayPath(L"\\\\?\\UNC\\server\\share\\x"), "\\\\server\\share\\x");
  EXPECT_EQ(win32::DisplayPath(L"\\\\?\\C:\\x"), "C:\\x");
  EXPECT_EQ(win32::ParentPath(L"\\\\?\\C:\\a\\b"), L"\\\\?\\C:\\a");
  EXPECT_EQ(win32::ParentPath(L"\\\\?\\C:\\a"), L"\\\\?\\C:\\");
  EXPECT_EQ(win32::ParentPath(L"\\\\?\\UNC\\s\\sh\\a"), L"\\\\?\\UNC\\s\\sh\\");
  EXPECT_TRUE(win32::IsRootPath(L"\\\\?\\UNC\\s\\sh\\"));
  EXPECT_EQ(win32::LeafName(L"\\\\?\\C:\\a\\b"), L"b");
  EXPECT_EQ(win32::LeafName(L"\\\\?\\C:\\"), L"");
  EXPECT_EQ(win32::JoinPath(L"\\\\?\\C:\\", L"x"), L"\\\\?\\C:\\x");
}

TEST(ReparseRuleTest, OnlyFoldersThatNameAnotherPlaceAreLeftOut) {
  constexpr DWORD kReparse = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  struct TagCase {
    const char* what;
    DWORD attributes;
    DWORD tag;
    bool entered;
  };
  const TagCase cases[] = {
      {"plain folder", FILE_ATTRIBUTE_DIRECTORY, 0, true},
      {"junction or mount point", kReparse, IO_REPARSE_TAG_MOUNT_POINT, false},
      {"symbolic link", kReparse, IO_REPARSE_TAG_SYMLINK, false},
      {"Linux-subsystem link", kReparse, 0xA000001D, false},
      {"container link", kReparse, 0xA0000027, false},
      {"global reparse", kReparse, IO_REPARSE_TAG_GLOBAL_REPARSE, false},
      {"another vendor's link", kReparse, 0x20000123, false},
      {"tag not known", kReparse, 0, false},
      {"cloud placeholder", kReparse, IO_REPARSE_TAG_CLOUD, true},
      {"cloud placeholder, first variant", kReparse, IO_REPARSE_TAG_CLOUD_1, true},
      {"cloud placeholder, last variant", kReparse, IO_REPARSE_TAG_CLOUD_F, true},
      {"OneDrive", kReparse, IO_REPARSE_TAG_ONEDRIVE, true},
      {"projected file system", kReparse, IO_REPARSE_TAG_PROJFS, true},
      {"deduplicated", kReparse, IO_REPARSE_TAG_DEDUP, true},
      {"storage sync", kReparse, IO_REPARSE_TAG_STORAGE_SYNC, true},
      {"hierarchical storage", kReparse, IO_REPARSE_TAG_HSM, true},
      {"another vendor's storage", kReparse, 0x00000123, true},
  };
  for (const TagCase& c : cases) {
    EXPECT_EQ(win32::EntersFolder(c.attributes, c.tag), c.entered) << c.what;
  }
}

// ---------------- queries ----------------

TEST_F(FileSystemTest, AttributesAnswerForFilesAndFoldersWithOrWithoutTrailingBackslash) {
  WriteBytes(dir_ / "f.txt", "x");
  MakeFolders(dir_ / "sub");
  EXPECT_TRUE(files_.Attributes(dir_ / "sub") & kAttrDirectory);
  EXPECT_EQ(files_.Attributes(dir_ / "sub\\"), files_.Attributes(dir_ / "sub"));
  EXPECT_FALSE(files_.Attributes(dir_ / "f.txt") & kAttrDirectory);
  SetAttributesOf(dir_ / "f.txt", FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(files_.Attributes(dir_ / "f.txt") & kAttrReadOnly);
  EXPECT_EQ(ErrorNumberOf([&] { files_.Attributes(dir_ / "missing"); }), kErrFileNotFound);
  EXPECT_NE(ErrorNumberOf([&] { files_.Attributes(dir_ / "f.txt\\"); }), 0);
  EXPECT_TRUE(files_.Attributes("C:\\") & kAttrDirectory);
}

TEST_F(FileSystemTest, LastWriteTimeReadsFilesAndFoldersAndThrowsForMissingPaths) {
  WriteBytes(dir_ / "f.txt", "x");
  SetWriteTimeOf(dir_ / "f.txt", 132000000000000000ull);
  EXPECT_EQ(files_.LastWriteTime(dir_ / "f.txt"), 132000000000000000ll);
  EXPECT_NE(files_.LastWriteTime(dir_.Path()), 0);
  EXPECT_NE(files_.LastWriteTime(dir_.Path() + "\\"), 0);
  EXPECT_THROW(files_.LastWriteTime(dir_ / "missing"), PlatformError);
  EXPECT_THROW(files_.LastWriteTime(dir_ / "f.txt\\"), PlatformError);
}

TEST_F(FileSystemTest, ListingFindsFilesFoldersPatternsAndFolderContents) {
  WriteBytes(dir_ / "docs\\a.txt", "x");
  MakeFolders(dir_ / "empty");
  EXPECT_TRUE(files_.ListingFindsAny(dir_ / "docs\\a.txt"));
  EXPECT_TRUE(files_.ListingFindsAny(dir_ / "docs"));
  EXPECT_TRUE(files_.ListingFindsAny(dir_ / "docs\\"));
  EXPECT_TRUE(files_.ListingFindsAny(dir_ / "empty\\"));  // "." is always listed
  EXPECT_TRUE(files_.ListingFindsAny(dir_ / "docs\\*.txt"));
  EXPECT_TRUE(files_.ListingFindsAny(dir_ / "do?s"));
  EXPECT_FALSE(files_.ListingFindsAny(dir_ / "docs\\*.doc"));
  EXPECT_FALSE(files_.ListingFindsAny(dir_ / "docs\\a.txt\\"));
  EXPECT_FALSE(files_.ListingFindsAny(dir_ / "missing"));
  EXPECT_FALSE(files_.ListingFindsAny(dir_ / "missing\\"));
  EXPECT_FALSE(files_.ListingFindsAny(dir_ / "missing\\deeper\\x"));
  EXPECT_FALSE(files_.ListingFindsAny(""));
  EXPECT_TRUE(files_.ListingFindsAny("C:\\"));
}

TEST_F(FileSystemTest, ListingThrowsForADriveThatDoesNotExist) {
  const std::string drive = FreeDriveLetter();
  ASSERT_FALSE(drive.empty());
  EXPECT_EQ(ErrorNumberOf([&] { files_.ListingFindsAny(drive + "\\Backups"); }),
            kErrDeviceUnavailable);
}

TEST_F(FileSystemTest, OrdinaryFileExistsIgnoresFoldersAndHiddenFiles) {
  WriteBytes(dir_ / "x\\o.cjs", "skin");
  WriteBytes(dir_ / "h\\o.cjs", "skin");
  SetAttributesOf(dir_ / "h\\o.cjs", FILE_ATTRIBUTE_HIDDEN);
  MakeFolders(dir_ / "d\\o.cjs");
  EXPECT_TRUE(files_.OrdinaryFileExists(dir_ / "x\\o.cjs"));
  EXPECT_TRUE(files_.OrdinaryFileExists(dir_ / "x\\*.cjs"));
  EXPECT_FALSE(files_.OrdinaryFileExists(dir_ / "h\\o.cjs"));
  EXPECT_FALSE(files_.OrdinaryFileExists(dir_ / "d\\o.cjs"));
  EXPECT_FALSE(files_.OrdinaryFileExists(dir_ / "missing\\o.cjs"));
}

// ---------------- single operations ----------------

TEST_F(FileSystemTest, CreateFolderMakesExactlyOneFolder) {
  CreateFolder(files_, dir_ / "one");
  EXPECT_TRUE(IsFolderOnDisk(dir_ / "one"));
  EXPECT_EQ(ErrorNumberOf([&] { CreateFolder(files_, dir_ / "one"); }), kErrFileExists);
  EXPECT_EQ(ErrorNumberOf([&] { CreateFolder(files_, dir_ / "no\\parent"); }), kErrPathNotFound);
  EXPECT_FALSE(Exists(dir_ / "no"));
}

TEST_F(FileSystemTest, PlainDeleteKeepsReadOnlyFilesAndForcedDeleteRemovesThem) {
  WriteBytes(dir_ / "plain.txt", "x");
  WriteBytes(dir_ / "ro.txt", "x");
  SetAttributesOf(dir_ / "ro.txt", FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(files_.Delete(dir_ / "plain.txt").Failed());
  EXPECT_FALSE(Exists(dir_ / "plain.txt"));
  EXPECT_EQ(files_.Delete(dir_ / "ro.txt").kind, FileErrorKind::kAccessDenied);
  EXPECT_TRUE(Exists(dir_ / "ro.txt"));
  win32::WinEventPump pump;
  DeleteFileWithFallback(files_, pump, dir_ / "ro.txt");
  EXPECT_FALSE(Exists(dir_ / "ro.txt"));
  EXPECT_EQ(files_.Delete(dir_ / "ro.txt").kind, FileErrorKind::kNotFound);
  DeleteFileWithFallback(files_, pump, dir_ / "ro.txt");  // nothing there: nothing happens
}

TEST_F(FileSystemTest, AppendLineWritesAnsiTextWithCrLfAndReadsItBack) {
  ASSERT_EQ(GetACP(), 1252u) << "the byte checks assume Western European ANSI";
  const std::string log = dir_ / "Tessaline.txt";
  files_.AppendLine(log, "caf\xC3\xA9 saved");  // café
  files_.AppendLine(log, kCjk);                 // outside the code page: one "?" per character
  EXPECT_EQ(ReadBytes(log), "caf\xE9 saved\r\n??\r\n");
  EXPECT_EQ(files_.ReadAnsiText(log), "caf\xC3\xA9 saved\r\n??\r\n");
  EXPECT_THROW(files_.AppendLine(dir_ / "missing\\log.txt", "x"), PlatformError);
  EXPECT_THROW(files_.ReadAnsiText(dir_ / "missing.txt"), PlatformError);
}

// Read past the cache on threads that end after one file each, as the reading of /verify and of
// a run's read-back does: every read gives the file's bytes (a size that is no whole number of
// sectors), and no thread's end trips over what an earlier one left.
TEST_F(FileSystemTest, ReadsPastTheCacheOnThreadsThatEndGiveTheFilesBytes) {
  std::string content((2u << 20) + 12345, '\0');
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 7 + i / 4096);
  WriteBytes(dir_ / "big.bin", content);
  for (int round = 0; round < 20; ++round) {
    std::atomic<int> whole{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&] {
        std::unique_ptr<OpenFile> file;
        if (files_.OpenPastCache(dir_ / "big.bin", &file).Failed()) return;
        std::string read;
        std::vector<char> piece(70000);
        std::size_t got = 0;
        while (!file->Read(piece.data(), piece.size(), &got).Failed() && got > 0) {
          read.append(piece.data(), got);
        }
        if (read == content) ++whole;
      });
    }
    for (std::thread& thread : threads) thread.join();
    ASSERT_EQ(whole.load(), 4) << "round " << round;
  }
}

// ---------------- copying: placement ----------------

class CopyFolderTest : public FileSystemTest {
 protected:
  CopyOutcome Copy(const std::string& source, const std::string& destination,
                   bool overwrite = true) {
    return PlainCopy(files_, source, destination, overwrite, [this] { ++yields_; });
  }
  void MakeSource() {
    WriteBytes(dir_ / "src\\a.txt", "alpha");
    WriteBytes(dir_ / "src\\sub\\b.txt", "beta");
    MakeFolders(dir_ / "src\\empty");
  }
  int yields_ = 0;
};

TEST_F(CopyFolderTest, TrailingBackslashPutsTheSourceInsideUnderItsOwnName) {
  MakeSource();
  MakeFolders(dir_ / "dest");
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "dest\\");
  EXPECT_TRUE(out.Complete());
  EXPECT_EQ(out.files_copied, 2u);
  EXPECT_EQ(ReadBytes(dir_ / "dest\\src\\a.txt"), "alpha");
  EXPECT_EQ(ReadBytes(dir_ / "dest\\src\\sub\\b.txt"), "beta");
  EXPECT_TRUE(IsFolderOnDisk(dir_ / "dest\\src\\empty"));
}

TEST_F(CopyFolderTest, TrailingBackslashNeedsAnExistingFolder) {
  MakeSource();
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "nowhere\\");
  EXPECT_EQ(out.folders_failed, 1u);
  EXPECT_EQ(out.first_failure_path, dir_ / "nowhere");
  EXPECT_FALSE(out.first_failure_reason.empty());
  EXPECT_FALSE(Exists(dir_ / "nowhere"));
}

TEST_F(CopyFolderTest, WithoutTrailingBackslashTheContentsMergeIntoANewOrOldFolder) {
  MakeSource();
  EXPECT_TRUE(Copy(dir_ / "src", dir_ / "new\\deeper\\dest").Complete());
  EXPECT_EQ(ReadBytes(dir_ / "new\\deeper\\dest\\a.txt"), "alpha");
  EXPECT_EQ(ReadBytes(dir_ / "new\\deeper\\dest\\sub\\b.txt"), "beta");

  WriteBytes(dir_ / "old\\a.txt", "stale");
  WriteBytes(dir_ / "old\\keep.txt", "mine");
  WriteBytes(dir_ / "old\\sub\\keep.txt", "mine too");
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "old");
  EXPECT_TRUE(out.Complete());
  EXPECT_EQ(out.files_copied, 2u);
  EXPECT_EQ(ReadBytes(dir_ / "old\\a.txt"), "alpha");    // same name replaced
  EXPECT_EQ(ReadBytes(dir_ / "old\\keep.txt"), "mine");  // nothing deleted
  EXPECT_EQ(ReadBytes(dir_ / "old\\sub\\keep.txt"), "mine too");
  EXPECT_EQ(CountMatching(dir_.Path(), kTempPattern), 0);
}

TEST_F(CopyFolderTest, AFileSourceLandsInTheDestinationFolderUnderItsOwnName) {
  WriteBytes(dir_ / "src\\report.doc", "words");
  EXPECT_TRUE(Copy(dir_ / "src\\report.doc", dir_ / "made\\here").Complete());
  EXPECT_EQ(ReadBytes(dir_ / "made\\here\\report.doc"), "words");
  MakeFolders(dir_ / "dest");
  const CopyOutcome out = Copy(dir_ / "src\\report.doc", dir_ / "dest\\");
  EXPECT_EQ(out.files_copied, 1u);
  EXPECT_EQ(ReadBytes(dir_ / "dest\\report.doc"), "words");
}

TEST_F(CopyFolderTest, AMissingSourceOrAFileInTheWayIsCountedNotThrown) {
  CopyOutcome out = Copy(dir_ / "gone", dir_ / "dest");
  EXPECT_EQ(out.folders_failed, 1u);
  EXPECT_EQ(out.first_failure_path, dir_ / "gone");
  EXPECT_FALSE(Exists(dir_ / "dest"));

  MakeSource();
  WriteBytes(dir_ / "blocker", "a file where the copy should go");
  out = Copy(dir_ / "src", dir_ / "blocker");
  EXPECT_EQ(out.folders_failed, 1u);
  EXPECT_EQ(ReadBytes(dir_ / "blocker"), "a file where the copy should go");

  WriteBytes(dir_ / "dest2\\sub", "a file named like the subfolder");
  out = Copy(dir_ / "src", dir_ / "dest2");
  EXPECT_EQ(out.folders_failed, 1u);
  EXPECT_EQ(out.files_copied, 1u);  // a.txt still copied
  EXPECT_EQ(ReadBytes(dir_ / "dest2\\a.txt"), "alpha");

  out = Copy("", dir_ / "dest3");
  EXPECT_FALSE(out.Complete());
}

TEST_F(CopyFolderTest, ADestinationInsideTheSourceIsNotCopiedIntoItself) {
  MakeSource();
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "src\\backup");
  EXPECT_TRUE(out.Complete());
  EXPECT_EQ(out.files_copied, 2u);
  EXPECT_EQ(ReadBytes(dir_ / "src\\backup\\sub\\b.txt"), "beta");
  EXPECT_FALSE(Exists(dir_ / "src\\backup\\backup"));
}

// ---------------- copying: what is kept ----------------

TEST_F(CopyFolderTest, TimesAndAttributesAreKeptAndIdenticalFilesSkipped) {
  MakeSource();
  SetWriteTimeOf(dir_ / "src\\a.txt", 130000000000000000ull);
  SetAttributesOf(dir_ / "src\\sub\\b.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(Copy(dir_ / "src", dir_ / "dest").Complete());
  EXPECT_EQ(WriteTimeOf(dir_ / "dest\\a.txt"), 130000000000000000ull);
  EXPECT_EQ(WriteTimeOf(dir_ / "dest\\sub\\b.txt"), WriteTimeOf(dir_ / "src\\sub\\b.txt"));
  const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  EXPECT_EQ(AttributesOf(dir_ / "dest\\sub\\b.txt") & kept, kept);
  EXPECT_EQ(AttributesOf(dir_ / "dest\\a.txt") & kept, 0u);

  CopyOutcome out = Copy(dir_ / "src", dir_ / "dest");
  EXPECT_EQ(out.files_skipped, 2u);
  EXPECT_EQ(out.files_copied, 0u);

  // Same size, other time: copied again. Same time, other size: copied again.
  WriteBytes(dir_ / "src\\a.txt", "ALPHA");
  WriteBytes(dir_ / "dest\\extra.txt", "x");
  SetWriteTimeOf(dir_ / "dest\\sub\\b.txt", 1);
  out = Copy(dir_ / "src", dir_ / "dest");
  EXPECT_EQ(out.files_copied, 2u);
  EXPECT_EQ(out.files_skipped, 0u);
  EXPECT_EQ(ReadBytes(dir_ / "dest\\a.txt"), "ALPHA");
  EXPECT_EQ(WriteTimeOf(dir_ / "dest\\sub\\b.txt"), WriteTimeOf(dir_ / "src\\sub\\b.txt"));
}

TEST_F(CopyFolderTest, AFileRewrittenWithItsWriteTimePutBackIsCopiedAgain) {
  WriteBytes(dir_ / "src\\vault.bin", "secret one");
  WriteBytes(dir_ / "src\\same.txt", "unchanged");
  ASSERT_EQ(Copy(dir_ / "src", dir_ / "dest").files_copied, 2u);
  // The copy is written after the source last changed, so the next run can skip it.
  EXPECT_GE(ChangeTimeOf(dir_ / "dest\\vault.bin"), ChangeTimeOf(dir_ / "src\\vault.bin"));
  EXPECT_EQ(Copy(dir_ / "src", dir_ / "dest").files_skipped, 2u);

  RewriteKeepingWriteTime(dir_ / "src\\vault.bin", "secret two");
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "dest");
  EXPECT_EQ(out.files_copied, 1u);
  EXPECT_EQ(out.files_skipped, 1u);
  EXPECT_EQ(ReadBytes(dir_ / "dest\\vault.bin"), "secret two");
  EXPECT_EQ(WriteTimeOf(dir_ / "dest\\vault.bin"), WriteTimeOf(dir_ / "src\\vault.bin"));
  EXPECT_EQ(Copy(dir_ / "src", dir_ / "dest").files_skipped, 2u);

  // The same for a file named as the source itself.
  RewriteKeepingWriteTime(dir_ / "src\\vault.bin", "secret six");
  EXPECT_EQ(Copy(dir_ / "src\\vault.bin", dir_ / "dest").files_copied, 1u);
  EXPECT_EQ(ReadBytes(dir_ / "dest\\vault.bin"), "secret six");
  EXPECT_EQ(Copy(dir_ / "src\\vault.bin", dir_ / "dest").files_skipped, 1u);
}

TEST_F(CopyFolderTest, ACopyMadeElsewhereAfterTheFolderWasListedIsReplaced) {
  WriteBytes(dir_ / "src\\a.txt", "alpha");
  WriteBytes(dir_ / "src\\b.txt", "beta");
  MakeFolders(dir_ / "dest");
  // Another run writes the same folder while this one lets events in before its first file.
  bool written = false;
  const CopyOutcome out = PlainCopy(files_, dir_ / "src", dir_ / "dest", true, [&] {
    if (written) return;
    written = true;
    for (const std::string name : {"a.txt", "b.txt"}) {
      WriteBytes(dir_ / ("dest\\" + name), "from another run");
      SetAttributesOf(dir_ / ("dest\\" + name), FILE_ATTRIBUTE_READONLY);
    }
  });
  ASSERT_TRUE(written);
  EXPECT_TRUE(out.Complete()) << out.first_failure_path << ": " << out.first_failure_reason;
  EXPECT_EQ(out.files_copied, 2u);
  EXPECT_EQ(ReadBytes(dir_ / "dest\\a.txt"), "alpha");
  EXPECT_EQ(ReadBytes(dir_ / "dest\\b.txt"), "beta");
  EXPECT_EQ(CountMatching(dir_ / "dest", kTempPattern), 0);

  // Without overwrite, what the other run wrote stays.
  WriteBytes(dir_ / "src\\c.txt", "gamma");
  written = false;
  const CopyOutcome kept = PlainCopy(files_, dir_ / "src", dir_ / "dest", false, [&] {
    if (written) return;
    written = true;
    WriteBytes(dir_ / "dest\\c.txt", "theirs");
  });
  EXPECT_EQ(kept.files_failed, 1u);
  EXPECT_EQ(kept.first_failure_path, dir_ / "dest\\c.txt");
  EXPECT_EQ(ReadBytes(dir_ / "dest\\c.txt"), "theirs");
  EXPECT_EQ(CountMatching(dir_ / "dest", kTempPattern), 0);
}

TEST_F(CopyFolderTest, UnicodeNamesAndPathsPastThreeHundredCharactersAreCopied) {
  std::string relative = kGreek + "\\" + kCjk;
  while (relative.size() < 320) relative += "\\nested-folder-with-a-long-name";
  const std::string file = relative + "\\" + kCjk + " " + kGreek + ".txt";
  WriteBytes(dir_ / ("src\\" + file), "deep");
  ASSERT_GT((dir_ / ("dest\\" + file)).size(), 300u);
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "dest");
  EXPECT_TRUE(out.Complete()) << out.first_failure_path << ": " << out.first_failure_reason;
  EXPECT_EQ(out.files_copied, 1u);
  EXPECT_EQ(ReadBytes(dir_ / ("dest\\" + file)), "deep");
  EXPECT_TRUE(files_.ListingFindsAny(dir_ / ("dest\\" + file)));
  EXPECT_EQ(Copy(dir_ / "src", dir_ / "dest").files_skipped, 1u);
}

// Under Wine a Linux symbolic link to a folder shows as a reparse point whose tag cannot be
// read, and one to a file as an ordinary file; Wine makes no links of its own (CreateSymbolicLink
// does nothing and junctions are refused), so the links come from the Linux side.
TEST_F(CopyFolderTest, LinkedFoldersInsideTheSourceAreNotFollowed) {
  if (!UnderWine()) GTEST_SKIP() << "makes its links from Wine's Linux side";
  WriteBytes(dir_ / "src\\a.txt", "alpha");
  WriteBytes(dir_ / "elsewhere\\far.txt", "far");
  const auto made = RunLinuxShell("cd " + ShellQuoted(LinuxPath(dir_ / "src")) +
                                  " && ln -s . loop && ln -s ../elsewhere elsewhere" +
                                  " && ln -s a.txt link.txt");
  ASSERT_TRUE(made && made->exit_code == 0) << (made ? made->output : "no shell");
  ASSERT_TRUE(AttributesOf(dir_ / "src\\loop") & FILE_ATTRIBUTE_REPARSE_POINT);

  const CopyOutcome out = Copy(dir_ / "src", dir_ / "dest");
  EXPECT_TRUE(out.Complete()) << out.first_failure_path << ": " << out.first_failure_reason;
  EXPECT_EQ(out.files_copied, 2u);
  EXPECT_FALSE(Exists(dir_ / "dest\\loop"));
  EXPECT_FALSE(Exists(dir_ / "dest\\elsewhere"));
  EXPECT_EQ(ReadBytes(dir_ / "dest\\link.txt"), "alpha");  // a file link is read through

  // Named directly, a linked folder is followed.
  EXPECT_EQ(Copy(dir_ / "src\\elsewhere", dir_ / "far-copy").files_copied, 1u);
  EXPECT_EQ(ReadBytes(dir_ / "far-copy\\far.txt"), "far");
}

// ---------------- copying: replacing safely ----------------

TEST_F(CopyFolderTest, AReadOnlyEarlierCopyIsReplaced) {
  WriteBytes(dir_ / "src\\a.txt", "new");
  SetAttributesOf(dir_ / "src\\a.txt", FILE_ATTRIBUTE_READONLY);
  WriteBytes(dir_ / "dest\\a.txt", "old copy");
  SetAttributesOf(dir_ / "dest\\a.txt", FILE_ATTRIBUTE_READONLY);
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "dest");
  EXPECT_TRUE(out.Complete()) << out.first_failure_reason;
  EXPECT_EQ(ReadBytes(dir_ / "dest\\a.txt"), "new");
  EXPECT_TRUE(AttributesOf(dir_ / "dest\\a.txt") & FILE_ATTRIBUTE_READONLY);
}

TEST_F(CopyFolderTest, AnInterruptedReplaceKeepsTheEarlierCopyAndTheLeftoverIsRemovedLater) {
  const std::string big(3 << 20, 'n');
  WriteBytes(dir_ / "src\\a\\big.bin", big);
  WriteBytes(dir_ / "dest\\a\\big.bin", "the earlier good copy");
  FaultyTree dies(files_);
  dies.interrupt_after_bytes = 1 << 20;
  CopyOutcome out = CopyTree(dies, dir_ / "src", dir_ / "dest", {});
  EXPECT_TRUE(dies.Died());
  EXPECT_FALSE(out.Complete());
  EXPECT_EQ(ReadBytes(dir_ / "dest\\a\\big.bin"), "the earlier good copy");
  EXPECT_EQ(CountMatching(dir_ / "dest", kTempPattern), 1);

  // A temporary file is neither copied from a source nor counted.
  WriteBytes(dir_ / "src\\~tessaline-00000000deadbeef.tmp", "leftover in a source");
  out = Copy(dir_ / "src", dir_ / "dest");
  EXPECT_TRUE(out.Complete());
  EXPECT_EQ(out.FilesSeen(), 1u);
  EXPECT_EQ(out.files_copied, 1u);
  EXPECT_EQ(ReadBytes(dir_ / "dest\\a\\big.bin"), big);
  EXPECT_EQ(CountMatching(dir_ / "dest", kTempPattern), 0);
}

// A first copy writes under the real name and sets the times last: a file cut short keeps a
// size and write time its source does not have, so the next run copies it again.
TEST_F(CopyFolderTest, AnInterruptedFirstCopyLeavesAFileTheNextRunReplaces) {
  WriteBytes(dir_ / "src\\doc.txt", "complete text");
  SetWriteTimeOf(dir_ / "src\\doc.txt", 130000000000000000ull);
  FaultyTree dies(files_);
  dies.interrupt_after_bytes = 4;
  CopyTree(dies, dir_ / "src", dir_ / "dest", {});
  EXPECT_TRUE(dies.Died());
  EXPECT_EQ(ReadBytes(dir_ / "dest\\doc.txt"), "comp");
  EXPECT_NE(WriteTimeOf(dir_ / "dest\\doc.txt"), 130000000000000000ull);
  EXPECT_EQ(CountMatching(dir_ / "dest", kTempPattern), 0);
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "dest");
  EXPECT_TRUE(out.Complete());
  EXPECT_EQ(out.files_copied, 1u);
  EXPECT_EQ(ReadBytes(dir_ / "dest\\doc.txt"), "complete text");
  EXPECT_EQ(WriteTimeOf(dir_ / "dest\\doc.txt"), 130000000000000000ull);
  EXPECT_EQ(CountMatching(dir_ / "dest", kTempPattern), 0);
}

TEST_F(CopyFolderTest, WithoutOverwriteADifferentFileIsAFailureAndStaysAsItWas) {
  MakeSource();
  WriteBytes(dir_ / "dest\\a.txt", "mine");
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "dest", false);
  EXPECT_EQ(out.files_failed, 1u);
  EXPECT_EQ(out.files_copied, 1u);
  EXPECT_EQ(out.first_failure_path, dir_ / "dest\\a.txt");
  EXPECT_EQ(ReadBytes(dir_ / "dest\\a.txt"), "mine");
}

// ---------------- copying: failures and responsiveness ----------------

TEST_F(CopyFolderTest, ALockedFileIsCountedWithItsReasonAndTheRestIsCopied) {
  MakeSource();
  WriteBytes(dir_ / "src\\locked.txt", "new");
  WriteBytes(dir_ / "dest\\locked.txt", "earlier copy");
  HANDLE lock = CreateFileW(Raw(dir_ / "src\\locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  const CopyOutcome out = Copy(dir_ / "src", dir_ / "dest");
  CloseHandle(lock);
  EXPECT_EQ(out.files_failed, 1u);
  EXPECT_EQ(out.files_copied, 2u);
  EXPECT_EQ(out.first_failure_path, dir_ / "src\\locked.txt");
  EXPECT_EQ(out.first_failure_reason, win32::SystemMessage(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(ReadBytes(dir_ / "dest\\locked.txt"), "earlier copy");
  EXPECT_EQ(ReadBytes(dir_ / "dest\\sub\\b.txt"), "beta");
  EXPECT_EQ(CountMatching(dir_ / "dest", kTempPattern), 0);
}

TEST_F(CopyFolderTest, ASourceVanishingDuringTheRunEndsCleanly) {
  for (int i = 0; i < 10; ++i) WriteBytes(dir_ / ("src\\f" + std::to_string(i)), "data");
  bool removed = false;
  const CopyOutcome out = PlainCopy(files_, dir_ / "src", dir_ / "dest", true, [&] {
    if (removed) return;
    removed = true;
    for (int i = 0; i < 10; ++i) DeleteFileW(Raw(dir_ / ("src\\f" + std::to_string(i))).c_str());
  });
  ASSERT_TRUE(removed);
  EXPECT_FALSE(Exists(dir_ / "src\\f9"));
  EXPECT_LE(out.files_copied + out.files_failed, 10u);
  if (!out.Complete()) EXPECT_FALSE(out.first_failure_reason.empty());
  EXPECT_EQ(CountMatching(dir_ / "dest", kTempPattern), 0);
}

TEST_F(CopyFolderTest, ADestinationOnAMissingDriveIsCounted) {
  MakeSource();
  const std::string drive = FreeDriveLetter();
  ASSERT_FALSE(drive.empty());
  const CopyOutcome out = Copy(dir_ / "src", drive + "\\Backups\\Docs");
  EXPECT_EQ(out.folders_failed, 1u);
  EXPECT_EQ(out.FilesSeen(), 0u);
  EXPECT_EQ(out.first_failure_reason, win32::SystemMessage(ERROR_INVALID_DRIVE));
}

TEST_F(CopyFolderTest, YieldRunsBetweenFilesAndDuringLongFiles) {
  // Between files the pump runs once its interval has passed: a slow pump gets every gap.
  for (int i = 0; i < 5; ++i) WriteBytes(dir_ / ("small\\" + std::to_string(i)), "x");
  int slow_yields = 0;
  PlainCopy(files_, dir_ / "small", dir_ / "small-copy", true, [&] {
    ++slow_yields;
    Sleep(kYieldIntervalMs + 20);  // past the tick granularity of Windows too
  });
  EXPECT_EQ(slow_yields, 5);

  // A fast pump is not run after every small file.
  for (int i = 0; i < 200; ++i) WriteBytes(dir_ / ("many\\" + std::to_string(i)), "x");
  EXPECT_TRUE(Copy(dir_ / "many", dir_ / "many-copy").Complete());
  EXPECT_GE(yields_, 1);
  EXPECT_LT(yields_, 200);

  yields_ = 0;
  WriteBytes(dir_ / "long\\big.bin", std::string(17 << 20, 'b'));
  EXPECT_TRUE(Copy(dir_ / "long", dir_ / "long-copy").Complete());
  EXPECT_GE(yields_, 1 + 4);  // once before the file, then every 4 MB
  EXPECT_EQ(ReadBytes(dir_ / "long-copy\\big.bin").value_or("").size(), 17u << 20);
}

}  // namespace
}  // namespace tess::test

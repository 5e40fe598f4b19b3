// Folder copies as data: a tree to start from, the steps taken on it and the tree and outcomes
// expected. The same cases run against the file-system double (host unit tests) and against the
// real Win32 file system (Windows tests under Wine), so the double cannot drift from the real
// thing unnoticed.
//
// Paths: "@" stands for the case's root folder, or for a drive ("R:") when the case runs at a
// drive's root, so "@\" is that root with its backslash; "%" in a path stands for the drive's
// letter. Tree entries are relative to the root: "a\b.txt=text" is a file and its content,
// "a\empty\" a folder. Folders that hold an entry need not be listed.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "copy/copy_tally.h"
#include "ports/file_system.h"

namespace tess::contract {

// Failure reasons, by the system error they stand for; each runner turns one into the text
// its file system gives for that error.
enum class Reason {
  kNone,
  kFileNotFound,      // ERROR_FILE_NOT_FOUND
  kFileExists,        // ERROR_FILE_EXISTS
  kAlreadyExists,     // ERROR_ALREADY_EXISTS
  kSharingViolation,  // ERROR_SHARING_VIOLATION
};

struct Outcome {
  std::uint64_t copied = 0;
  std::uint64_t skipped = 0;
  std::uint64_t files_failed = 0;
  std::uint64_t folders_failed = 0;
  std::string failure_path;  // the first failure's path ("@" form); empty when none
  Reason reason = Reason::kNone;
};

enum class StepKind {
  kCopy,                     // a folder copy of path into destination, expecting outcome
  kWrite,                    // writes content to path: new data, new last-write time
  kRewriteKeepingWriteTime,  // writes content of the same length and puts the write time back
  kLock,                     // holds path open without sharing during the next copy
};

struct Step {
  StepKind kind = StepKind::kCopy;
  std::string path;
  std::string destination;
  std::string content;
  bool overwrite = true;
  Outcome outcome;
};

inline Step Copy(std::string source, std::string destination, Outcome outcome,
                 bool overwrite = true) {
  return {StepKind::kCopy, std::move(source), std::move(destination), "",
          overwrite,       std::move(outcome)};
}
inline Step Write(std::string path, std::string content) {
  return {StepKind::kWrite, std::move(path), "", std::move(content)};
}
inline Step RewriteKeepingWriteTime(std::string path, std::string content) {
  return {StepKind::kRewriteKeepingWriteTime, std::move(path), "", std::move(content)};
}
inline Step Lock(std::string path) { return {StepKind::kLock, std::move(path)}; }

struct FileTreeCase {
  const char* name;  // an identifier: it names the test
  bool at_drive_root = false;
  std::vector<std::string> tree;  // before the first step
  std::vector<Step> steps;
  std::vector<std::string> added;  // afterwards, beyond the tree or replacing its content
};

// Test names show a case by its name.
inline void PrintTo(const FileTreeCase& c, std::ostream* os) { *os << c.name; }

// The path of a tree entry: the text before "=", or a folder's path without its backslash.
inline std::string EntryPath(const std::string& entry) {
  const size_t equals = entry.find('=');
  if (equals != std::string::npos) return entry.substr(0, equals);
  return entry.substr(0, entry.size() - (!entry.empty() && entry.back() == '\\' ? 1 : 0));
}

// A path of a case with "@" and "%" put in; root is the case's root folder or a drive ("R:").
inline std::string Resolve(const std::string& path, const std::string& root) {
  std::string resolved;
  for (const char c : path) {
    if (c == '@') {
      resolved += root;
    } else if (c == '%') {
      resolved += root.substr(0, 1);
    } else {
      resolved += c;
    }
  }
  return resolved;
}

// The whole tree expected after a case run at root: its tree with added applied, every
// folder that holds an entry listed too, sorted. Runners compare it with a listing of the tree.
inline std::vector<std::string> ExpectedTree(const FileTreeCase& c, const std::string& root) {
  std::map<std::string, std::string> by_path;
  for (const std::string& entry : c.tree) by_path[EntryPath(entry)] = entry;
  for (const std::string& entry : c.added) {
    const std::string resolved = Resolve(entry, root);
    by_path[EntryPath(resolved)] = resolved;
  }
  std::set<std::string> tree;
  for (const auto& [path, entry] : by_path) {
    tree.insert(entry);
    for (size_t slash = path.find('\\'); slash != std::string::npos;
         slash = path.find('\\', slash + 1)) {
      tree.insert(path.substr(0, slash + 1));
    }
  }
  return {tree.begin(), tree.end()};
}

// One entry of a tree, taken apart.
struct Entry {
  std::string path;
  bool folder = false;
  std::string content;
};
inline Entry ParseEntry(const std::string& entry) {
  const size_t equals = entry.find('=');
  if (equals == std::string::npos) return {EntryPath(entry), true, ""};
  return {entry.substr(0, equals), false, entry.substr(equals + 1)};
}

// Outcomes as one line each, so that a runner compares them in one check that shows both.
inline std::string OutcomeLine(const CopyOutcome& out) {
  return "copied " + std::to_string(out.files_copied) + ", skipped " +
         std::to_string(out.files_skipped) + ", files failed " + std::to_string(out.files_failed) +
         ", folders failed " + std::to_string(out.folders_failed) + ", first failure [" +
         out.first_failure_path + "] " + out.first_failure_reason;
}
inline std::string OutcomeLine(const Outcome& expected, const std::string& root,
                               const std::string& reason_text) {
  CopyOutcome out;
  out.files_copied = expected.copied;
  out.files_skipped = expected.skipped;
  out.files_failed = expected.files_failed;
  out.folders_failed = expected.folders_failed;
  out.first_failure_path = Resolve(expected.failure_path, root);
  out.first_failure_reason = reason_text;
  return OutcomeLine(out);
}

// The source tree most cases start from.
inline const std::vector<std::string> kSource = {"src\\a.txt=alpha", "src\\sub\\b.txt=beta",
                                                 "src\\empty\\"};

inline const std::vector<FileTreeCase>& FileTreeCases() {
  static const std::vector<FileTreeCase> cases = {
      // ---------------- placement ----------------
      {"FolderWithTrailingBackslashGoesInsideUnderItsOwnName",
       false,
       {"src\\a.txt=alpha", "src\\sub\\b.txt=beta", "src\\empty\\", "dest\\"},
       {Copy("@\\src", "@\\dest\\", {.copied = 2})},
       {"dest\\src\\a.txt=alpha", "dest\\src\\sub\\b.txt=beta", "dest\\src\\empty\\"}},
      {"FolderWithoutTrailingBackslashMergesIntoANewFolderWithItsParents",
       false,
       kSource,
       {Copy("@\\src", "@\\new\\deeper\\dest", {.copied = 2})},
       {"new\\deeper\\dest\\a.txt=alpha", "new\\deeper\\dest\\sub\\b.txt=beta",
        "new\\deeper\\dest\\empty\\"}},
      {"MergingReplacesSameNamedFilesAndKeepsTheRest",
       false,
       {"src\\a.txt=alpha", "src\\sub\\b.txt=beta", "dest\\a.txt=stale", "dest\\keep.txt=mine",
        "dest\\sub\\keep.txt=mine too"},
       {Copy("@\\src", "@\\dest", {.copied = 2})},
       {"dest\\a.txt=alpha", "dest\\sub\\b.txt=beta"}},
      {"FileEntryLandsInsideTheDestinationFolderEitherWay",
       false,
       {"src\\notes.txt=N", "dest\\"},
       {Copy("@\\src\\notes.txt", "@\\dest\\", {.copied = 1}),
        Copy("@\\src\\notes.txt", "@\\dest", {.skipped = 1}),
        Copy("@\\src\\notes.txt", "@\\made\\here", {.copied = 1})},
       {"dest\\notes.txt=N", "made\\here\\notes.txt=N"}},
      {"DestinationInsideTheSourceLeavesTheCopyOut",
       false,
       kSource,
       {Copy("@\\src", "@\\src\\backup", {.copied = 2})},
       {"src\\backup\\a.txt=alpha", "src\\backup\\sub\\b.txt=beta", "src\\backup\\empty\\"}},
      // ---------------- drive roots ----------------
      {"FolderIntoADriveRoot",
       true,
       {"data\\docs\\a.txt=alpha"},
       {Copy("@\\data\\docs", "@\\", {.copied = 1}), Copy("@\\data\\docs", "@\\", {.skipped = 1})},
       {"docs\\a.txt=alpha"}},
      {"FileIntoADriveRoot",
       true,
       {"data\\notes.txt=N"},
       {Copy("@\\data\\notes.txt", "@\\", {.copied = 1})},
       {"notes.txt=N"}},
      {"DriveRootIntoAFolderOnItGoesUnderTheDriveLetter",
       true,
       {"a.txt=alpha", "sub\\b.txt=beta", "backup\\"},
       {Copy("@\\", "@\\backup\\", {.copied = 2})},
       {"backup\\%\\a.txt=alpha", "backup\\%\\sub\\b.txt=beta", "backup\\%\\backup\\"}},
      // ---------------- skipping what is current ----------------
      {"UnchangedFilesAreSkippedAndWrittenOnesCopied",
       false,
       kSource,
       {Copy("@\\src", "@\\dest", {.copied = 2}), Copy("@\\src", "@\\dest", {.skipped = 2}),
        Write("src\\a.txt", "ALPHA"), Copy("@\\src", "@\\dest", {.copied = 1, .skipped = 1})},
       {"src\\a.txt=ALPHA", "dest\\a.txt=ALPHA", "dest\\sub\\b.txt=beta", "dest\\empty\\"}},
      {"ARewriteThatPutsTheWriteTimeBackIsCopied",
       false,
       kSource,
       {Copy("@\\src", "@\\dest", {.copied = 2}), RewriteKeepingWriteTime("src\\a.txt", "ALPHA"),
        Copy("@\\src", "@\\dest", {.copied = 1, .skipped = 1}),
        Copy("@\\src", "@\\dest", {.skipped = 2})},
       {"src\\a.txt=ALPHA", "dest\\a.txt=ALPHA", "dest\\sub\\b.txt=beta", "dest\\empty\\"}},
      // ---------------- letter case ----------------
      // A file's copy is found whatever the case of its letters, in any script: here a folder
      // named "äPFEL.TXT" stands where "Äpfel.txt" would be copied.
      {"AFolderNamedLikeAFileInOtherCaseFailsThatFileOnly",
       false,
       {"src\\\xC3\x84pfel.txt=apples", "src\\b.txt=beta", "dest\\\xC3\xA4PFEL.TXT\\"},
       {Copy("@\\src", "@\\dest",
             {.copied = 1,
              .files_failed = 1,
              .failure_path = "@\\dest\\\xC3\x84pfel.txt",
              .reason = Reason::kAlreadyExists})},
       {"dest\\b.txt=beta"}},
      // Final sigma and sigma, dotless i and I: names Windows keeps apart are copied apart.
      {"NamesThatDifferOnlyInLettersWindowsKeepsApartAreCopiedApart",
       false,
       {"src\\\xCF\x82.txt=final sigma", "src\\\xCF\x83.txt=sigma",
        "src\\\xC4\xB1.txt=dotless i", "src\\I.txt=capital I"},
       {Copy("@\\src", "@\\dest", {.copied = 4}), Copy("@\\src", "@\\dest", {.skipped = 4})},
       {"dest\\\xCF\x82.txt=final sigma", "dest\\\xCF\x83.txt=sigma",
        "dest\\\xC4\xB1.txt=dotless i", "dest\\I.txt=capital I"}},
      // ---------------- failures ----------------
      {"MissingSourceIsCountedAndNothingIsMade",
       false,
       {"dest\\"},
       {Copy("@\\gone", "@\\dest\\copy",
             {.folders_failed = 1, .failure_path = "@\\gone", .reason = Reason::kFileNotFound})},
       {}},
      {"TrailingBackslashNeedsAnExistingFolder",
       false,
       kSource,
       {Copy("@\\src", "@\\nowhere\\",
             {.folders_failed = 1, .failure_path = "@\\nowhere", .reason = Reason::kFileNotFound})},
       {}},
      {"AFileInThePlaceOfTheDestinationFolder",
       false,
       {"src\\a.txt=alpha", "blocker=in the way"},
       {Copy("@\\src", "@\\blocker",
             {.folders_failed = 1, .failure_path = "@\\blocker", .reason = Reason::kFileExists})},
       {}},
      {"AFileNamedLikeASubfolderFailsThatFolderOnly",
       false,
       {"src\\a.txt=alpha", "src\\sub\\b.txt=beta", "dest\\sub=a file"},
       {Copy("@\\src", "@\\dest",
             {.copied = 1,
              .folders_failed = 1,
              .failure_path = "@\\dest\\sub",
              .reason = Reason::kFileExists})},
       {"dest\\a.txt=alpha"}},
      {"AFolderNamedLikeAFileFailsThatFileOnly",
       false,
       {"src\\a.txt=alpha", "src\\sub\\b.txt=beta", "dest\\a.txt\\"},
       {Copy("@\\src", "@\\dest",
             {.copied = 1,
              .files_failed = 1,
              .failure_path = "@\\dest\\a.txt",
              .reason = Reason::kAlreadyExists})},
       {"dest\\sub\\b.txt=beta"}},
      {"ALockedFileFailsWithItsReasonAndItsEarlierCopyStays",
       false,
       {"src\\a.txt=alpha", "src\\locked.txt=new", "src\\sub\\b.txt=beta",
        "dest\\locked.txt=earlier"},
       {Lock("src\\locked.txt"), Copy("@\\src", "@\\dest",
                                      {.copied = 2,
                                       .files_failed = 1,
                                       .failure_path = "@\\src\\locked.txt",
                                       .reason = Reason::kSharingViolation})},
       {"dest\\a.txt=alpha", "dest\\sub\\b.txt=beta"}},
      {"WithoutOverwriteADifferentCopyFailsAndStays",
       false,
       {"src\\a.txt=alpha", "src\\sub\\b.txt=beta", "dest\\a.txt=mine"},
       {Copy("@\\src", "@\\dest",
             {.copied = 1,
              .files_failed = 1,
              .failure_path = "@\\dest\\a.txt",
              .reason = Reason::kFileExists},
             false),
        Copy("@\\src", "@\\dest",
             {.skipped = 1,
              .files_failed = 1,
              .failure_path = "@\\dest\\a.txt",
              .reason = Reason::kFileExists},
             false)},
       {"dest\\sub\\b.txt=beta"}},
  };
  return cases;
}

}  // namespace tess::contract

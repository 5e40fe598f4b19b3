// Test doubles for every platform service, and a fixture that wires a MainForm to them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/platform_error.h"
#include "copy/copy_tree.h"
#include "ports/clock.h"
#include "ports/dialogs.h"
#include "ports/environment.h"
#include "ports/event_pump.h"
#include "ports/file_system.h"
#include "ports/notify_icon.h"
#include "ports/registry.h"
#include "ports/settings_store.h"
#include "ports/shell.h"
#include "shell/main_form.h"

namespace tess::test {

// A destination's listing as the file tree gives it, each name a folder.
std::vector<TreeEntry> FolderListing(const std::vector<std::string>& names);

class FakeSettingsStore : public SettingsStore {
 public:
  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& default_value) override;
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;
  bool Has(const std::string& key) const { return values.count(key) != 0; }
  // Keys of the program's own section ("Quintaro\Tessaline").
  std::map<std::string, std::string> values;
  std::vector<std::string> write_log;  // "key=value" in order
  std::vector<std::string> read_log;   // keys in order
  bool fail_writes = false;
  std::function<void(const std::string& key)> on_write;
};

// A small in-memory tree of files and folders, with Windows-style paths (case-insensitive).
// It offers the file-tree primitives only; its folder copies are the copy core's, so they
// cannot decide otherwise than the real ones (tests/contract runs both on one table).
// Every change to a file moves a logical clock that gives its last-write and change times.
class FakeFileSystem : public FileSystem {
 public:
  void AddFolder(const std::string& path);
  // Writes a file and makes its folders: new content, new last-write and change times.
  void AddFile(const std::string& path, const std::string& content = "");
  // New content with the last-write time put back; only the change time moves.
  void RewriteKeepingWriteTime(const std::string& path, const std::string& content);
  // New content and no time moved, as a failing disk changes a file.
  void Rot(const std::string& path, const std::string& content);
  // Sets a file's last-write time as a program may; its change time moves.
  void SetWriteTime(const std::string& path, std::int64_t time);
  bool IsFile(const std::string& path) const;
  bool IsDir(const std::string& path) const;
  std::string Content(const std::string& path) const;
  // Everything below a folder, relative to it and sorted: "a\b.txt=content", "a\empty\".
  std::vector<std::string> TreeBelow(const std::string& folder) const;

  std::int64_t LastWriteTime(const std::string& path) override;
  std::uint32_t Attributes(const std::string& path) override;
  bool ListingFindsAny(const std::string& pattern) override;
  bool OrdinaryFileExists(const std::string& pattern) override;
  // A drive ("C:\") or a share ("\\server\share").
  bool IsRootFolder(const std::string& folder) override;
  // Windows-1252, the code page of Western European Windows.
  std::vector<int> AnsiCodes(const std::string& text) override;
  // The log's code page is the fake's too: what it cannot hold becomes "?".
  void AppendLine(const std::string& path, const std::string& text) override;
  void AppendBytes(const std::string& path, const std::string& bytes) override;
  std::string ReadAnsiText(const std::string& path) override;

  // The file-tree primitives, safe on any thread. Writes run at once on the caller's thread, or
  // on writer_threads threads when that is set.
  FileError FullPath(const std::string& path, std::string* full) override;
  std::string Shown(const std::string& full) override { return full; }
  bool SamePath(const std::string& a, const std::string& b) override { return Key(a) == Key(b); }
  FileError Refusal(CopyRefusal refusal) override;
  FileError List(const std::string& folder, std::vector<TreeEntry>* entries) override;
  FileError Describe(const std::string& path, TreeEntry* entry) override;
  FileError OpenForReading(const std::string& path, std::unique_ptr<OpenFile>* file) override;
  FileError OpenPastCache(const std::string& path, std::unique_ptr<OpenFile>* file) override;
  FileError OpenInPlace(const std::string& path, std::unique_ptr<OpenFile>* file) override;
  FileError CreateExclusive(const std::string& path, std::uint32_t attributes,
                            std::unique_ptr<OpenFile>* file) override;
  FileError SetAttributes(const std::string& path, std::uint32_t attributes) override;
  FileError Delete(const std::string& path) override;
  FileError Rename(const std::string& from, const std::string& to) override;
  FileError RemoveFolder(const std::string& path) override;
  // The handle reaches the file's record, so what it sets outlives the name it was opened by.
  FileError OpenForAttributes(const std::string& path, std::unique_ptr<OpenFile>* file) override;
  // Held while the returned lock lives; the file itself is not made.
  FileError HoldLock(const std::string& path, std::unique_ptr<OpenFile>* lock) override;
  FileError MakeFolder(const std::string& path) override;
  FileError FreeSpace(const std::string& folder, std::uint64_t* bytes) override;
  // A second name for a file: both names share one record, so a change made through either
  // shows through both, while a rename over one name gives only that name a new file. Refused
  // as the real file systems refuse it: across volumes (drives or shares), beyond max_links,
  // for a locked file, and everywhere when links_refused (FAT, exFAT, many network shares).
  FileError MakeHardLink(const std::string& existing, const std::string& link) override;
  FileError KeepsFineWriteTimes(const std::string& folder, bool* fine) override;
  std::unique_ptr<WorkPool> MakeWorkPool(int workers, std::function<void()> events) override;

  // Failure reasons of the copy, in the words Windows uses.
  static constexpr char kFileNotFound[] = "The system cannot find the file specified.";
  static constexpr char kPathNotFound[] = "The system cannot find the path specified.";
  static constexpr char kFileExists[] = "The file exists.";
  static constexpr char kAlreadyExists[] = "Cannot create a file when that file already exists.";
  static constexpr char kSharingViolation[] =
      "The process cannot access the file because it is being used by another process.";
  static constexpr char kNotAFolder[] = "The directory name is invalid.";
  static constexpr char kAccessDenied[] = "Access is denied.";
  static constexpr char kDiskFull[] = "There is not enough space on the disk.";
  static constexpr char kNoSuchDrive[] = "The system cannot find the drive specified.";
  static constexpr char kInvalidFunction[] = "Incorrect function.";
  static constexpr char kNotSameDevice[] =
      "The system cannot move the file to a different disk drive.";
  static constexpr char kTooManyLinks[] =
      "An attempt was made to create more links on a file than the file system supports.";
  static constexpr char kNotEmpty[] = "The directory is not empty.";

  std::vector<std::string> created_folders;
  std::set<std::string> read_only;    // normalised keys
  std::set<std::string> locked;       // files that fail to copy or delete
  std::set<std::string> uncreatable;  // folders MakeFolder refuses
  // A folder's attributes (kAttrDirectory and others); plain kAttrDirectory when absent.
  std::map<std::string, std::uint32_t> folder_attributes;  // normalised keys
  std::set<std::string> links;       // folders that only name another place; copies leave them out
  std::set<std::string> held_locks;  // keys HoldLock holds (add one: another program holds it)
  // Folders whose listing fails with this error number (70 denied, 76 gone, ...).
  std::map<std::string, long> refused_listings;  // normalised keys
  bool fail_appends = false;
  std::uint64_t free_bytes = std::uint64_t{1} << 40;  // what FreeSpace answers
  int writer_threads = 0;
  bool links_refused = false;  // a file system without hard links
  int max_links = 1023;        // names one file may have (NTFS)
  // How many names the file at path has (0 when there is none).
  int LinkCount(const std::string& path) const;
  // True when both paths name one file.
  bool SameFile(const std::string& a, const std::string& b) const;
  // Write times set on files below this folder are kept in whole 2-second steps, as on FAT,
  // and KeepsFineWriteTimes says so; empty for none.
  std::string coarse_volume;

  static std::string Key(const std::string& path);

 private:
  class Handle;
  TreeEntry EntryOf(const std::string& key);
  void SetReadOnly(const std::string& key, bool read_only_now);
  struct File {
    std::string content;
    std::int64_t write = 0;
    std::int64_t change = 0;
  };
  void SetReadOnlyOf(const std::shared_ptr<File>& record, bool read_only_now);
  // The drive ("c:") or share ("\\server\share") a key lies on.
  static std::string Volume(const std::string& key);
  std::map<std::string, std::shared_ptr<File>> files_;  // key -> file; links share one
  std::set<std::string> dirs_;                          // keys
  std::vector<std::string> dir_order_;                  // keys, in the order they were made
  std::map<std::string, std::string> names_;            // key -> path as written
  std::int64_t clock_ = 0;
  std::recursive_mutex primitives_;  // the primitives may run on writer threads
};

// The copies a backup run makes, noted call by call; each is then made by the copy core over
// the given tree, as every run's copy is.
struct CopyWatcher {
  struct CopyCall {
    std::string source, destination;
    bool overwrite;
    std::string link_from;
  };
  std::vector<CopyCall> copies;
  FolderCopy Over(FileTree& files);
};

class FakeShell : public Shell {
 public:
  std::string SpecialFolderPath(int folder_id) override;
  std::string BrowseForFolder(const std::string& title, const std::string& start) override;
  std::string WindowsFolder() override { return windows_folder; }
  std::string SystemFolder() override { return system_folder; }
  void StartProcess(const std::string& program, const std::string& argument,
                    bool show_minimized) override;
  void Open(const std::string& path) override;

  std::string desktop = "C:\\Users\\Ann\\Desktop";
  std::string windows_folder = "C:\\WINDOWS";
  std::string system_folder = "C:\\WINDOWS\\system32";
  std::deque<std::string> browse_answers;  // "" means cancel
  struct Browse {
    std::string title, start;
  };
  std::vector<Browse> browses;
  struct Started {
    std::string program, argument;
    bool minimized;
  };
  std::vector<Started> started;
  bool fail_start = false;
};

class FakeRegistry : public Registry {
 public:
  bool SetStringValue(Hive hive, const std::string& subkey, const std::string& name,
                      const std::string& data) override;
  bool DeleteValue(Hive hive, const std::string& subkey, const std::string& name) override;
  std::map<std::string, std::string> values;  // "HKLM|subkey|name" -> data
  bool machine_writable = true;
  int calls = 0;
  static std::string Key(Hive hive, const std::string& subkey, const std::string& name);
};

class FakeEnvironment : public Environment {
 public:
  std::string Variable(const std::string& name) override;
  std::string ModulePath() override { return module_path; }
  std::map<std::string, std::string> variables{{"TEMP", "C:\\Users\\Ann\\Temp"}};
  std::string module_path = "C:\\Program Files\\Tessaline\\Tessaline.exe";
};

class FakeDialogs : public Dialogs {
 public:
  BoxResult MessageBox(const std::string& text, const std::string& title, BoxButtons buttons,
                       BoxIcon icon) override;
  void SetApplicationTitle(const std::string& title) override { app_title = title; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }

  struct Box {
    std::string text, title;
    BoxButtons buttons;
    BoxIcon icon;
  };
  std::vector<Box> boxes;
  std::deque<BoxResult> answers;  // for Yes/No boxes; default Yes
  std::string app_title;
  std::string clipboard = "<untouched>";
  std::function<void(const Box&)> on_box;
  // The Application Error boxes only.
  std::vector<Box> Errors() const;
};

class FakeNotifyIcon : public NotifyIcon {
 public:
  struct Call {
    enum class Kind { kAdd, kRemove, kSetTip, kSetPicture, kShowBalloon };
    Kind kind;
    std::string tip;    // kAdd, kSetTip
    Picture picture;    // kAdd, kSetPicture
    std::string title;  // kShowBalloon
    std::string text;   // kShowBalloon
    unsigned timeout_ms = 0;
  };
  Picture ProgramIcon() override { return program_icon; }
  Picture WarningIcon() override { return warning_icon; }
  bool Add(const std::string& tip, const Picture& picture) override {
    calls.push_back({Call::Kind::kAdd, tip, picture});
    return shell_running;
  }
  void Remove() override { calls.push_back({Call::Kind::kRemove}); }
  void SetTip(const std::string& tip) override { calls.push_back({Call::Kind::kSetTip, tip}); }
  void SetPicture(const Picture& picture) override {
    calls.push_back({Call::Kind::kSetPicture, "", picture});
  }
  void ShowBalloon(const std::string& title, const std::string& text,
                   unsigned timeout_ms) override {
    calls.push_back({Call::Kind::kShowBalloon, "", {}, title, text, timeout_ms});
  }
  // The balloons with a text, in order (an empty text only takes a balloon away).
  std::vector<Call> Balloons() const;
  std::vector<Call> calls;
  Picture program_icon{Picture::Type::kIcon, 0x51};
  Picture warning_icon{Picture::Type::kIcon, 0x57};
  // False: no shell takes the icon (as at log-on before the desktop has started).
  bool shell_running = true;
};

// Time stands still until a test moves it; every pump call can advance it. The time of day
// and the UTC reading can also be set at will (a jump, a sleep, a clock set back); the
// monotonic reading moves only with Advance.
class FakeClock : public Clock {
 public:
  LocalTime Now() override;
  double SecondsSinceMidnight() override;
  double MonotonicSeconds() override { return monotonic; }
  double UtcSeconds() override { return utc; }
  // Local time is UTC, but from `summer_from` on (when set) the clocks are an hour ahead.
  double UtcSecondsOf(const LocalTime& local) override;
  std::string MonthAbbreviation(int month) override;
  std::string AmPmDesignator(bool pm) override { return pm ? "PM" : "AM"; }
  // U.S. form: M/D/YYYY h:mm:ss AM; only the date at midnight.
  std::string GeneralDate(const LocalTime& t) override;
  // U.S. form: 1,234.5.
  std::string NumberText(double value, int decimals) override;
  double RandomFraction() override { return random_fraction; }
  void Advance(double seconds);

  LocalTime now{2021, 8, 31, 16, 5, 6, 0};
  double monotonic = 1000;
  double utc = 1630425906;  // 2021-08-31T16:05:06Z: local time is UTC here

  std::optional<LocalTime> summer_from;

  double random_fraction = 0.5;
  int now_calls = 0;
  // Runs after each reading of Now(), so time can move between two readings.
  std::function<void()> after_now;
};

// Runs scripted actions at chosen calls, so re-entrancy is tested deliberately.
class ScriptedEventPump : public EventPump {
 public:
  void ProcessPendingEvents() override;
  // Runs action at the n-th call from now (1 = the next call).
  void At(int call, std::function<void()> action);
  // Runs on every call.
  std::function<void()> every_call;
  int calls = 0;

 private:
  std::map<int, std::vector<std::function<void()>>> script_;
};

struct FakeServices {
  // Each pass of the event pump lets a quarter second go by, so waits end.
  FakeServices() {
    pump.every_call = [this] { clock.Advance(0.25); };
  }
  FakeServices(const FakeServices&) = delete;
  FakeSettingsStore settings;
  FakeFileSystem files;
  FakeShell shell;
  FakeRegistry registry;
  FakeEnvironment environment;
  FakeDialogs dialogs;
  FakeNotifyIcon notify_icon;
  FakeClock clock;
  ScriptedEventPump pump;
  CopyWatcher copier;
  Services Wire() {
    return Services{settings, files,       shell, registry, environment,
                    dialogs,  notify_icon, clock, pump,     copier.Over(files)};
  }
};

}  // namespace tess::test

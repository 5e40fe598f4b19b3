#include "folders/subfolder_walk.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>

#include "base/error_trap.h"
#include "base/platform_error.h"
#include "base/text.h"
#include "ports/event_pump.h"
#include "ports/file_queries.h"
#include "ports/file_system.h"

namespace tess {

namespace {

constexpr char kWalkLocation[] = "in VarnokTitle2021/08/31.AddFolder.GetSubDirectories2016 ";
// The path limit of the file APIs the walk was made for: longer paths and names are not
// listed or taken.
constexpr std::size_t kMaxPathLength = 260;
// A volume's own folders (system information, recycle bin) are hidden, system and nothing
// else; listing them is refused or pointless. Any other combination is listed.
constexpr std::uint32_t kSystemFolder = kAttrHidden | kAttrSystem | kAttrDirectory;
constexpr std::uint32_t kSystemReparseFolder = kSystemFolder | kAttrReparsePoint;
constexpr int kQuestionMark = 63;

bool Listable(FileSystem& files, const std::string& folder) {
  if (files.IsRootFolder(folder)) return true;
  const std::uint32_t attributes = files.Attributes(folder);
  return attributes != kSystemFolder && attributes != kSystemReparseFolder;
}

// Control characters, the range that code pages fill differently, and whatever the code page
// cannot hold (shown as "?").
bool HasOddCharacters(FileSystem& files, const std::string& name) {
  const std::vector<int> codes = files.AnsiCodes(name);
  return std::any_of(codes.begin(), codes.end(), [](int code) {
    return code < 32 || (code >= 127 && code <= 159) || code == kQuestionMark;
  });
}

// Removes the first entry with exactly this text; false when there is none.
bool RemoveFirst(std::vector<std::string>& folders, const std::string& folder) {
  const auto found = std::find(folders.begin(), folders.end(), folder);
  if (found == folders.end()) return false;
  folders.erase(found);
  return true;
}

// One call of the walk: its own failure report, its own list of the subfolders it finds.
class Walk {
 public:
  explicit Walk(const WalkServices& services)
      : svc_(services), trap_(services.reporter, kWalkLocation) {}

  void Run(std::vector<std::string>& folders, bool recurse) {
    // By position, not by iterator: a folder that refuses listing leaves the list mid-walk, and
    // the walk goes on with the entry that followed it.
    for (std::size_t index = 0; index < folders.size();) {
      if (ListFolder(folders, index)) ++index;
    }
    trap_.Step(150, [&] {
      if (recurse && !found_.empty()) WalkSubfolders(found_, true, svc_);
    });
    for (const std::string& folder : found_) {
      if (!trap_.Test(154, [&] { return IsFolder(svc_.files, folder); })) continue;
      trap_.Step(156, [&] { svc_.pump.ProcessPendingEvents(); });
      if (trap_.Test(158, [&] { return Listable(svc_.files, folder); })) {
        trap_.Step(160, [&] { folders.push_back(folder); });
      }
    }
  }

 private:
  // Adds the subfolders of the entry at index to found_. False when the entry refused listing
  // and was removed, so the same index now holds the entry that followed it.
  bool ListFolder(std::vector<std::string>& folders, std::size_t index) {
    const std::string folder = folders[index];
    try {
      if (!Test(108, [&] { return IsFolder(svc_.files, folder); })) return true;
      if (Test(110, [&] { return WindowsLength(folder) >= kMaxPathLength; })) return true;
      // The folder is looked up afresh for each property asked of it; nothing is kept.
      Step(114, [&] { svc_.pump.ProcessPendingEvents(); });
      if (!Test(116, [&] { return Listable(svc_.files, folder); })) return true;
      // From the first listing on, a failure ends the folder's listing instead of a report.
      quiet_ = true;
      for (const TreeEntry& subfolder : ListSubfolders(svc_.files, folder)) {
        svc_.pump.ProcessPendingEvents();
        // A link is not gone into: one that names a folder above it would be walked again and
        // again until the path limit, and two such links multiply the work.
        if (subfolder.names_another_place) continue;
        if (SubfolderNameTaken(svc_.files, subfolder.name)) {
          found_.push_back(folder + subfolder.name + "\\");
        }
      }
    } catch (const PlatformError& e) {
      // Permission denied or path not found: the folder leaves the list without a word.
      if (e.Number() == kErrPermissionDenied || e.Number() == kErrPathNotFound) {
        return !RemoveFirst(folders, folder);
      }
    } catch (const std::exception&) {
      // Any other failure only ends this folder's listing.
    }
    return true;
  }

  // A numbered statement of a folder's pass: reported until the first listing begins, and
  // after that passed on to end the pass.
  void Step(int line, const std::function<void()>& statement) {
    if (quiet_) {
      statement();
    } else {
      trap_.Step(line, statement);
    }
  }
  bool Test(int line, const std::function<bool()>& test) {
    return quiet_ ? test() : trap_.Test(line, test);
  }

  const WalkServices& svc_;
  ErrorTrap trap_;
  std::vector<std::string> found_;
  bool quiet_ = false;
};

}  // namespace

void WalkSubfolders(std::vector<std::string>& folders, bool recurse, const WalkServices& services) {
  Walk(services).Run(folders, recurse);
}

std::vector<TreeEntry> ListSubfolders(FileSystem& files, const std::string& folder) {
  std::vector<TreeEntry> entries;
  if (const FileError e = files.List(folder, &entries); e.Failed()) {
    ThrowFileError(e, kErrPathNotFound);
  }
  std::erase_if(entries, [](const TreeEntry& entry) { return !entry.IsFolder(); });
  return entries;
}

bool SubfolderNameTaken(FileSystem& files, const std::string& name) {
  if (WindowsLength(name) >= kMaxPathLength) return false;
  if (name.find('?') != std::string::npos) return false;
  if (name == "." || name == "..") return false;
  return !HasOddCharacters(files, name);
}

}  // namespace tess

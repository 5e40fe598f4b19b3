#include "folders/folder_list.h"

#include <vector>

#include "base/error_trap.h"
#include "controls/controls.h"
#include "folders/folder_text.h"
#include "ports/program_settings.h"
#include "ports/shell.h"

namespace tess {

namespace {
constexpr char kFolderColumnHeader[] = "Folder(s) To Backup";
constexpr int kColumnWidthTwips = 7000;
constexpr char kBrowseTitle[] = "Browse for folder:";
}  // namespace

void FolderList::Restore(ErrorTrap& trap) {
  trap.Step(112, [&] { list_.SetColumn(kFolderColumnHeader, kColumnWidthTwips); });
  std::string folders;
  trap.Step(114, [&] { folders = settings_.GetSetting(kKeyFolders, ""); });
  if (folders.empty()) return;
  std::vector<std::string> entries;
  trap.Step(116, [&] { entries = SplitFolderEntries(folders); });
  for (const auto& entry : entries) {
    trap.Step(118, [&] { list_.Append(entry); });
  }
}

void FolderList::Store() { settings_.SaveSetting(kKeyFolders, JoinFolderEntries(list_.Items())); }

void FolderList::StoreAfterChange() {
  try {
    Store();
  } catch (...) {
  }
}

void FolderList::RemoveSelected() {
  if (list_.Count() == 0 || list_.Selected() == 0) return;
  list_.Remove(list_.Selected());
  StoreAfterChange();
}

void FolderList::Clear() {
  list_.Clear();
  StoreAfterChange();
}

std::string FolderList::BrowseForFolder() { return shell_.BrowseForFolder(kBrowseTitle, ""); }

void FolderList::Add(const std::string& entry) {
  Append(entry);
  StoreAfterChange();
}

void FolderList::Append(const std::string& entry) { list_.Append(entry); }

void FolderList::AddDropped(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  for (const auto& path : paths) Append(path);
  StoreAfterChange();
}

void FolderList::EndDrag() {
  if (reorder_.Release()) StoreAfterChange();
}

void FolderList::MoveSelected(int step) {
  const int from = list_.Selected();
  const int to = from + step;
  if (from == 0 || to < 1 || to > list_.Count()) return;
  const std::string moving = list_.ItemText(from);
  list_.SetItemText(from, list_.ItemText(to));
  list_.SetItemText(to, moving);
  list_.Select(to);
  StoreAfterChange();
}

}  // namespace tess

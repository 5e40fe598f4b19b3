#include "win_support/temp_tree.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <stdexcept>

#include "win32/text.h"

namespace tess::test {
namespace {

constexpr std::uint32_t kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

std::wstring EnvironmentVariable(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return L"";
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

void ReadInto(const std::wstring& folder, const std::string& relative, Tree& tree) {
  for (const std::wstring& name : NamesIn(folder)) {
    const std::wstring path = folder + L"\\" + name;
    TreeEntry entry;
    entry.path = (relative.empty() ? "" : relative + "\\") + win32::Narrow(name);
    entry.attributes = AttributesOf(path) & kKeptAttributes;
    entry.folder = IsFolderOnDisk(path);
    if (entry.folder) {
      tree.push_back(entry);
      ReadInto(path, entry.path, tree);
      continue;
    }
    entry.content = ReadBytes(path).value_or("<unreadable>");
    entry.write_time = static_cast<std::int64_t>(WriteTimeOf(path));
    tree.push_back(entry);
  }
}

// The entries by path, with a folder entry for every folder above a file.
std::map<std::string, TreeEntry> ByPath(const Tree& tree) {
  std::map<std::string, TreeEntry> entries;
  for (const TreeEntry& entry : tree) {
    for (size_t slash = entry.path.find('\\'); slash != std::string::npos;
         slash = entry.path.find('\\', slash + 1)) {
      const std::string parent = entry.path.substr(0, slash);
      entries.emplace(parent, Folder(parent));
    }
    entries[entry.path] = entry;
  }
  return entries;
}

std::string Shown(const std::string& content) {
  constexpr size_t kShown = 40;
  std::string shown(1, '"');
  shown.append(content, 0, kShown);
  shown += content.size() > kShown ? "...\"" : "\"";
  return shown + " (" + std::to_string(content.size()) + " bytes)";
}

}  // namespace

Tree Under(const std::string& folder, Tree tree) {
  for (TreeEntry& entry : tree) entry.path = folder + "\\" + entry.path;
  return tree;
}

Tree operator+(Tree tree, const Tree& more) {
  tree.insert(tree.end(), more.begin(), more.end());
  return tree;
}

std::wstring TempFolder() {
  std::wstring folder = EnvironmentVariable(L"TEMP");
  if (folder.empty()) {
    wchar_t path[MAX_PATH + 1] = {};
    folder.assign(path, GetTempPathW(MAX_PATH + 1, path));
  }
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  const DWORD size = GetLongPathNameW(folder.c_str(), nullptr, 0);
  if (size == 0) return folder;
  std::wstring long_form(size, L'\0');
  long_form.resize(GetLongPathNameW(folder.c_str(), long_form.data(), size));
  return long_form;
}

void BuildTree(const TestPath& folder, const Tree& tree) {
  MakeFolders(folder);
  for (const TreeEntry& entry : tree) {
    const std::wstring path = folder.Wide() + L"\\" + win32::Widen(entry.path);
    if (entry.folder) {
      MakeFolders(path);
    } else {
      WriteBytes(path, entry.content);
      if (entry.write_time != 0) SetWriteTimeOf(path, static_cast<std::uint64_t>(entry.write_time));
    }
    if (entry.attributes != 0) SetAttributesOf(path, entry.attributes);
  }
}

Tree ReadTree(const TestPath& folder) {
  Tree tree;
  ReadInto(folder.Wide(), "", tree);
  return tree;
}

::testing::AssertionResult SameTree(const Tree& expected, const Tree& actual) {
  const auto want = ByPath(expected);
  const auto have = ByPath(actual);
  std::string differences;
  for (const auto& [path, entry] : want) {
    const auto found = have.find(path);
    if (found == have.end()) {
      differences += "\n  missing: " + path;
      continue;
    }
    const TreeEntry& got = found->second;
    if (got.folder != entry.folder) {
      differences += "\n  " + path + ": a " + (got.folder ? "folder" : "file") + " where a " +
                     (entry.folder ? "folder" : "file") + " was expected";
      continue;
    }
    if (got.content != entry.content) {
      differences +=
          "\n  " + path + ": holds " + Shown(got.content) + ", expected " + Shown(entry.content);
    }
    if (got.attributes != entry.attributes) {
      differences += "\n  " + path + ": attributes " + std::to_string(got.attributes) +
                     ", expected " + std::to_string(entry.attributes);
    }
    if (entry.write_time != 0 && got.write_time != entry.write_time) {
      differences += "\n  " + path + ": written at " + std::to_string(got.write_time) +
                     ", expected " + std::to_string(entry.write_time);
    }
  }
  for (const auto& [path, entry] : have) {
    if (want.count(path) == 0) differences += "\n  unexpected: " + path;
  }
  if (differences.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the trees differ:" << differences;
}

::testing::AssertionResult HoldsTree(const TestPath& folder, const Tree& expected) {
  if (!IsFolderOnDisk(folder)) {
    return ::testing::AssertionFailure() << folder.Utf8() << " is no folder";
  }
  return SameTree(expected, ReadTree(folder));
}

TempTree::TempTree(const Tree& tree) {
  static int counter = 0;
  const std::wstring base = TempFolder() + L"\\tess-test-" + std::to_wstring(GetCurrentProcessId());
  for (;;) {
    wide_path_ = base + L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(wide_path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no temporary folder");
  }
  path_ = win32::Narrow(wide_path_);
  try {
    BuildTree(wide_path_, tree);
  } catch (...) {
    RemoveTree(wide_path_);
    throw;
  }
}

TempTree::~TempTree() { RemoveTree(wide_path_); }

std::wstring TempTree::MadeFolder(const std::wstring& relative) const {
  const std::wstring path = *this / relative;
  MakeFolders(path);
  return path;
}

}  // namespace tess::test

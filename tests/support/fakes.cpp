#include "support/fakes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace tess::test {

// ---------------- settings ----------------

std::string FakeSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                          const std::string& key,
                                          const std::string& default_value) {
  if (app != "Quintaro" || section != "Tessaline") return default_value;
  read_log.push_back(key);
  const auto it = values.find(key);
  return it == values.end() ? default_value : it->second;
}

void FakeSettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                    const std::string& key, const std::string& value) {
  if (fail_writes) throw PlatformError(70, "Permission denied");
  if (app != "Quintaro" || section != "Tessaline") return;
  values[key] = value;
  write_log.push_back(key + "=" + value);
  if (on_write) on_write(key);
}

// ---------------- files ----------------

std::string FakeFileSystem::Key(const std::string& path) {
  std::string k;
  for (char c : path) k += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  while (k.size() > 3 && k.back() == '\\') k.pop_back();
  if (k.size() == 3 && k[1] == ':' && k[2] == '\\') k.pop_back();  // "c:\" -> "c:"
  return k;
}

namespace {
std::string ParentKey(const std::string& key) {
  const auto slash = key.rfind('\\');
  return slash == std::string::npos ? "" : key.substr(0, slash);
}
std::string Leaf(const std::string& path) {
  std::string p = path;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  const auto slash = p.rfind('\\');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}
}  // namespace

void FakeFileSystem::AddFolder(const std::string& path) {
  std::string key = Key(path);
  std::string p = path;
  while (!key.empty() && dirs_.insert(key).second) {
    names_[key] = p;
    key = ParentKey(key);
    const auto slash = p.rfind('\\');
    if (slash == std::string::npos) break;
    p = p.substr(0, slash);
  }
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& content) {
  const std::string key = Key(path);
  AddFolder(path.substr(0, path.rfind('\\')));
  files_[key] = content;
  names_[key] = path;
}

bool FakeFileSystem::IsFile(const std::string& path) const { return files_.count(Key(path)); }
bool FakeFileSystem::IsDir(const std::string& path) const { return dirs_.count(Key(path)); }
std::string FakeFileSystem::Content(const std::string& path) const {
  const auto it = files_.find(Key(path));
  return it == files_.end() ? "" : it->second;
}

std::int64_t FakeFileSystem::LastWriteTime(const std::string& path) {
  if (IsFile(path) || IsDir(path)) return 1;
  throw PlatformError(53, "File not found");
}

std::uint32_t FakeFileSystem::Attributes(const std::string& path) {
  if (IsDir(path)) return kAttrDirectory;
  if (IsFile(path)) return read_only.count(Key(path)) ? kAttrReadOnly : 32;
  throw PlatformError(53, "File not found");
}

bool FakeFileSystem::ListingFindsAny(const std::string& pattern) {
  if (pattern.find_first_of("*?") != std::string::npos) {
    const std::string dir = Key(pattern.substr(0, pattern.rfind('\\')));
    for (const auto& [k, v] : files_) {
      if (ParentKey(k) == dir) return true;
    }
    return false;
  }
  if (!pattern.empty() && pattern.back() == '\\') {
    const std::string key = Key(pattern);
    if (!IsDir(pattern)) return false;
    if (key.size() == 2) {  // a drive root lists only what it holds
      for (const auto& [k, v] : files_) {
        if (ParentKey(k) == key) return true;
      }
      for (const auto& d : dirs_) {
        if (ParentKey(d) == key) return true;
      }
      return false;
    }
    return true;  // "." is always there
  }
  return IsFile(pattern) || IsDir(pattern);
}

bool FakeFileSystem::OrdinaryFileExists(const std::string& pattern) { return IsFile(pattern); }

void FakeFileSystem::CreateFolder(const std::string& path) {
  const std::string key = Key(path);
  if (uncreatable.count(key)) throw PlatformError(70, "Permission denied");
  if (IsDir(path) || IsFile(path)) throw PlatformError(58, "File already exists");
  if (!dirs_.count(ParentKey(key))) throw PlatformError(76, "Path not found");
  dirs_.insert(key);
  names_[key] = path;
  created_folders.push_back(path);
}

void FakeFileSystem::DeleteFile(const std::string& path) {
  const std::string key = Key(path);
  if (!files_.count(key)) throw PlatformError(53, "File not found");
  if (read_only.count(key) || locked.count(key)) throw PlatformError(75, "Path/File access error");
  files_.erase(key);
}

void FakeFileSystem::ForceDeleteFile(const std::string& path) {
  const std::string key = Key(path);
  if (!files_.count(key)) throw PlatformError(53, "File not found");
  if (locked.count(key)) throw PlatformError(70, "Permission denied");
  files_.erase(key);
  read_only.erase(key);
}

CopyOutcome FakeFileSystem::CopyFolder(const std::string& source, const std::string& destination,
                                       bool overwrite, const std::function<void()>& yield) {
  copies.push_back({source, destination, overwrite});
  CopyOutcome out;
  auto fail = [&](const std::string& path, const std::string& why) {
    ++out.files_failed;
    if (out.first_failure_path.empty()) {
      out.first_failure_path = path;
      out.first_failure_reason = why;
    }
  };
  std::string target = destination;
  const std::string src_key = Key(source);
  if (files_.count(src_key)) {  // a file lands inside the destination folder, as the engine does
    while (target.size() > 3 && target.back() == '\\') target.pop_back();
    if (target.size() == 3 && target[1] == ':') target.pop_back();
    AddFolder(target);
    const std::string to = target + "\\" + Leaf(source);
    if (locked.count(src_key)) {
      fail(source,
           "The process cannot access the file because it is being used by another "
           "process.");
    } else {
      AddFile(to, files_[src_key]);
      ++out.files_copied;
    }
    return out;
  }
  if (!target.empty() && target.back() == '\\') {
    if (!IsDir(target)) {
      ++out.folders_failed;
      out.first_failure_path = destination;
      out.first_failure_reason = "The system cannot find the path specified.";
      return out;
    }
    target += Leaf(source);
  }
  if (!dirs_.count(src_key)) {
    ++out.folders_failed;
    out.first_failure_path = source;
    out.first_failure_reason = "The system cannot find the path specified.";
    return out;
  }
  AddFolder(target);
  const std::string prefix = src_key + "\\";
  std::vector<std::pair<std::string, std::string>> todo;
  for (const auto& [k, v] : files_) {
    if (k.rfind(prefix, 0) == 0) todo.push_back({k, v});
  }
  for (const auto& d : std::set<std::string>(dirs_)) {
    if (d.rfind(prefix, 0) == 0) AddFolder(target + "\\" + names_[d].substr(source.size() + 1));
  }
  for (const auto& [k, v] : todo) {
    if (yield) yield();
    const std::string rel = names_[k].substr(source.size() + 1);
    const std::string to = target + "\\" + rel;
    if (locked.count(k)) {
      fail(names_[k],
           "The process cannot access the file because it is being used by another "
           "process.");
      continue;
    }
    if (IsFile(to) && !overwrite) {
      fail(to, "The file exists.");
      continue;
    }
    AddFile(to, v);
    ++out.files_copied;
  }
  return out;
}

void FakeFileSystem::AppendLine(const std::string& path, const std::string& text) {
  if (fail_appends) throw PlatformError(75, "Path/File access error");
  const std::string key = Key(path);
  files_[key] += text + "\r\n";
  names_[key] = path;
}

std::string FakeFileSystem::ReadAnsiText(const std::string& path) {
  if (!IsFile(path)) throw PlatformError(53, "File not found");
  return Content(path);
}

// ---------------- shell, registry, environment ----------------

std::string FakeShell::SpecialFolderPath(int folder_id) { return folder_id == 0 ? desktop : ""; }

std::string FakeShell::BrowseForFolder(const std::string& title, const std::string& start) {
  browses.push_back({title, start});
  if (browse_answers.empty()) return "";
  std::string answer = browse_answers.front();
  browse_answers.pop_front();
  return answer;
}

void FakeShell::StartProcess(const std::string& program, const std::string& argument,
                             bool show_minimized) {
  if (fail_start) throw PlatformError(53, "File not found");
  started.push_back({program, argument, show_minimized});
}

void FakeShell::Open(const std::string& path) { started.push_back({"open", path, false}); }

std::string FakeRegistry::Key(Hive hive, const std::string& subkey, const std::string& name) {
  return std::string(hive == Hive::kLocalMachine ? "HKLM" : "HKCU") + "|" + subkey + "|" + name;
}

bool FakeRegistry::SetStringValue(Hive hive, const std::string& subkey, const std::string& name,
                                  const std::string& data) {
  ++calls;
  if (hive == Hive::kLocalMachine && !machine_writable) return false;
  values[Key(hive, subkey, name)] = data;
  return true;
}

bool FakeRegistry::DeleteValue(Hive hive, const std::string& subkey, const std::string& name) {
  ++calls;
  if (hive == Hive::kLocalMachine && !machine_writable) return false;
  return values.erase(Key(hive, subkey, name)) != 0;
}

std::string FakeEnvironment::Variable(const std::string& name) {
  const auto it = variables.find(name);
  return it == variables.end() ? "" : it->second;
}

// ---------------- dialogs ----------------

BoxResult FakeDialogs::MessageBox(const std::string& text, const std::string& title,
                                  BoxButtons buttons, BoxIcon icon) {
  boxes.push_back({text, title, buttons, icon});
  if (on_box) on_box(boxes.back());
  if (buttons == BoxButtons::kOk) return BoxResult::kOk;
  if (answers.empty()) return BoxResult::kYes;
  const BoxResult r = answers.front();
  answers.pop_front();
  return r;
}

std::vector<FakeDialogs::Box> FakeDialogs::Errors() const {
  std::vector<Box> out;
  for (const auto& b : boxes) {
    if (b.title == "Application Error") out.push_back(b);
  }
  return out;
}

// ---------------- clock ----------------

LocalTime FakeClock::Now() {
  ++now_calls;
  const LocalTime reading = now;
  if (after_now) after_now();
  return reading;
}

double FakeClock::SecondsSinceMidnight() {
  return now.hour * 3600.0 + now.minute * 60.0 + now.second + now.millisecond / 1000.0;
}

std::string FakeClock::MonthAbbreviation(int month) {
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return kMonths[(month - 1) % 12];
}

std::string FakeClock::GeneralDate(const LocalTime& t) {
  char buf[64];
  if (t.hour == 0 && t.minute == 0 && t.second == 0) {
    std::snprintf(buf, sizeof buf, "%d/%d/%d", t.month, t.day, t.year);
  } else {
    const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d %s", t.month, t.day, t.year, h12,
                  t.minute, t.second, t.hour < 12 ? "AM" : "PM");
  }
  return buf;
}

void FakeClock::Advance(double seconds) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  long long ms = static_cast<long long>(seconds * 1000 + 0.5);
  long long total =
      ((now.hour * 60LL + now.minute) * 60 + now.second) * 1000 + now.millisecond + ms;
  while (total >= 86400000LL) {
    total -= 86400000LL;
    if (++now.day > kDays[now.month - 1]) {
      now.day = 1;
      if (++now.month > 12) {
        now.month = 1;
        ++now.year;
      }
    }
  }
  now.millisecond = static_cast<int>(total % 1000);
  total /= 1000;
  now.second = static_cast<int>(total % 60);
  now.minute = static_cast<int>(total / 60 % 60);
  now.hour = static_cast<int>(total / 3600);
}

// ---------------- pump ----------------

void ScriptedEventPump::ProcessPendingEvents() {
  ++calls;
  if (every_call) every_call();
  const auto it = script_.find(calls);
  if (it == script_.end()) return;
  auto actions = std::move(it->second);
  script_.erase(it);
  for (auto& action : actions) action();
}

void ScriptedEventPump::At(int call, std::function<void()> action) {
  script_[calls + call].push_back(std::move(action));
}

}  // namespace tess::test

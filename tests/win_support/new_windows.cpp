#include "win_support/new_windows.h"

#include <tlhelp32.h>

#include <algorithm>

#include "win32/handles.h"
#include "win_support/window_queries.h"

namespace tess::test {
namespace {

std::vector<DWORD> RunningProcesses() {
  std::vector<DWORD> ids;
  win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Valid()) return ids;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    ids.push_back(entry.th32ProcessID);
  }
  return ids;
}

// The programs Tessaline starts for the user: the file manager and the text editor. One that was
// handed a text it cannot open may show no window at all and still run, holding the test's
// output open, so these are ended by name as well.
bool StartedForTheUser(const wchar_t* exe) {
  return lstrcmpiW(exe, L"explorer.exe") == 0 || lstrcmpiW(exe, L"notepad.exe") == 0;
}

bool Contains(const std::vector<DWORD>& ids, DWORD id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

}  // namespace

NewWindows::NewWindows() : known_processes_(RunningProcesses()) {}

NewWindows::~NewWindows() { CloseAll(); }

std::vector<NewWindows::Found> NewWindows::Now() {
  std::vector<Found> found;
  for (const HWND window : TopLevelWindows()) {
    const DWORD process_id = ProcessOf(window);
    if (Contains(known_processes_, process_id) || !IsWindowVisible(window)) continue;
    if (!Contains(seen_processes_, process_id)) seen_processes_.push_back(process_id);
    found.push_back(Found{window, process_id, ClassOf(window), TextOf(window)});
  }
  return found;
}

HWND NewWindows::OfClass(const std::wstring& class_name) {
  for (const Found& found : Now()) {
    if (found.class_name == class_name) return found.window;
  }
  return nullptr;
}

void NewWindows::CloseAll() {
  for (const Found& window : Now()) PostMessageW(window.window, WM_CLOSE, 0, 0);
  {
    win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = snapshot.Valid() && Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry)) {
      if (!Contains(known_processes_, entry.th32ProcessID) &&
          !Contains(seen_processes_, entry.th32ProcessID) && StartedForTheUser(entry.szExeFile)) {
        // Nothing to close politely: it has no window.
        win32::UniqueObject process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
        if (process.Valid()) TerminateProcess(process.Get(), 1);
      }
    }
  }
  for (const DWORD process_id : seen_processes_) {
    win32::UniqueObject process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, process_id));
    if (!process.Valid()) continue;
    if (WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process.Get(), 1);
      WaitForSingleObject(process.Get(), 5000);
    }
  }
  seen_processes_.clear();
}

}  // namespace tess::test

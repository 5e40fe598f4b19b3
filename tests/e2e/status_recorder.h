// Watches a window of the program from a thread of the test and keeps every caption it shows,
// with the time it appeared, so short-lived status texts and their order can be checked.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tess::e2e {

// The status line's own texts, as the tests expect to see them.
inline constexpr wchar_t kTurnedOff[] = L"Auto Backup is Turned Off.";
inline constexpr wchar_t kBackingUp[] = L"Backing up files...";
inline constexpr wchar_t kRunning[] = L"Backup is running in background...";
inline constexpr wchar_t kComplete[] = L"Auto Backup Complete at ";
inline std::wstring NextIn(const wchar_t* clock) {
  return L"Next backup will occur in " + std::wstring(clock);
}
inline bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.rfind(prefix, 0) == 0;
}
inline bool EndsWith(const std::wstring& text, const std::wstring& tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class StatusRecorder {
 public:
  struct Shown {
    std::wstring text;
    std::chrono::steady_clock::time_point at;
  };

  // Starts watching at once. The caption is read the way GetWindowTextW reads another
  // process's window: from the system's copy, without waiting for the program to answer a
  // message, so a program busy copying is still watched.
  explicit StatusRecorder(HWND window);
  ~StatusRecorder();
  StatusRecorder(const StatusRecorder&) = delete;
  StatusRecorder& operator=(const StatusRecorder&) = delete;

  std::vector<Shown> History() const;
  std::vector<std::wstring> Texts() const;
  // Waits until a caption that matches has been shown at an index at or after `from`; returns
  // that index, or -1 when the time ran out.
  int WaitFor(const std::function<bool(const std::wstring&)>& match, size_t from = 0,
              std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  int WaitFor(const std::wstring& text, size_t from = 0,
              std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // The captions shown so far, one per line, for failure messages.
  std::wstring Describe() const;

 private:
  void Watch();

  HWND window_;
  mutable std::mutex mutex_;
  std::vector<Shown> shown_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace tess::e2e

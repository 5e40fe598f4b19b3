#include "e2e/status_recorder.h"

#include "win_support/window_queries.h"

namespace tess::e2e {

using test::KeptTextOf;

StatusRecorder::StatusRecorder(HWND window) : window_(window) {
  shown_.push_back(Shown{KeptTextOf(window_), std::chrono::steady_clock::now()});
  thread_ = std::thread([this] { Watch(); });
}

StatusRecorder::~StatusRecorder() {
  stop_ = true;
  thread_.join();
}

void StatusRecorder::Watch() {
  while (!stop_) {
    // A window that is gone reads as empty; that is recorded like any other change.
    std::wstring text = KeptTextOf(window_);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (text != shown_.back().text) {
        shown_.push_back(Shown{std::move(text), std::chrono::steady_clock::now()});
      }
    }
    Sleep(1);
  }
}

std::vector<StatusRecorder::Shown> StatusRecorder::History() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return shown_;
}

std::vector<std::wstring> StatusRecorder::Texts() const {
  std::vector<std::wstring> texts;
  for (const Shown& s : History()) texts.push_back(s.text);
  return texts;
}

int StatusRecorder::WaitFor(const std::function<bool(const std::wstring&)>& match, size_t from,
                            std::chrono::milliseconds timeout) const {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (size_t i = from; i < shown_.size(); ++i) {
        if (match(shown_[i].text)) return static_cast<int>(i);
      }
    }
    if (std::chrono::steady_clock::now() >= end) return -1;
    Sleep(10);
  }
}

int StatusRecorder::WaitFor(const std::wstring& text, size_t from,
                            std::chrono::milliseconds timeout) const {
  return WaitFor([&](const std::wstring& shown) { return shown == text; }, from, timeout);
}

std::wstring StatusRecorder::Describe() const {
  std::wstring all;
  for (const Shown& s : History()) all += L"  \"" + s.text + L"\"\n";
  return all;
}

}  // namespace tess::e2e

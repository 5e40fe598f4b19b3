// Lets queued window messages run: the program's only way to stay responsive during long work.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace tess {

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Dispatches every queued message and returns.
  virtual void ProcessPendingEvents() = 0;
  // Sleeps until a message arrives or the time is up, whichever comes first, so that a wait
  // that polls the clock does not keep a processor busy. Returns without dispatching.
  virtual void WaitForEvents(int /*max_milliseconds*/) {}
};

// Between small pieces of long work, events run at most this often: a pass through the pump
// costs a noticeable share of a small file's copy, and this is often enough for a window to
// feel live.
inline constexpr std::uint64_t kYieldIntervalMs = 10;

// Runs yield, when there is one, and swallows what it throws: the event pump's failures belong
// to its handlers, which report them themselves, and the work that let events run goes on.
void LetEventsRun(const std::function<void()>& yield) noexcept;

// A yield that lets the pump's queued events run, swallowing what they throw.
std::function<void()> PumpEvents(EventPump& pump);

// The breaks of one piece of long work on the caller's thread: Take lets events run now,
// TakeIfDue once kYieldIntervalMs have passed since the last break. The first break is due at
// once, or only an interval after the work starts.
class EventBreaks {
 public:
  enum class First { kAtOnce, kAfterAnInterval };
  EventBreaks(std::function<void()> yield, First first);
  void Take();
  void TakeIfDue();

 private:
  std::function<void()> yield_;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace tess

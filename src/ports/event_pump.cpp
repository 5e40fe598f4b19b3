#include "ports/event_pump.h"

#include <utility>

namespace tess {

void LetEventsRun(const std::function<void()>& yield) noexcept {
  if (!yield) return;
  try {
    yield();
  } catch (...) {
    // The handlers have reported their own failures; the work goes on.
  }
}

std::function<void()> PumpEvents(EventPump& pump) {
  return [&pump] { LetEventsRun([&pump] { pump.ProcessPendingEvents(); }); };
}

EventBreaks::EventBreaks(std::function<void()> yield, First first) : yield_(std::move(yield)) {
  if (first == First::kAfterAnInterval) last_ = std::chrono::steady_clock::now();
}

void EventBreaks::Take() {
  last_ = std::chrono::steady_clock::now();
  LetEventsRun(yield_);
}

void EventBreaks::TakeIfDue() {
  if (std::chrono::steady_clock::now() - last_ >= std::chrono::milliseconds(kYieldIntervalMs)) {
    Take();
  }
}

}  // namespace tess

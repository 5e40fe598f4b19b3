// The window timer as Windows delivers its ticks to a window: once a second while it runs, a
// second after its period started or its last tick, or at once when a long tick (a backup run)
// went past that moment, keeping its phase; setting the timer starts its period again. The
// clock moves with the ticks; the timer goes by the clock that only goes forward, so a test
// can set the time of day back or forward (a sleep, a changed clock) under it.
#pragma once

#include <cmath>

#include "support/fakes.h"

namespace tess::test {

class TimerTicks {
 public:
  explicit TimerTicks(FakeClock& clock) : clock_(clock), last_(clock.monotonic) {}
  // Follows the form's timer: each time it is set, its period starts again.
  void Attach(MainForm& form) {
    form.timer.SetViewListener([this] { last_ = clock_.monotonic; });
    last_ = clock_.monotonic;
  }
  void Tick(MainForm& form, int count = 1) {
    for (int i = 0; i < count; ++i) {
      last_ += 1;
      if (clock_.monotonic < last_) {
        clock_.Advance(last_ - clock_.monotonic);
      } else {
        last_ += std::floor(clock_.monotonic - last_);
      }
      if (form.timer.Interval() != 0) form.OnTimerTick();
    }
  }

 private:
  FakeClock& clock_;
  double last_;  // when the timer last ticked or started its period
};

}  // namespace tess::test

#include "schedule/pause.h"

#include "ports/clock.h"
#include "ports/event_pump.h"

namespace tess {

namespace {
// Long enough to leave the processor idle, short enough that the wait ends on time.
constexpr int kPollMilliseconds = 50;
}  // namespace

void Pause(double seconds, Clock& clock, EventPump& pump) {
  if (seconds <= 0) return;
  const double start = clock.SecondsSinceMidnight();
  for (;;) {
    const double now = clock.SecondsSinceMidnight();
    if (now < start || now - start >= seconds) return;
    LetEventsRun([&] {
      pump.ProcessPendingEvents();
      pump.WaitForEvents(kPollMilliseconds);
    });
  }
}

}  // namespace tess

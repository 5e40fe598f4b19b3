// The one-second countdown that starts timed backups, and the interval list.
#include "platform/platform_error.h"
#include "schedule/intervals.h"
#include "shell/form1.h"
#include "shell/settings_keys.h"

namespace tess {

int Form1::IntervalSeconds() {
  if (ListView2.Selected() == 0) throw PlatformError(91, "Object variable or With block variable not set");
  return SecondsForIntervalText(ListView2.ItemText(ListView2.Selected()));
}

void Form1::ListView2_Click() {
  if (ListView2.Selected() == 0) return;
  SaveSetting(kKeyOftenIndex, std::to_string(ListView2.Selected()));
  IntervalLength = IntervalSeconds();
  ElapsedSeconds = 0;
}

void Form1::ListView2_ItemSelected() { ListView2_Click(); }

void Form1::Timer1_Timer() {
  // The countdown tick: filled in with the scheduler.
}

}  // namespace tess

// A window loaded from the settings, a source folder and a destination, a window timer that
// delivers a tick for every second that goes by while it runs, and a record of every status
// line the window showed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"
#include "support/timer_ticks.h"

namespace tess::test {

inline constexpr char kSource[] = "C:\\Users\\Ann\\Documents";

class SchedulerTest : public ::testing::Test {
 protected:
  SchedulerTest() {
    fakes_.files.AddFolder("D:\\Backups");
    fakes_.files.AddFolder(kSource);
  }
  MainForm& Load(const std::string& often_index = "") {
    if (!often_index.empty()) fakes_.settings.values["OftenIndex"] = often_index;
    ticks_.Attach(form_);
    form_.OnLoad();
    form_.destination_box.SetText("D:\\Backups");
    form_.folder_list.Append(kSource);
    form_.status_frame.SetViewListener(
        [this] { captions_.push_back(form_.status_frame.Caption()); });
    return form_;
  }
  void AddSourceFiles(int count) {
    for (int i = 0; i < count; ++i) {
      fakes_.files.AddFile(std::string(kSource) + "\\f" + std::to_string(i) + ".txt");
    }
  }
  void Tick(int count = 1) { ticks_.Tick(form_, count); }
  // From now on every fourth pass of the event pump (one second) delivers a timer tick.
  void DeliverTicksEverySecond() {
    fakes_.pump.every_call = [this] {
      fakes_.clock.Advance(0.25);
      if (++passes_ % 4 == 0 && form_.timer.Interval() != 0) form_.OnTimerTick();
    };
  }
  size_t Runs() const { return fakes_.copier.copies.size(); }
  std::vector<std::string> TakeCaptions() { return std::exchange(captions_, {}); }
  static bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
  }
  int CountStartingWith(const std::vector<std::string>& texts, const std::string& prefix) {
    int n = 0;
    for (const auto& t : texts) n += StartsWith(t, prefix);
    return n;
  }
  std::vector<int> ErrorLines() const {
    std::vector<int> lines;
    for (const auto& box : fakes_.dialogs.Errors()) {
      lines.push_back(std::stoi(box.text.substr(box.text.find("at line ") + 8)));
    }
    return lines;
  }

  FakeServices fakes_;
  MainForm form_{fakes_.Wire()};
  std::vector<std::string> captions_;
  int passes_ = 0;
  TimerTicks ticks_{fakes_.clock};
};

}  // namespace tess::test

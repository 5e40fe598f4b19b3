// A run shows how far it has come: the bar and the tray's tip while it copies, against the
// entry's totals from its previous run once there are any, and the bar as it was after it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fakes.h"
#include "support/timer_ticks.h"

namespace tess::test {
namespace {

constexpr char kSource[] = "C:\\Users\\Ann\\Documents";

struct BarSeen {
  int max;
  int value;
  std::string text;
};

// The copy reports the steps given before it copies, a fifth of a second apart.
class ProgressShownTest : public ::testing::Test {
 protected:
  ProgressShownTest() {
    fakes_.files.AddFile(std::string(kSource) + "\\a.txt", "alpha");
    fakes_.files.AddFile(std::string(kSource) + "\\b.txt", "beta");
    fakes_.files.AddFolder("D:\\Backups");
    fakes_.settings.values = {{"Folders", std::string(kSource) + ";"},
                              {"Path", "D:\\Backups"},
                              {"Include Date", "Off"},
                              {"OftenIndex", "1"}};
    ticks_.Attach(form_);
    form_.OnLoad();
    form_.progress_bar.SetViewListener([this] {
      bars_.push_back(
          {form_.progress_bar.Max(), form_.progress_bar.Value(), form_.progress_bar.Text()});
    });
  }
  Services Wire() {
    Services services = fakes_.Wire();
    services.copy = [this](const std::string& source, const std::string& destination,
                           const CopySettings& settings) {
      for (const CopyProgress& step : steps_) {
        fakes_.clock.Advance(0.2);
        settings.progress(step);
      }
      return CopyTree(fakes_.files, source, destination, settings);
    };
    return services;
  }
  std::vector<std::string> Tips() const {
    std::vector<std::string> tips;
    for (const auto& call : fakes_.notify_icon.calls) {
      if (call.kind == FakeNotifyIcon::Call::Kind::kSetTip) tips.push_back(call.tip);
    }
    return tips;
  }

  FakeServices fakes_;
  std::vector<CopyProgress> steps_ = {{1, 5}, {2, 9}};
  MainForm form_{Wire()};
  TimerTicks ticks_{fakes_.clock};
  std::vector<BarSeen> bars_;
};

TEST_F(ProgressShownTest, BackupNowCountsOnTheBarAndTheTipThenLeavesTheBarEmpty) {
  form_.OnBackupNowClick();
  std::vector<std::string> texts;
  for (const BarSeen& bar : bars_) {
    if (bar.max == kProgressSteps && !bar.text.empty() && bar.text != "Progress Bar") {
      if (texts.empty() || texts.back() != bar.text) texts.push_back(bar.text);
    }
  }
  EXPECT_EQ(texts,
            (std::vector<std::string>{"Documents: 0 files, 0 bytes", "Documents: 1 file, 5 bytes",
                                      "Documents: 2 files, 9 bytes"}));
  const auto tips = Tips();
  EXPECT_NE(std::find(tips.begin(), tips.end(), "Tessaline\nDocuments: 2 files, 9 bytes"),
            tips.end());
  EXPECT_EQ(form_.progress_bar.Value(), 0);
  EXPECT_EQ(form_.progress_bar.Text(), "Progress Bar");
  EXPECT_EQ(form_.tray_icon.TrayTip().rfind("Tessaline\nAuto Backup Complete at ", 0), 0u);

  // The next run counts against what this one went through: two files of nine bytes.
  EXPECT_EQ(fakes_.settings.values["Entry Totals"], std::string(kSource) + "|2|9|");
  bars_.clear();
  steps_ = {{1, 5}};
  form_.OnBackupNowClick();
  bool counted_against_totals = false;
  for (const BarSeen& bar : bars_) {
    counted_against_totals |= bar.text == "Documents: 1 of 2 files, 5 of 9 bytes" &&
                              bar.value == ProgressValue({1, 5}, EntryTotals{2, 9});
  }
  EXPECT_TRUE(counted_against_totals);
}

// A timed run borrows the bar from the countdown and gives it back as it found it; a copy that
// did not go through its whole tree leaves the totals as they were.
TEST_F(ProgressShownTest, ATimedRunGivesTheCountdownItsBarBack) {
  ticks_.Tick(form_, 4);
  ASSERT_EQ(form_.progress_bar.Max(), 5);
  ASSERT_EQ(form_.progress_bar.Value(), 4);
  fakes_.files.refused_listings[FakeFileSystem::Key(kSource)] = 70;
  bars_.clear();
  ticks_.Tick(form_);
  ASSERT_EQ(fakes_.copier.copies.size(), 0u);  // the scripted copy ran instead
  bool progress_shown = false;
  for (const BarSeen& bar : bars_) progress_shown |= bar.max == kProgressSteps;
  EXPECT_TRUE(progress_shown);
  EXPECT_EQ(form_.progress_bar.Max(), 5);
  EXPECT_EQ(form_.progress_bar.Value(), 5);
  EXPECT_EQ(form_.progress_bar.Text(), "");
  EXPECT_EQ(fakes_.settings.values.count("Entry Totals"), 1u);
  EXPECT_EQ(fakes_.settings.values["Entry Totals"], "");
}

}  // namespace
}  // namespace tess::test

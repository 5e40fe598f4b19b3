// The error-location labels: the one table holds exactly the texts users know, and each
// handler's failures are reported under its own row of it.
#include "shell/handler_labels.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/fakes.h"

namespace tess::test {
namespace {

// The labels as users have always read them.
const std::set<std::string> kExpectedTexts = {
    "in Tessaline2021/08/31.Form1.Form_Load ",
    "in Tessaline2021/08/31.Form1.Form_QueryEndSession ",
    "in Tessaline2021/08/31.Form1.Form_QueryUnload ",
    "in Tessaline2021/08/31.Form1.PushButton1_Click ",
    "in Tessaline2021/08/31.Form1.PushButton2_Click ",
    "in Tessaline2021/08/31.Form1.PushButton3_Click ",
    "in Tessaline2021/08/31.Form1.PushButton4_Click ",
    "in Tessaline2021/08/31.Form1.PushButton5_Click ",
    "in Tessaline2021/08/31.Form1.PushButton6_Click ",
    "in Tessaline2021/08/31.Form1.PushButton7_Click ",
    "in Tessaline2021/08/31.Form1.PushButton8_Click ",
    "in Tessaline2021/08/31.Form1.PushButton9_Click ",
    "in Tessaline2021/08/31.Form1.PushButton11_Click ",
    "in Tessaline2021/08/31.Form1.PushButton12_Click ",
    "in Tessaline2021/08/31.Form1.Timer1 ",
};

constexpr char kHistoryLog[] = "C:\\Users\\Ann\\Temp\\Tessaline.txt";
constexpr char kWindowLabelStart[] = "in Tessaline2021/08/31.Form1.";

void Fail() { throw PlatformError(5, "Invalid procedure call or argument"); }

// How to make each handler fail through a double, and how to run it.
struct Failing {
  std::function<void(FakeServices&, MainForm&)> arrange;
  std::function<void(MainForm&)> run;
};

std::map<std::string, Failing> FailingHandlers() {
  const auto failing_writes = [](FakeServices& fakes, MainForm&) {
    fakes.settings.fail_writes = true;
  };
  const auto failing_boxes = [](FakeServices& fakes, MainForm&) {
    fakes.dialogs.on_box = [](const FakeDialogs::Box& box) {
      if (box.title != "Application Error") Fail();
    };
  };
  const auto failing_folder_list = [](FakeServices&, MainForm& form) {
    form.folder_list.SetListListener([](ListViewModel::Change, int) { Fail(); });
  };
  const auto failing_status_line = [](FakeServices&, MainForm& form) {
    form.status_frame.SetViewListener(Fail);
  };
  return {
      {"OnLoad",
       {[](FakeServices& fakes, MainForm&) { fakes.settings.values["Backup Option"] = "x"; },
        [](MainForm& form) { form.OnLoad(); }}},
      {"OnQueryEndSession", {failing_writes, [](MainForm& form) { form.OnQueryEndSession(); }}},
      {"OnQueryUnload", {failing_writes, [](MainForm& form) { form.OnQueryUnload(); }}},
      {"OnBrowseClick",
       {[](FakeServices& fakes, MainForm&) {
          fakes.shell.browse_answers = {"E:\\Elsewhere"};
          fakes.settings.fail_writes = true;
        },
        [](MainForm& form) { form.OnBrowseClick(); }}},
      {"OnViewFolderClick",
       {[](FakeServices& fakes, MainForm&) { fakes.shell.fail_start = true; },
        [](MainForm& form) { form.OnViewFolderClick(); }}},
      {"OnViewHistoryClick",
       {[](FakeServices& fakes, MainForm&) {
          fakes.files.AddFile(kHistoryLog, "a line\r\n");
          fakes.shell.fail_start = true;
        },
        [](MainForm& form) { form.OnViewHistoryClick(); }}},
      // A folder where the log should be: there, but not readable as text.
      {"OnCopyHistoryClick",
       {[](FakeServices& fakes, MainForm&) { fakes.files.AddFolder(kHistoryLog); },
        [](MainForm& form) { form.OnCopyHistoryClick(); }}},
      {"OnAutoBackupClick", {failing_writes, [](MainForm& form) { form.OnAutoBackupClick(); }}},
      {"OnBackupNowClick", {failing_status_line, [](MainForm& form) { form.OnBackupNowClick(); }}},
      {"OnAddFolderClick",
       {[failing_folder_list](FakeServices& fakes, MainForm& form) {
          fakes.shell.browse_answers = {"E:\\More"};
          failing_folder_list(fakes, form);
        },
        [](MainForm& form) { form.OnAddFolderClick(); }}},
      {"OnClearListClick", {failing_folder_list, [](MainForm& form) { form.OnClearListClick(); }}},
      {"OnSamplesClick",
       {[](FakeServices&, MainForm& form) { form.SetWindowListener(Fail); },
        [](MainForm& form) { form.OnSamplesClick(); }}},
      {"OnHelpClick", {failing_boxes, [](MainForm& form) { form.OnHelpClick(); }}},
      {"OnClearHistoryClick", {failing_boxes, [](MainForm& form) { form.OnClearHistoryClick(); }}},
      {"OnTimerTick", {failing_status_line, [](MainForm& form) { form.OnTimerTick(); }}},
  };
}

// The location an Application Error box names: from "in " up to " at line".
std::string ReportedLocation(const std::string& box_text) {
  const std::size_t start = box_text.find("\r\nin ");
  const std::size_t end = box_text.find("at line ");
  if (start == std::string::npos || end == std::string::npos || end < start) return "";
  return box_text.substr(start + 2, end - start - 2);
}

TEST(HandlerLabelsTest, TheTableHoldsExactlyTheKnownTextsOncePerHandler) {
  std::set<std::string> texts;
  std::set<std::string> handlers;
  for (const HandlerLabel& label : labels::kAll) {
    texts.insert(label.text);
    handlers.insert(label.handler);
  }
  EXPECT_EQ(texts, kExpectedTexts);
  EXPECT_EQ(handlers.size(), labels::kAll.size());
  EXPECT_EQ(texts.size(), labels::kAll.size());
}

TEST(HandlerLabelsTest, EachHandlerReportsItsFailuresUnderItsOwnLabel) {
  const std::map<std::string, Failing> failing = FailingHandlers();
  for (const HandlerLabel& label : labels::kAll) {
    SCOPED_TRACE(label.handler);
    const auto row = failing.find(label.handler);
    ASSERT_NE(row, failing.end()) << "no way to make the handler fail";
    FakeServices fakes;
    fakes.settings.values = {{"Folders", "C:\\Users\\Ann\\Documents;"}, {"Path", "D:\\Backups"}};
    fakes.files.AddFile("C:\\Users\\Ann\\Documents\\a.txt", "a");
    fakes.files.AddFolder("D:\\Backups");
    MainForm form(fakes.Wire());
    form.OnLoad();
    ASSERT_TRUE(fakes.dialogs.Errors().empty());
    row->second.arrange(fakes, form);
    row->second.run(form);

    // Reports of the window's own traps carry this handler's label; the backup run and the
    // subfolder walk inside a handler report under labels of their own.
    int own_reports = 0;
    for (const auto& box : fakes.dialogs.Errors()) {
      const std::string location = ReportedLocation(box.text);
      if (location.rfind(kWindowLabelStart, 0) != 0) continue;
      EXPECT_EQ(location, label.text);
      ++own_reports;
    }
    EXPECT_GT(own_reports, 0);
  }
}

}  // namespace
}  // namespace tess::test

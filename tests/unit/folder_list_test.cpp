// The folder list: its stored text form, removal and clearing, and the close request.
#include <gtest/gtest.h>

#include "folders/folder_text.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

using Entries = std::vector<std::string>;

TEST(FolderTextTest, StoredFormOfOlderVersionsRestoresUnchanged) {
  EXPECT_EQ(SplitFolderEntries("C:\\A;;   ;D:\\B;"), (Entries{"C:\\A", "D:\\B"}));
  EXPECT_EQ(SplitFolderEntries("C:\\A; D:\\B;"), (Entries{"C:\\A", " D:\\B"}));
  EXPECT_EQ(SplitFolderEntries(";; ;C:\\X"), (Entries{"C:\\X"}));
  EXPECT_EQ(SplitFolderEntries(""), Entries{});
  EXPECT_EQ(SplitFolderEntries("C:\\A; C:\\B ;"), (Entries{"C:\\A", " C:\\B "}));
  // A tab is not a blank: the piece is kept as it is.
  EXPECT_EQ(SplitFolderEntries("\t;"), (Entries{"\t"}));
}

TEST(FolderTextTest, SaveAppendsASemicolonToEveryEntryAndKeepsDuplicates) {
  EXPECT_EQ(JoinFolderEntries({}), "");
  EXPECT_EQ(JoinFolderEntries({"C:\\Work", "D:\\Photos\\"}), "C:\\Work;D:\\Photos\\;");
  const Entries twice{"C:\\A", "C:\\A", " C:\\B "};
  EXPECT_EQ(SplitFolderEntries(JoinFolderEntries(twice)), twice);
}

TEST(FolderTextTest, EntriesWithSemicolonsSurviveARestart) {
  const Entries entries{"D:\\a;b", "C:\\plain", ";;", "E:\\x;y;z\\"};
  const std::string text = JoinFolderEntries(entries);
  EXPECT_EQ(text, "\"D:\\a;b\";C:\\plain;\";;\";\"E:\\x;y;z\\\";");
  EXPECT_EQ(SplitFolderEntries(text), entries);
}

TEST(FolderTextTest, DamagedTextGivesAUsableListAndInventsNothing) {
  // An unbalanced quote falls back to the plain reading of the rest.
  EXPECT_EQ(SplitFolderEntries("\"C:\\a;C:\\b;"), (Entries{"\"C:\\a", "C:\\b"}));
  EXPECT_EQ(SplitFolderEntries("\""), (Entries{"\""}));
  EXPECT_EQ(SplitFolderEntries("\"\";C:\\x;"), (Entries{"C:\\x"}));
  // A quote inside a quoted entry only ends it when ";" or the end follows.
  EXPECT_EQ(SplitFolderEntries("\"a\"b;c\";d;"), (Entries{"a\"b;c", "d"}));
  // Control characters are kept as they were stored.
  EXPECT_EQ(SplitFolderEntries(std::string("C:\\\x01x;\x7f;", 7)),
            (Entries{std::string("C:\\\x01x", 5), "\x7f"}));
}

TEST(FolderTextTest, FortyThousandEntriesRoundTrip) {
  Entries many;
  for (int i = 0; i < 40000; ++i) many.push_back("C:\\Folder number " + std::to_string(i));
  const Entries back = SplitFolderEntries(JoinFolderEntries(many));
  ASSERT_EQ(back.size(), many.size());
  EXPECT_EQ(back.back(), "C:\\Folder number 39999");
}

class FolderListTest : public ::testing::Test {
 protected:
  void Load(const std::string& folders) {
    fakes_.settings.values["Folders"] = folders;
    form_ = std::make_unique<MainForm>(fakes_.Wire());
    form_->OnLoad();
    fakes_.settings.write_log.clear();
  }
  Entries Stored() { return SplitFolderEntries(fakes_.settings.values["Folders"]); }
  FakeServices fakes_;
  std::unique_ptr<MainForm> form_;
};

TEST_F(FolderListTest, RestoresManyEntriesWithoutOverflow) {
  std::string text;
  for (int i = 0; i < 40000; ++i) text += "C:\\F" + std::to_string(i) + ";";
  Load(text);
  EXPECT_EQ(form_->folder_list.Count(), 40000);
  EXPECT_EQ(form_->folder_list.ItemText(40000), "C:\\F39999");
}

TEST_F(FolderListTest, DeleteKeyWithAnyModifierOrDoubleClickRemovesTheSelectedEntry) {
  Load("C:\\A;C:\\B;C:\\C;C:\\D;");
  form_->folder_list.Select(2);
  form_->OnFolderListKeyDown(Key::kDelete, 1);  // with Shift
  EXPECT_EQ(form_->folder_list.Items(), (Entries{"C:\\A", "C:\\C", "C:\\D"}));
  EXPECT_EQ(Stored(), (Entries{"C:\\A", "C:\\C", "C:\\D"}));
  form_->folder_list.Select(3);
  form_->OnFolderListDoubleClick();
  EXPECT_EQ(form_->folder_list.Items(), (Entries{"C:\\A", "C:\\C"}));
  EXPECT_EQ(Stored(), (Entries{"C:\\A", "C:\\C"}));
}

TEST_F(FolderListTest, OtherKeysAndNoSelectionRemoveNothing) {
  Load("C:\\A;C:\\B;");
  form_->folder_list.Select(1);
  form_->OnFolderListKeyDown(Key::kOther, 0);  // Backspace, say
  form_->folder_list.Deselect();
  form_->OnFolderListKeyDown(Key::kDelete, 0);
  form_->OnFolderListDoubleClick();
  EXPECT_EQ(form_->folder_list.Count(), 2);
  EXPECT_TRUE(fakes_.settings.write_log.empty());
}

TEST_F(FolderListTest, BusyPointerHoldsBackRemovalAndClearButNotAdding) {
  Load("C:\\A;C:\\B;");
  form_->folder_list.Select(1);
  form_->SetMousePointer(Pointer::kHourglass);
  form_->OnFolderListDoubleClick();
  form_->OnFolderListKeyDown(Key::kDelete, 0);
  form_->OnClearListClick();
  EXPECT_EQ(form_->folder_list.Count(), 2);
  fakes_.shell.browse_answers = {"D:\\New"};
  form_->OnAddFolderClick();
  EXPECT_EQ(form_->folder_list.Count(), 3);
  form_->SetMousePointer(Pointer::kDefault);
  form_->OnClearListClick();
  EXPECT_EQ(form_->folder_list.Count(), 0);
  EXPECT_EQ(fakes_.settings.values["Folders"], "");
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

TEST_F(FolderListTest, CloseRequestStoresTheListBeforeTheTimerStopsAndTheIconGoes) {
  Load("C:\\A;");
  form_->folder_list.Append("D:\\a;b");
  form_->folder_list.Append(" C:\\spaced ");
  std::vector<std::string> order;
  fakes_.settings.on_write = [&](const std::string& key) {
    order.push_back("store " + key + " timer " + std::to_string(form_->timer.Interval()) +
                    (form_->tray_icon.InTray() ? " in tray" : " out of tray"));
  };
  const int pumps = fakes_.pump.calls;
  form_->OnQueryUnload();
  EXPECT_EQ(order, (Entries{"store Folders timer 1000 in tray"}));
  EXPECT_EQ(fakes_.settings.values["Folders"], "C:\\A;\"D:\\a;b\"; C:\\spaced ;");
  EXPECT_EQ(form_->timer.Interval(), 0);
  EXPECT_FALSE(form_->tray_icon.InTray());
  EXPECT_EQ(fakes_.notify_icon.calls.back().kind, FakeNotifyIcon::Call::Kind::kRemove);
  EXPECT_EQ(fakes_.pump.calls - pumps, 2);
}

TEST_F(FolderListTest, CloseWithEmptyListStoresEmptyTextAndAFailedWriteIsReported) {
  Load("C:\\A;");
  form_->OnClearListClick();
  fakes_.settings.values["Folders"] = "stale";
  form_->OnQueryUnload();
  EXPECT_EQ(fakes_.settings.values["Folders"], "");

  Load("C:\\A;");
  fakes_.settings.fail_writes = true;
  form_->OnQueryUnload();
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);
  EXPECT_NE(fakes_.dialogs.Errors()[0].text.find("Form_QueryUnload at line 102"),
            std::string::npos);
  EXPECT_EQ(fakes_.settings.values["Folders"], "C:\\A;");
  // The rest of the close still ran.
  EXPECT_EQ(form_->timer.Interval(), 0);
  EXPECT_FALSE(form_->tray_icon.InTray());
}

TEST_F(FolderListTest, FirstMinimiseGoesToTheTrayLaterOnesStayOnTheTaskbar) {
  Load("");
  form_->SetWindowState(WindowState::kMinimized);
  EXPECT_FALSE(form_->Visible());
  EXPECT_EQ(form_->State(), WindowState::kNormal);
  EXPECT_TRUE(form_->tray_notice_shown);
  form_->tray_icon.Dispatch(TrayEvent::kRightButtonUp, 0);  // nothing
  EXPECT_FALSE(form_->Visible());
  form_->tray_icon.Dispatch(TrayEvent::kLeftButtonUp, 0);
  EXPECT_TRUE(form_->Visible());
  const size_t sent = fakes_.notify_icon.calls.size();
  form_->SetWindowState(WindowState::kMinimized);
  EXPECT_TRUE(form_->Visible());
  EXPECT_EQ(form_->State(), WindowState::kMinimized);
  EXPECT_EQ(fakes_.notify_icon.calls.size(), sent);
}

}  // namespace
}  // namespace tess::test

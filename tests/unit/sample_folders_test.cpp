// Load Sample/Example Folders through the window's model: what is appended and stored, the
// question and its two answers, the busy pointer, and failures inside the command.
#include <gtest/gtest.h>

#include "folders/folder_text.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

using Entries = std::vector<std::string>;

constexpr char kProgram[] = "C:\\Program Files\\Tessaline\\Tessaline.exe";
constexpr char kSamples[] = "C:\\Program Files\\Tessaline\\Samples\\";
constexpr char kQuestion[] =
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?";

class SampleFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fakes_.environment.module_path = kProgram;
    for (const char* folder : {"Documents\\Letters\\Drafts", "Documents\\Notes", "Pictures"}) {
      fakes_.files.AddFolder(std::string(kSamples) + folder);
    }
    fakes_.files.AddFile(std::string(kSamples) + "Documents\\About.txt", "hello");
  }
  MainForm& Start(const std::string& folders = "") {
    if (!folders.empty()) fakes_.settings.values["Folders"] = folders;
    form_ = std::make_unique<MainForm>(fakes_.Wire());
    form_->OnLoad();
    fakes_.settings.write_log.clear();
    fakes_.dialogs.boxes.clear();
    return *form_;
  }
  static Entries Below(const std::string& folder, const Entries& relative) {
    Entries paths;
    for (const auto& r : relative) paths.push_back(folder + r);
    return paths;
  }
  Entries Stored() { return SplitFolderEntries(fakes_.settings.values["Folders"]); }
  Entries Questions() {
    Entries texts;
    for (const auto& box : fakes_.dialogs.boxes) {
      EXPECT_EQ(box.title, "");  // the application title
      EXPECT_EQ(box.buttons, BoxButtons::kYesNo);
      EXPECT_EQ(box.icon, BoxIcon::kNone);
      texts.push_back(box.text);
    }
    return texts;
  }

  FakeServices fakes_;
  std::unique_ptr<MainForm> form_;
};

const Entries kFound = {"Documents\\", "Pictures\\", "Documents\\Letters\\", "Documents\\Notes\\",
                        "Documents\\Letters\\Drafts\\"};

TEST_F(SampleFoldersTest, AppendsEveryFolderBelowTheTreeOnceCleanedStoresThemAndAsks) {
  MainForm& form = Start("D:\\Mine;");
  fakes_.dialogs.answers = {BoxResult::kNo};
  form.OnSamplesClick();

  // The existing entry stays first; the tree's own folder is never an entry; every path has
  // single backslashes and one at its end.
  Entries expected = {"D:\\Mine"};
  for (const auto& path : Below(kSamples, kFound)) expected.push_back(path);
  EXPECT_EQ(form.folder_list.Items(), expected);
  EXPECT_EQ(Stored(), expected);
  EXPECT_EQ(Questions(), Entries{kQuestion});
  // No: nothing is opened.
  EXPECT_TRUE(fakes_.shell.started.empty());
  EXPECT_EQ(form.MousePointer(), Pointer::kDefault);
}

TEST_F(SampleFoldersTest, YesOpensTheSampleFolderInTheFileManagerAndPressingTwiceAppendsTwice) {
  MainForm& form = Start();
  fakes_.dialogs.answers = {BoxResult::kYes, BoxResult::kNo};
  form.OnSamplesClick();
  ASSERT_EQ(fakes_.shell.started.size(), 1u);
  EXPECT_EQ(fakes_.shell.started[0].program, "open");
  EXPECT_EQ(fakes_.shell.started[0].argument, kSamples);

  form.OnSamplesClick();
  Entries twice = Below(kSamples, kFound);
  for (const auto& path : Below(kSamples, kFound)) twice.push_back(path);
  EXPECT_EQ(form.folder_list.Items(), twice);
  EXPECT_EQ(Stored(), twice);
  EXPECT_EQ(Questions(), (Entries{kQuestion, kQuestion}));
  EXPECT_EQ(fakes_.shell.started.size(), 1u);
  EXPECT_TRUE(fakes_.dialogs.Errors().empty());
}

TEST_F(SampleFoldersTest, WithoutASampleTreeNothingIsAppendedAndTheQuestionStillComes) {
  fakes_.environment.module_path = "E:\\Elsewhere\\Tessaline.exe";
  MainForm& form = Start("D:\\Mine;");
  // The shell cannot open the missing folder; its own message is all the user gets.
  fakes_.shell.fail_start = true;
  form.OnSamplesClick();
  EXPECT_EQ(form.folder_list.Items(), Entries{"D:\\Mine"});
  EXPECT_EQ(Questions(), Entries{kQuestion});
  EXPECT_TRUE(fakes_.dialogs.Errors().empty());
  EXPECT_EQ(fakes_.settings.write_log, Entries{});
}

TEST_F(SampleFoldersTest, AProgramAtADriveRootFindsItsTreeWithoutDoubledBackslashes) {
  fakes_.environment.module_path = "E:\\Tessaline.exe";
  fakes_.files.AddFolder("E:\\Samples\\A\\B");
  MainForm& form = Start();
  form.OnSamplesClick();
  EXPECT_EQ(form.folder_list.Items(), (Entries{"E:\\Samples\\A\\", "E:\\Samples\\A\\B\\"}));
  ASSERT_EQ(fakes_.shell.started.size(), 1u);
  EXPECT_EQ(fakes_.shell.started[0].argument, "E:\\Samples\\");
}

TEST_F(SampleFoldersTest, TheBusyPointerHoldsBackRemovalWhileTheWalkLetsEventsRun) {
  MainForm& form = Start("D:\\Mine;D:\\Yours;");
  form.folder_list.Select(1);
  std::vector<Pointer> seen;
  fakes_.pump.every_call = [&] { seen.push_back(form.MousePointer()); };
  // The user presses Clear List and Delete while the tree is walked: both wait for nothing and
  // do nothing.
  fakes_.pump.At(1, [&] {
    form.OnClearListClick();
    form.OnFolderListKeyDown(Key::kDelete, 0);
  });
  Pointer at_question = Pointer::kHourglass;
  fakes_.dialogs.on_box = [&](const FakeDialogs::Box&) { at_question = form.MousePointer(); };
  fakes_.dialogs.answers = {BoxResult::kNo};
  form.OnSamplesClick();

  ASSERT_FALSE(seen.empty());
  for (const Pointer pointer : seen) EXPECT_EQ(pointer, Pointer::kHourglass);
  EXPECT_EQ(at_question, Pointer::kDefault);
  Entries expected = {"D:\\Mine", "D:\\Yours"};
  for (const auto& path : Below(kSamples, kFound)) expected.push_back(path);
  EXPECT_EQ(form.folder_list.Items(), expected);
}

TEST_F(SampleFoldersTest, FailuresAreReportedUnderTheirOwnNamesAndTheCommandGoesOn) {
  MainForm& form = Start();
  // The walk's first pass of events fails: reported as the walk's, which goes on.
  fakes_.pump.At(1, [] { throw PlatformError(5, "Invalid procedure call or argument"); });
  // The question itself fails: reported as the command's, which then ends without opening.
  fakes_.dialogs.on_box = [](const FakeDialogs::Box& box) {
    if (box.text == kQuestion) throw PlatformError(7, "Out of memory");
  };
  form.OnSamplesClick();

  EXPECT_EQ(form.folder_list.Items(), Below(kSamples, kFound));
  const auto errors = fakes_.dialogs.Errors();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].text.substr(0, errors[0].text.find("\r\r")),
            "Invalid procedure call or argument\r\nin "
            "VarnokTitle2021/08/31.AddFolder.GetSubDirectories2016 at line 114");
  EXPECT_EQ(errors[1].text.substr(0, errors[1].text.find("\r\r")),
            "Out of memory\r\nin Tessaline2021/08/31.Form1.PushButton9_Click at line 122");
  EXPECT_TRUE(fakes_.shell.started.empty());
  EXPECT_EQ(form.MousePointer(), Pointer::kDefault);
}

}  // namespace
}  // namespace tess::test

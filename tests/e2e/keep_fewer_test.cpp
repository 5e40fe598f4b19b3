// "Keep fewer old backup folders" on the real program: a destination holding three months of an
// entry's dated folders beside other folders, one run that leaves what the rule keeps, one that
// removes nothing more, nothing removed with the box off; and the box's stored value and its
// state with the stamp off.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "e2e/backup_now.h"
#include "e2e/clock_texts.h"
#include "view/control_ids.h"
#include "win32/text.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

constexpr LONGLONG kSecond = 10'000'000;
constexpr LONGLONG kHour = 3600 * kSecond;
constexpr LONGLONG kDay = 24 * kHour;

LONGLONG Ticks(const SYSTEMTIME& t) {
  FILETIME ft{};
  SystemTimeToFileTime(&t, &ft);
  return (static_cast<LONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
SYSTEMTIME At(LONGLONG ticks) {
  const FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME t{};
  FileTimeToSystemTime(&ft, &t);
  return t;
}
// The local day `days` before today, at the hour.
SYSTEMTIME DayBefore(const SYSTEMTIME& now, int days, int hour) {
  SYSTEMTIME midnight = now;
  midnight.wHour = midnight.wMinute = midnight.wSecond = midnight.wMilliseconds = 0;
  return At(Ticks(midnight) - days * kDay + hour * kHour);
}

struct Dated {
  std::wstring name;
  bool kept;
};

// Three months of the entry "Docs", each folder's fate stated as it is made, away from every
// edge a run a few seconds later could cross: a dozen folders of the last day (all stay); four
// a day from 2 to 29 days back (the evening's stays) with a few folders of the other mode,
// dated at midnight (they go); nothing 30 days back; four a day from 31 to 90 days back, where
// the last evening of each week stays (a Sunday's, or 31 days back for the week cut by the edge).
std::vector<Dated> ThreeMonths(const SYSTEMTIME& now) {
  std::vector<Dated> dated;
  for (int k = 0; k < 12; ++k) {
    dated.push_back({L"Docs" + DateTimeStamp(At(Ticks(now) - kHour / 2 - k * 2 * kHour)), true});
  }
  for (int days = 2; days <= 90; ++days) {
    if (days == 30) continue;
    for (int hour : {2, 8, 14, 20}) {
      const SYSTEMTIME t = DayBefore(now, days, hour);
      const bool last_of_group = days < 30 || t.wDayOfWeek == 0 || days == 31;
      dated.push_back({L"Docs" + DateTimeStamp(t), hour == 20 && last_of_group});
    }
    if (days % 9 == 5) dated.push_back({L"Docs" + DayStamp(DayBefore(now, days, 0)), false});
  }
  return dated;
}

class KeepFewerE2eTest : public BackupNowE2eTest {
 protected:
  // A Backup Now click followed to its completion and through the pause after it.
  CompletedRun RunOnce(App& app) {
    CompletedRun run = BackupNowUntilComplete(app);
    EXPECT_FALSE(run.completion.empty()) << std::string(run.shown.begin(), run.shown.end());
    EXPECT_TRUE(WaitUntil([&] { return app.Text(kIdStatusFrame) == kTurnedOff; }, 15s));
    return run;
  }
  static std::set<std::wstring> Names(const std::wstring& folder) {
    const auto names = NamesIn(folder);
    return {names.begin(), names.end()};
  }
};

TEST_F(KeepFewerE2eTest, ARunLeavesWhatTheRuleKeepsAndTheNextRemovesNothingMore) {
  const std::wstring source = tree_ / L"Docs";
  const std::wstring destination = tree_ / L"Backups";
  BuildTree(source, {File("a.txt", "alpha")});
  const SYSTEMTIME now = LocalNow();
  const std::vector<Dated> dated = ThreeMonths(now);
  // Not this entry's: a second source named Docs, another entry beginning the same way, no
  // stamp, no real date, a user's folder, and a file named like a backup.
  const SYSTEMTIME old = DayBefore(now, 60, 3);
  const std::vector<std::wstring> others = {L"Docs (2)" + DateTimeStamp(old),
                                            L"Docs old" + DateTimeStamp(old), L"Docs",
                                            L"DocsDate Feb 30 2021 Time 10 00 00 AM", L"My things"};
  Tree tree;
  for (const Dated& d : dated) tree.push_back(File(win32::Narrow(d.name) + "\\note.txt", "kept"));
  for (const std::wstring& name : others) tree.push_back(Folder(win32::Narrow(name)));
  tree.push_back(File(win32::Narrow(L"Docs" + DateTimeStamp(old)) + ".txt", "a file"));
  BuildTree(destination, tree);
  SeedFolders({source}, destination);
  SeedSetting(L"Keep Fewer Backups", L"On");

  App& app = StartProgram();
  ASSERT_NE(app.Main(), nullptr);
  EXPECT_EQ(app.CheckState(kIdKeepFewerBox), BST_CHECKED);
  const CompletedRun first = RunOnce(app);

  std::set<std::wstring> left = Names(destination);
  std::set<std::wstring> expected(others.begin(), others.end());
  expected.insert(L"Docs" + DateTimeStamp(old) + L".txt");
  int removed = 0;
  for (const Dated& d : dated) {
    if (d.kept) {
      expected.insert(d.name);
      EXPECT_EQ(ReadBytes(destination + L"\\" + d.name + L"\\note.txt"), "kept");
    } else {
      ++removed;
    }
  }
  ASSERT_GT(removed, 200);
  std::vector<std::wstring> added;
  std::set_difference(left.begin(), left.end(), expected.begin(), expected.end(),
                      std::back_inserter(added));
  ASSERT_EQ(added.size(), 1u) << "left " << left.size() << ", expected " << expected.size() + 1;
  EXPECT_TRUE(StampedWithin(added[0], L"Docs", DateTimeStamp, first.before, first.after));
  EXPECT_EQ(left.size(), expected.size() + 1);
  auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(StampedWithin(lines[0], L"Docs was backup saved at ", GeneralDate, first.before,
                            first.after));
  EXPECT_TRUE(StampedWithin(
      lines[1], L"Docs had " + std::to_wstring(removed) + L" older backup folders removed at ",
      GeneralDate, first.before, first.after));

  // A second later nothing more is due to go.
  Sleep(1000);
  const CompletedRun second = RunOnce(app);
  const std::set<std::wstring> after_second = Names(destination);
  EXPECT_EQ(after_second.size(), left.size() + 1);
  EXPECT_TRUE(std::includes(after_second.begin(), after_second.end(), left.begin(), left.end()));
  lines = HistoryLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(StampedWithin(lines[2], L"Docs was backup saved at ", GeneralDate, second.before,
                            second.after));

  // With the box off nothing goes, not even a folder the rule would let go.
  app.Click(kIdKeepFewerBox);
  ASSERT_TRUE(SettingBecomes(L"Keep Fewer Backups", L"Off"));
  const std::wstring due = L"Docs" + DateTimeStamp(DayBefore(now, 40, 1));
  MakeFolders(destination + L"\\" + due);
  Sleep(1000);
  RunOnce(app);
  EXPECT_TRUE(IsFolderOnDisk(destination + L"\\" + due));
  EXPECT_EQ(Names(destination).size(), after_second.size() + 2);
  EXPECT_EQ(HistoryLines().size(), 4u);
}

TEST_F(KeepFewerE2eTest, TheBoxStoresItsValueIsRestoredAndFollowsTheStamp) {
  App& app = StartProgram();
  ASSERT_NE(app.Main(), nullptr);
  EXPECT_EQ(app.CheckState(kIdKeepFewerBox), BST_UNCHECKED);

  // Its place is the control table's (the start-up suite checks every place); a picture to look at.
  EXPECT_GT(app.SaveScreenshot(ArtefactFolder() + L"\\keep-fewer.bmp"), 8);

  app.Click(kIdKeepFewerBox);
  EXPECT_TRUE(SettingBecomes(L"Keep Fewer Backups", L"On"));
  app.Click(kIdStampBox);
  ASSERT_TRUE(SettingBecomes(L"Include Date", L"Off"));
  EXPECT_FALSE(app.Enabled(kIdKeepFewerBox));
  EXPECT_EQ(app.CheckState(kIdKeepFewerBox), BST_CHECKED);

  // Restored at the next start, and still shown disabled while the stamp is off.
  app.Close();
  ASSERT_TRUE(app.WaitForExit());
  App& again = StartProgram();
  ASSERT_NE(again.Main(), nullptr);
  EXPECT_EQ(again.CheckState(kIdKeepFewerBox), BST_CHECKED);
  EXPECT_FALSE(again.Enabled(kIdKeepFewerBox));
  again.Click(kIdStampBox);
  ASSERT_TRUE(SettingBecomes(L"Include Date", L"On"));
  EXPECT_TRUE(again.Enabled(kIdKeepFewerBox));
}

}  // namespace
}  // namespace tess::e2e

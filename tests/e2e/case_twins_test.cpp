// Names that a source folder on a file system telling letter case apart holds as two, and that a
// Windows destination takes as one: a run backs up the ordinal-first name of each pair and says
// NOT saved with the reason, and the next run over the unchanged source rewrites nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "e2e/status_recorder.h"
#include "win32/text.h"
#include "win_support/e2e_fixture.h"
#include "win_support/linux_side.h"

namespace tess::e2e {
namespace {

using namespace tess::test;

class CaseTwinsE2eTest : public EndToEndTest {};

TEST_F(CaseTwinsE2eTest, OnlyTheOrdinalFirstOfEachPairIsBackedUpAndTheNextRunRewritesNothing) {
  if (!UnderWine()) GTEST_SKIP() << "makes its source on Wine's Linux side, where case counts";
  TempTree tree;
  const std::wstring source = tree / L"Twins";
  const std::wstring copy = tree / L"Backups\\Twins";
  const auto made =
      RunLinuxShell("cd " + ShellQuoted(LinuxPath(tree.Path())) +
                    " && mkdir -p Backups Twins/Docs Twins/docs && cd Twins && printf upper >A.txt"
                    " && printf lower >a.txt && printf Docs >Docs/d.txt && printf docs >docs/d.txt"
                    " && printf docs >docs/e.txt");
  ASSERT_TRUE(made && made->exit_code == 0) << (made ? made->output : "no shell");
  SeedSetting(L"StartStopState", L"Off");
  SeedSetting(L"Folders", source + L";");
  SeedSetting(L"Path", tree / L"Backups");
  SeedSetting(L"Include Date", L"Off");
  const std::wstring why = L": 1 of 3 files failed, 1 folder failed, first " + source +
                           L"\\a.txt: not copied, its name differs from " + source +
                           L"\\A.txt only in letter case";

  std::vector<std::pair<std::int64_t, std::int64_t>> changes;  // of the two copies, per run
  for (std::size_t run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    const auto finished = RunToEnd(L"/backup");
    ASSERT_TRUE(finished.has_value()) << "the program did not start or did not end";
    EXPECT_EQ(finished->exit_code, 1u) << finished->output;
    EXPECT_NE(finished->output.find(" with errors in 1 of 1 folders"), std::string::npos)
        << finished->output;
    const auto lines = HistoryLines();
    ASSERT_EQ(lines.size(), run);
    const std::wstring& line = lines.back();
    EXPECT_TRUE(StartsWith(line, L"Twins was NOT backup saved at ")) << win32::Narrow(line);
    EXPECT_EQ(line.substr(std::min(line.find(L": 1 of"), line.size())), why);
    EXPECT_EQ(NamesIn(copy), (std::vector<std::wstring>{L"A.txt", L"Docs"}));
    EXPECT_EQ(NamesIn(copy + L"\\Docs"), std::vector<std::wstring>{L"d.txt"});
    EXPECT_EQ(ReadBytes(copy + L"\\A.txt"), "upper");
    EXPECT_EQ(ReadBytes(copy + L"\\Docs\\d.txt"), "Docs");
    changes.emplace_back(ChangeTimeOf(copy + L"\\A.txt"), ChangeTimeOf(copy + L"\\Docs\\d.txt"));
  }
  EXPECT_EQ(changes[0], changes[1]) << "the second run rewrote a copy";
}

}  // namespace
}  // namespace tess::e2e

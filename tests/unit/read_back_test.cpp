// Reading backups back while left alone: what one run reads, what it decides about a copy that
// no longer matches its manifest, what it keeps across restarts, and what a run does about it:
// a copy mended in place for every folder that links it, one beyond mending copied afresh next
// time, and a failing source told, its good copy kept.
#include "backup/read_back.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/fake_hash.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

TEST(ReadBackRuleTest, EachRunReadsAShareFromWhereTheLastStopped) {
  EXPECT_EQ(ShareOf(5, 100).files, 1u);  // a folder of five files is whole within five runs
  EXPECT_EQ(ShareOf(5, 100).bytes, 1u);
  EXPECT_EQ(ShareOf(0, 0).files, 1u);
  EXPECT_EQ(ShareOf(672 * 3 + 1, 672 * 10).files, 4u);
  EXPECT_EQ(ShareOf(672 * 3 + 1, 672 * 10).bytes, 10u);

  const ManifestLines lines{{"a", {}}, {"b", {}}, {"c", {}}};
  using Order = std::vector<std::string>;
  const auto order = [&](const std::string& position) {
    Order paths;
    for (const std::string* path : ReadBackOrder(lines, position)) paths.push_back(*path);
    return paths;
  };
  const Order all = order("");
  EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), 3u);
  EXPECT_EQ(order(all[0]), (Order{all[1], all[2], all[0]}));
  EXPECT_EQ(order(all[2]), all);
  // A position whose file is gone since still goes on from its place in the order.
  const Order after_gone = order("gone");
  EXPECT_TRUE(after_gone == all || after_gone == (Order{all[1], all[2], all[0]}) ||
              after_gone == (Order{all[2], all[0], all[1]}));
}

// A run reads its byte share unless earlier runs read ahead (a large file), and lends on what it
// read beyond it.
TEST(ReadBackRuleTest, BytesReadAheadAreLentToTheRunsAfter) {
  FakeFileSystem files;
  FakeHash hash;
  ReadBackPlace place{"D:\\B\\Docs", "C:\\Docs", {}, false};
  for (const char* name : {"a", "b", "c", "d"}) {
    files.AddFile(std::string("C:\\Docs\\") + name, std::string(100, *name));
    files.AddFile(std::string("D:\\B\\Docs\\") + name, std::string(100, *name));
    place.lines[name] = {};  // no line matches: each read is a finding, which counts the same
  }
  ReadBack reader(files, hash, [] {});
  const std::uint64_t week = 672 * 250;  // a share of 250 bytes: three files of 100
  ReadBackResult run = reader.Run(place, week, "", 0);
  EXPECT_EQ(run.files, 3u);
  EXPECT_EQ(run.bytes_ahead, 50u);
  run = reader.Run(place, week, run.position, 1000);
  EXPECT_EQ(run.files, 1u);
  EXPECT_EQ(run.bytes_ahead, 850u);
}

TEST(ReadBackRuleTest, ADamagedCopyIsMendedOnlyFromAnUnchangedSourceThatStillMatches) {
  struct Case {
    const char* what;
    ReadBackFacts facts;
    ReadBackVerdict expected;
  };
  // line, copy whole, source unchanged, source read, source matches
  const Case cases[] = {
      {"whole, source unchanged", {true, true, true, true, true}, ReadBackVerdict::kWhole},
      {"whole, source changed", {true, true, false, false, false}, ReadBackVerdict::kWhole},
      {"damaged, source unchanged", {true, false, true, true, true}, ReadBackVerdict::kRepair},
      {"damaged, source changed", {true, false, false, false, false}, ReadBackVerdict::kDamaged},
      {"damaged, source gone", {true, false, false, false, false}, ReadBackVerdict::kDamaged},
      {"damaged, source locked", {true, false, true, false, false}, ReadBackVerdict::kDamaged},
      {"damaged, source damaged too", {true, false, true, true, false}, ReadBackVerdict::kDamaged},
      {"whole, source damaged", {true, true, true, true, false}, ReadBackVerdict::kSourceDamaged},
      {"no manifest line", {false, false, true, true, true}, ReadBackVerdict::kNoLine},
  };
  for (const Case& c : cases) EXPECT_EQ(DecideReadBack(c.facts), c.expected) << c.what;
}

TEST(ReadBackRuleTest, TheKeptStateReadsBackAndWhatCannotBeReadIsLeftOut) {
  const std::map<std::string, EntryReadBack> state{
      {"C:\\Docs", {"a/b.txt", 52428800, {"x y/z.txt", "ä.txt"}}}, {"D:\\Photos", {"", 0, {}}}};
  EXPECT_EQ(ReadReadBackState(ReadBackStateText(state)), state);
  EXPECT_EQ(ReadReadBackState("C:\\Docs|a|0|2|x|").size(), 0u);  // cut short
  EXPECT_EQ(ReadReadBackState("C:\\Docs|a|0|z|x|").size(), 0u);
  EXPECT_EQ(ReadReadBackState("C:\\Docs|a|-1|0|").size(), 0u);
  EXPECT_EQ(ReadReadBackState("C:\\Docs|a|0|0|D:\\P|b|1|").size(), 1u);
}

// A run and a /verify that overlap: each writes what it changed onto the state as it is stored
// by then, so neither loses what the other found.
TEST(ReadBackRuleTest, OverlappingWritersOfTheStateKeepEachOthersFindings) {
  using State = std::map<std::string, EntryReadBack>;
  const State before{{"C:\\Docs", {"a", 0, {"old.txt", "kept.txt"}}}, {"C:\\Gone", {"g", 0, {}}}};
  // The run read on to "b", wrote old.txt afresh and dropped an entry no longer listed.
  const State after{{"C:\\Docs", {"b", 7, {"kept.txt"}}}};
  // Meanwhile a /verify found x.txt beyond mending, and another entry's reading moved on.
  State stored = before;
  stored["C:\\Docs"].distrusted.insert("x.txt");
  stored["D:\\Photos"] = {"p", 3, {"y.txt"}};
  const State expected{{"C:\\Docs", {"b", 7, {"kept.txt", "x.txt"}}},
                       {"D:\\Photos", {"p", 3, {"y.txt"}}}};
  EXPECT_EQ(MergeReadBackState(stored, before, after), expected);
  // What a writer left as it was stays as stored.
  EXPECT_EQ(MergeReadBackState(stored, before, before), stored);
}

constexpr char kDocs[] = "C:\\Docs";
constexpr char kBackups[] = "D:\\Backups";

class ReadBackRunTest : public ::testing::Test {
 protected:
  ReadBackRunTest() {
    fakes_.pump.every_call = nullptr;
    form_.OnLoad();  // stamp on, dated folders linked to the one before
    files_.AddFolder(kBackups);
    form_.destination_box.SetText(kBackups);
    files_.AddFile(std::string(kDocs) + "\\a.txt", "alpha");
    form_.folder_list.Append(kDocs);
  }
  Services WithManifests() {
    Services services = fakes_.Wire();
    services.hash = &hash_;
    return services;
  }
  // One run an hour later than the last; answers its backup folder.
  RunOutcome RunAt(int hour) {
    fakes_.clock.now.hour = hour;
    return form_.Backup().SaveAll(Attendance::kUnattended);
  }
  std::string Copy(int hour) {
    const std::string h = hour > 12 ? "0" + std::to_string(hour - 12) : std::to_string(hour);
    return std::string(kBackups) + "\\DocsDate Aug 31 2021 Time " + h + " 05 06 PM\\a.txt";
  }
  std::string Log() { return files_.Content(form_.History().HistoryLogPath()); }

  FakeServices fakes_;
  FakeFileSystem& files_ = fakes_.files;
  FakeHash hash_;
  MainForm form_{WithManifests()};
};

TEST_F(ReadBackRunTest, ADamagedLinkedCopyIsRepairedInEveryFolderFromItsUnchangedSource) {
  ASSERT_TRUE(RunAt(13).Clean());
  ASSERT_TRUE(RunAt(14).Clean());
  files_.Rot(Copy(13), "alphX");  // the copy both folders share
  const RunOutcome outcome = RunAt(15);
  EXPECT_FALSE(outcome.Clean());
  EXPECT_EQ(outcome.damaged_copies, 1);
  EXPECT_NE(outcome.final_status.find("with 1 damaged backup copy"), std::string::npos);
  EXPECT_EQ(files_.Content(Copy(13)), "alpha");
  EXPECT_TRUE(files_.SameFile(Copy(13), Copy(15)));
  EXPECT_NE(Log().find("Docs: a damaged backup copy was repaired at 8/31/2021 3:05:06 PM: a.txt, "
                       "damaged in 3 backup folders, was written again from its unchanged source"),
            std::string::npos)
      << Log();
  EXPECT_TRUE(RunAt(16).Clean());  // the next clean run clears it
}

TEST_F(ReadBackRunTest, ACopyBeyondMendingIsCopiedAfreshNextAndAFailingSourceKeepsItsCopy) {
  ASSERT_TRUE(RunAt(13).Clean());
  files_.Rot(Copy(13), "alphX");
  files_.Rot(std::string(kDocs) + "\\a.txt", "alphY");  // both bad: nothing to mend from
  EXPECT_EQ(RunAt(14).damaged_copies, 1);
  EXPECT_NE(Log().find("Docs: a damaged backup copy was found at 8/31/2021 2:05:06 PM: a.txt, in "
                       "2 backup folders (D:\\Backups\\DocsDate Aug 31 2021 Time 01 05 06 PM, "
                       "D:\\Backups\\DocsDate Aug 31 2021 Time 02 05 06 PM); it cannot be "
                       "repaired from its source"),
            std::string::npos)
      << Log();
  EXPECT_NE(fakes_.settings.values["Read Back State"].find("|1|a.txt|"), std::string::npos);
  EXPECT_TRUE(RunAt(15).Clean());  // copied afresh from the source as it now is, not linked
  EXPECT_FALSE(files_.SameFile(Copy(14), Copy(15)));
  EXPECT_EQ(files_.Content(Copy(15)), "alphY");
  EXPECT_EQ(fakes_.settings.values["Read Back State"].find("|1|"), std::string::npos);

  files_.Rot(std::string(kDocs) + "\\a.txt", "alphZ");
  EXPECT_EQ(RunAt(16).damaged_copies, 1);
  EXPECT_EQ(files_.Content(Copy(16)), "alphY");  // linked to the good copy, never replaced
  EXPECT_NE(Log().find("Docs: the source may be damaged, found at 8/31/2021 4:05:06 PM: "
                       "C:\\Docs\\a.txt no longer matches its backup copy"),
            std::string::npos)
      << Log();
}

// A /verify that ends while a run copies: what it found outlasts the run's own writing.
TEST_F(ReadBackRunTest, WhatAVerifyKeepsWhileARunCopiesOutlastsTheRun) {
  files_.AddFile(std::string(kDocs) + "\\b.txt", "beta");
  ASSERT_TRUE(RunAt(13).Clean());
  std::string& stored = fakes_.settings.values["Read Back State"];
  const std::string position = ReadReadBackState(stored)[kDocs].position;
  fakes_.pump.At(1, [&] {
    std::map<std::string, EntryReadBack> state = ReadReadBackState(stored);
    state[kDocs].distrusted.insert("c.txt");
    stored = ReadBackStateText(state);
  });
  ASSERT_TRUE(RunAt(14).Clean());
  const EntryReadBack kept = ReadReadBackState(stored)[kDocs];
  EXPECT_NE(kept.position, position);
  EXPECT_EQ(kept.distrusted, std::set<std::string>{"c.txt"});
}

}  // namespace
}  // namespace tess::test

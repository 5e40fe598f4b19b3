// The date and time texts the program writes, produced here by Windows' own formatting for every
// second of a span, so a text written at an unknown moment of a run can be checked exactly; and
// with them what a run leaves stamped: its backup folders and the history log's "saved" lines.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "win_support/temp_tree.h"

namespace tess::e2e {

SYSTEMTIME LocalNow();
// Every whole second from first to last, both included (local times).
std::vector<SYSTEMTIME> SecondsBetween(const SYSTEMTIME& first, const SYSTEMTIME& last);

// The locale's general date: short date, a blank, long time ("8/31/2021 4:05:06 PM").
std::wstring GeneralDate(const SYSTEMTIME& t);
// "Aug 31 2021".
std::wstring DayStamp(const SYSTEMTIME& t);
// "Date Aug 31 2021 Time 04 05 06 PM".
std::wstring DateTimeStamp(const SYSTEMTIME& t);

// Whether a text is head, then the stamp (GeneralDate, DayStamp or DateTimeStamp) of some
// whole second from first to last, then tail; says what was expected when it is not.
using Stamp = std::wstring (*)(const SYSTEMTIME&);
::testing::AssertionResult StampedWithin(const std::wstring& text, const std::wstring& head,
                                         Stamp stamp, const SYSTEMTIME& first,
                                         const SYSTEMTIME& last, const std::wstring& tail = L"");

// The two checks of what a run leaves stop at a count that differs (under
// ASSERT_NO_FATAL_FAILURE the test stops there too).
// A backup folder the destination should hold: its name before the stamp, and its tree.
struct StampedCopy {
  std::wstring name;
  test::Tree tree;
};

// The destination holds exactly these folders, in the order of their names: each one's name,
// then the stamp of a second from first to last, holding its tree.
void ExpectStampedCopies(const std::wstring& destination, const std::vector<StampedCopy>& copies,
                         Stamp stamp, const SYSTEMTIME& first, const SYSTEMTIME& last);

// The history log holds exactly one "<name> was backup saved at <second>" line per name, in
// this order, each second from first to last.
void ExpectSavedLines(const std::vector<std::wstring>& names, const SYSTEMTIME& first,
                      const SYSTEMTIME& last);

}  // namespace tess::e2e

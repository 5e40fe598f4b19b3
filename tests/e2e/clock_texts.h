// The date and time texts the program writes, produced here by Windows' own formatting for every
// second of a span, so a text written at an unknown moment of a run can be checked exactly.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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

// True when the condition holds for some whole second of the span.
bool AnySecond(const SYSTEMTIME& first, const SYSTEMTIME& last,
               const std::function<bool(const SYSTEMTIME&)>& holds);

}  // namespace tess::e2e

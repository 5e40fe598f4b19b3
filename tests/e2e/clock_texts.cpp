#include "e2e/clock_texts.h"

#include "win_support/e2e_fixture.h"
#include "win_support/files.h"

namespace tess::e2e {

namespace {
std::wstring Date(const SYSTEMTIME& t, DWORD flags, const wchar_t* format) {
  wchar_t text[128] = {};
  const int n = GetDateFormatW(LOCALE_USER_DEFAULT, flags, &t, format, text, 128);
  return std::wstring(text, n > 1 ? static_cast<size_t>(n - 1) : 0);
}

std::wstring Time(const SYSTEMTIME& t, const wchar_t* format) {
  wchar_t text[128] = {};
  const int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, format, text, 128);
  return std::wstring(text, n > 1 ? static_cast<size_t>(n - 1) : 0);
}

ULONGLONG Ticks(const SYSTEMTIME& t) {
  FILETIME ft = {};
  SystemTimeToFileTime(&t, &ft);
  return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

constexpr ULONGLONG kTicksPerSecond = 10'000'000;
}  // namespace

SYSTEMTIME LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return t;
}

std::vector<SYSTEMTIME> SecondsBetween(const SYSTEMTIME& first, const SYSTEMTIME& last) {
  std::vector<SYSTEMTIME> seconds;
  const ULONGLONG end = Ticks(last);
  for (ULONGLONG at = Ticks(first) / kTicksPerSecond * kTicksPerSecond; at <= end;
       at += kTicksPerSecond) {
    const FILETIME ft{static_cast<DWORD>(at), static_cast<DWORD>(at >> 32)};
    SYSTEMTIME t;
    FileTimeToSystemTime(&ft, &t);
    seconds.push_back(t);
  }
  return seconds;
}

std::wstring GeneralDate(const SYSTEMTIME& t) {
  return Date(t, DATE_SHORTDATE, nullptr) + L" " + Time(t, nullptr);
}

std::wstring DayStamp(const SYSTEMTIME& t) { return Date(t, 0, L"MMM d yyyy"); }

std::wstring DateTimeStamp(const SYSTEMTIME& t) {
  return L"Date " + DayStamp(t) + L" Time " + Time(t, L"hh mm ss tt");
}

::testing::AssertionResult StampedWithin(const std::wstring& text, const std::wstring& head,
                                         Stamp stamp, const SYSTEMTIME& first,
                                         const SYSTEMTIME& last, const std::wstring& tail) {
  const std::vector<SYSTEMTIME> seconds = SecondsBetween(first, last);
  for (const SYSTEMTIME& t : seconds) {
    if (text == head + stamp(t) + tail) return ::testing::AssertionSuccess();
  }
  std::wstring expected = head + stamp(first) + tail;
  if (seconds.size() > 1) expected += L" (or a later second up to " + stamp(last) + L")";
  return ::testing::AssertionFailure() << "\"" << text << "\"\n   is not \"" << expected << "\"";
}

void ExpectStampedCopies(const std::wstring& destination, const std::vector<StampedCopy>& copies,
                         Stamp stamp, const SYSTEMTIME& first, const SYSTEMTIME& last) {
  const auto folders = test::NamesIn(destination);
  ASSERT_EQ(folders.size(), copies.size());
  for (size_t i = 0; i < copies.size(); ++i) {
    EXPECT_TRUE(StampedWithin(folders[i], copies[i].name, stamp, first, last));
    EXPECT_TRUE(test::HoldsTree(destination + L"\\" + folders[i], copies[i].tree));
  }
}

void ExpectSavedLines(const std::vector<std::wstring>& names, const SYSTEMTIME& first,
                      const SYSTEMTIME& last) {
  const auto lines = test::HistoryLines();
  ASSERT_EQ(lines.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_TRUE(
        StampedWithin(lines[i], names[i] + L" was backup saved at ", GeneralDate, first, last));
  }
}

}  // namespace tess::e2e

#include "win32/win_clock.h"

#include <windows.h>

#include "base/calendar.h"
#include "win32/text.h"

namespace tess::win32 {

namespace {
std::string LocaleText(LCTYPE type) {
  wchar_t buffer[128] = {};
  const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 128);
  return n > 1 ? Narrow(buffer, static_cast<size_t>(n - 1)) : std::string();
}

SYSTEMTIME ToSystemTime(const LocalTime& t) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  st.wMilliseconds = static_cast<WORD>(t.millisecond);
  return st;
}
}  // namespace

// Seeded from the time of day, so each start draws differently.
WinClock::WinClock() : random_(static_cast<unsigned>(SecondsSinceMidnight() * 1000)) {
  LARGE_INTEGER frequency;
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
    counts_per_second_ = static_cast<double>(frequency.QuadPart);
  }
}

LocalTime WinClock::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return LocalTime{st.wYear,   st.wMonth,  st.wDay,         st.wHour,
                   st.wMinute, st.wSecond, st.wMilliseconds};
}

double WinClock::SecondsSinceMidnight() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return st.wHour * 3600.0 + st.wMinute * 60.0 + st.wSecond + st.wMilliseconds / 1000.0;
}

double WinClock::MonotonicSeconds() {
  // One source for the whole run, so readings never step between two counters.
  if (counts_per_second_ > 0) {
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / counts_per_second_;
  }
  return static_cast<double>(GetTickCount64()) / 1000.0;
}

namespace {
// FILETIME counts 100-nanosecond ticks since 1601-01-01; 1970 is this many ticks later.
double SecondsSince1970(LONGLONG ticks) {
  constexpr LONGLONG kUnixEpochTicks = 116444736000000000LL;
  return static_cast<double>(ticks - kUnixEpochTicks) / 1e7;
}

double SecondsSince1970(const FILETIME& time) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = time.dwLowDateTime;
  ticks.HighPart = time.dwHighDateTime;
  return SecondsSince1970(static_cast<LONGLONG>(ticks.QuadPart));
}
}  // namespace

double WinClock::UtcSeconds() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return SecondsSince1970(now);
}

namespace {
constexpr LONGLONG kTicksPerMinute = 600'000'000;

LONGLONG TicksOf(const SYSTEMTIME& time) {
  FILETIME file_time = {};
  if (!SystemTimeToFileTime(&time, &file_time)) return 0;
  return static_cast<LONGLONG>((static_cast<ULONGLONG>(file_time.dwHighDateTime) << 32) |
                               file_time.dwLowDateTime);
}

// When in `year` a zone's change of clocks falls, as wall-clock ticks: a date of that year, or
// "the n-th (5: the last) weekday of a month" each year; 0 when the zone has no such change.
LONGLONG ChangeInYear(const SYSTEMTIME& rule, WORD year) {
  if (rule.wMonth == 0 || (rule.wYear != 0 && rule.wYear != year)) return 0;
  SYSTEMTIME at = rule;
  at.wYear = year;
  at.wMilliseconds = 0;
  if (rule.wYear == 0) {
    SYSTEMTIME first = at;
    first.wDay = 1;
    FILETIME as_file = {};
    SystemTimeToFileTime(&first, &as_file);
    FileTimeToSystemTime(&as_file, &first);  // fills in the weekday of the 1st
    const int day = 1 + (rule.wDayOfWeek + 7 - first.wDayOfWeek) % 7 + 7 * (rule.wDay - 1);
    const int month_days = static_cast<int>(DaysInMonth(year, rule.wMonth));
    at.wDay = static_cast<WORD>(day > month_days ? day - 7 : day);
  }
  return TicksOf(at);
}
}  // namespace

// Worked out here rather than by TzSpecificLocalTimeToSystemTime, which Wine 8 gets wrong for a
// zone it does not list (it takes every date of such a zone for summer time).
double WinClock::UtcSecondsOf(const LocalTime& local) {
  const SYSTEMTIME wall = ToSystemTime(local);
  const LONGLONG ticks = TicksOf(wall);
  // The zone's rules for the date's own year where the system keeps rules by year.
  TIME_ZONE_INFORMATION zone = {};
  if (!GetTimeZoneInformationForYear(wall.wYear, nullptr, &zone) &&
      GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) {
    return SecondsSince1970(ticks);
  }
  LONG bias = zone.Bias + zone.StandardBias;  // minutes from local time to UTC
  const LONGLONG summer = ChangeInYear(zone.DaylightDate, wall.wYear);  // on the standard clock
  const LONGLONG winter = ChangeInYear(zone.StandardDate, wall.wYear);  // on the summer clock
  if (summer != 0 && winter != 0) {
    const bool in_summer =
        summer < winter ? ticks >= summer && ticks < winter : ticks >= summer || ticks < winter;
    if (in_summer) bias = zone.Bias + zone.DaylightBias;
  }
  return SecondsSince1970(ticks + bias * kTicksPerMinute);
}

std::string WinClock::NumberText(double value, int decimals) {
  wchar_t plain[64];
  swprintf(plain, 64, L"%.*f", decimals, value);
  // The locale's own marks and grouping, with the decimals asked for.
  const auto number = [](LCTYPE type) {
    DWORD value = 0;
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER,
                    reinterpret_cast<LPWSTR>(&value), sizeof(value) / sizeof(wchar_t));
    return static_cast<UINT>(value);
  };
  wchar_t decimal_mark[8] = L".";
  wchar_t thousand_mark[8] = L",";
  wchar_t grouping[16] = L"3;0";
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal_mark, 8);
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousand_mark, 8);
  GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SGROUPING, grouping, 16);
  NUMBERFMTW format = {};
  format.NumDigits = static_cast<UINT>(decimals);
  format.LeadingZero = number(LOCALE_ILZERO);
  // "3;0" groups by three throughout; "3;2;0" (India) is 32 here.
  format.Grouping = grouping[0] >= L'0' && grouping[0] <= L'9' ? grouping[0] - L'0' : 3;
  if (grouping[1] == L';' && grouping[2] >= L'1' && grouping[2] <= L'9') {
    format.Grouping = format.Grouping * 10 + (grouping[2] - L'0');
  }
  format.lpDecimalSep = decimal_mark;
  format.lpThousandSep = thousand_mark;
  format.NegativeOrder = number(LOCALE_INEGNUMBER);
  wchar_t text[96];
  if (GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, plain, &format, text, 96) > 0) {
    return Narrow(text);
  }
  return Narrow(plain);
}

std::string WinClock::MonthAbbreviation(int month) {
  if (month < 1 || month > 12) return "";
  const std::string name = LocaleText(LOCALE_SABBREVMONTHNAME1 + static_cast<LCTYPE>(month - 1));
  if (!name.empty()) return name;
  static const char* kEnglish[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return kEnglish[month - 1];
}

std::string WinClock::AmPmDesignator(bool pm) {
  const std::string text = LocaleText(pm ? LOCALE_S2359 : LOCALE_S1159);
  if (!text.empty()) return text;
  return pm ? "PM" : "AM";
}

std::string WinClock::GeneralDate(const LocalTime& t) {
  const SYSTEMTIME st = ToSystemTime(t);
  wchar_t date[128] = {};
  wchar_t time[128] = {};
  const int nd =
      GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 128, nullptr);
  std::string text = nd > 1 ? Narrow(date, static_cast<size_t>(nd - 1)) : std::string();
  if (t.hour == 0 && t.minute == 0 && t.second == 0) return text;
  const int nt = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, time, 128);
  if (nt > 1) text += " " + Narrow(time, static_cast<size_t>(nt - 1));
  return text;
}

double WinClock::RandomFraction() {
  return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}

}  // namespace tess::win32

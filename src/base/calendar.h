// Days of the proleptic Gregorian calendar counted from 1 January 1970: the one rule both the
// stored due time and the age of a dated backup folder go by.
#pragma once

#include <cstdint>

namespace tess {

// Days from 1970-01-01 to a date (negative before it); month 1 to 12.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day);
// The date that many days from 1970-01-01.
void CivilFromDays(std::int64_t days, std::int64_t* year, unsigned* month, unsigned* day);

}  // namespace tess

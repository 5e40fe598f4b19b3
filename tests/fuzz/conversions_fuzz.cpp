// Stored numbers: any text converts or fails with the runtime's own two errors, and whole
// numbers convert exactly or overflow exactly at the 16-bit bounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/conversions.h"
#include "base/platform_error.h"
#include "fuzz/fuzz_input.h"

namespace {

// The exact value of an optionally signed run of decimal digits, clamped far beyond 16 bits;
// false for anything else.
bool WholeNumber(const std::string& text, long long* value) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const auto last = text.find_last_not_of(" \t");
  std::size_t i = first;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  if (i > last) return false;
  long long v = 0;
  for (; i <= last; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > 1000000) v = 1000000;
  }
  *value = negative ? -v : v;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tess::fuzz::FuzzInput input(data, size);
  const std::string& text = input.All();
  long long expected = 0;
  const bool whole = WholeNumber(text, &expected);
  try {
    const short value = tess::ToInteger16(text);
    if (whole) FUZZ_CHECK(value == expected, text);
  } catch (const tess::PlatformError& e) {
    FUZZ_CHECK(e.Number() == tess::kErrTypeMismatch || e.Number() == tess::kErrOverflow, text);
    if (whole) {
      FUZZ_CHECK(e.Number() == tess::kErrOverflow, text);
      FUZZ_CHECK(expected < -32768 || expected > 32767, text);
    }
  }
  return 0;
}

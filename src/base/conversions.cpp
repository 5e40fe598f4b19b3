#include "base/conversions.h"

#include <cmath>
#include <cstdlib>

#include "base/platform_error.h"

namespace tess {

short ToInteger16(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  const auto last = text.find_last_not_of(" \t");
  if (first == std::string::npos) throw PlatformError(kErrTypeMismatch, "Type mismatch");
  const std::string body = text.substr(first, last - first + 1);
  // Only plain decimal numbers: an optional sign, digits, an optional fraction.
  size_t i = 0;
  if (body[i] == '+' || body[i] == '-') ++i;
  size_t digits = 0;
  while (i < body.size() && body[i] >= '0' && body[i] <= '9') ++i, ++digits;
  if (i < body.size() && body[i] == '.') {
    ++i;
    while (i < body.size() && body[i] >= '0' && body[i] <= '9') ++i, ++digits;
  }
  if (digits == 0 || i != body.size()) throw PlatformError(kErrTypeMismatch, "Type mismatch");
  const double value = std::nearbyint(std::strtod(body.c_str(), nullptr));  // half to even
  if (value < -32768.0 || value > 32767.0) throw PlatformError(kErrOverflow, "Overflow");
  return static_cast<short>(value);
}

}  // namespace tess

// Text-to-number conversion of stored settings.
#pragma once

#include <string>

namespace tess {

// Converts stored text to a 16-bit signed integer the way the settings are read: surrounding
// blanks are ignored, a fraction rounds half to even, non-numeric text throws "Type mismatch"
// and a value outside -32768..32767 throws "Overflow" (both PlatformError).
short ToInteger16(const std::string& text);

}  // namespace tess

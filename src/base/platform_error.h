// The one error type every platform operation throws: a number and the runtime's description.
#pragma once

#include <stdexcept>
#include <string>

namespace tess {

class PlatformError : public std::runtime_error {
 public:
  PlatformError(long number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  long Number() const { return number_; }

 private:
  long number_;
};

// Numbers the program's own failures use, so reports read the same as the runtime's.
inline constexpr long kErrInvalidArgument = 5;    // "Invalid procedure call or argument"
inline constexpr long kErrOverflow = 6;           // "Overflow"
inline constexpr long kErrSubscript = 9;          // "Subscript out of range"
inline constexpr long kErrTypeMismatch = 13;      // "Type mismatch"
inline constexpr long kErrFileNotFound = 53;      // "File not found"
inline constexpr long kErrPermissionDenied = 70;  // "Permission denied"
inline constexpr long kErrPathNotFound = 76;      // "Path not found"

// Further file-system failures, numbered as the runtime numbers them.
inline constexpr long kErrBadFileName = 52;        // "Bad file name or number"
inline constexpr long kErrFileExists = 58;         // "File already exists"
inline constexpr long kErrDiskFull = 61;           // "Disk full"
inline constexpr long kErrDeviceUnavailable = 68;  // "Device unavailable"

}  // namespace tess

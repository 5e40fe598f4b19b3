// Owners for the kernel handles the file-system layer opens, so every path closes them.
#pragma once

#include <windows.h>

#include <utility>

namespace tess::win32 {

// A handle closed with CloseFn; Invalid is the value the opening API returns on failure.
template <typename CloseFn, HANDLE (*Invalid)()>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, Invalid());
    }
    return *this;
  }
  ~UniqueHandle() { Close(); }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != Invalid() && handle_ != nullptr; }
  void Close() {
    if (*this) CloseFn()(handle_);
    handle_ = Invalid();
  }

 private:
  HANDLE handle_ = Invalid();
};

struct CloseKernelHandle {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
struct CloseFindHandle {
  void operator()(HANDLE h) const { FindClose(h); }
};
inline HANDLE InvalidHandle() { return INVALID_HANDLE_VALUE; }

// CreateFileW results.
using FileHandle = UniqueHandle<CloseKernelHandle, InvalidHandle>;
// FindFirstFileExW results.
using FindHandle = UniqueHandle<CloseFindHandle, InvalidHandle>;

}  // namespace tess::win32

// RAII owners for the Win32 handles the layer keeps beyond one statement.
#pragma once

#include <windows.h>

#include <utility>

namespace tess::win32 {

// Traits give the handle type, its invalid value and how to close it.
template <typename Traits>
class UniqueHandle {
  using H = typename Traits::Handle;
  static H Invalid() { return Traits::Invalid(); }

 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H h) : h_(h) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      h_ = std::exchange(other.h_, Invalid());
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  H Get() const { return h_; }
  H* Put() {
    Reset();
    return &h_;
  }
  bool Valid() const { return h_ != Invalid(); }
  explicit operator bool() const { return Valid(); }
  H get() const { return h_; }
  void Close() { Reset(); }
  // Gives up ownership without closing: for a handle something else has already closed.
  H Release() { return std::exchange(h_, Invalid()); }
  void Reset(H h = Invalid()) {
    if (h_ != Invalid()) Traits::Close(h_);
    h_ = h;
  }

 private:
  H h_ = Traits::Invalid();
};

struct KeyTraits {
  using Handle = HKEY;
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY k) { RegCloseKey(k); }
};
struct FileTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct ObjectTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { CloseHandle(h); }
};
struct FindTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { FindClose(h); }
};

using UniqueKey = UniqueHandle<KeyTraits>;
using UniqueFile = UniqueHandle<FileTraits>;
using UniqueObject = UniqueHandle<ObjectTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
// The names the file-system layer uses.
using FileHandle = UniqueFile;
using FindHandle = UniqueFind;

}  // namespace tess::win32

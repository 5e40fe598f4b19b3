#include "win32/single_copy.h"

#include <windows.h>

namespace tess::win32 {

namespace {
// "Local\": the object belongs to this log-on session, so other users' copies do not count.
constexpr wchar_t kClaimName[] = L"Local\\Tessaline.WindowCopy";
}  // namespace

SessionClaim::SessionClaim() {
  mutex_.Reset(CreateMutexW(nullptr, FALSE, kClaimName));
  if (!mutex_.Valid()) {
    held_ = true;
    return;
  }
  held_ = GetLastError() != ERROR_ALREADY_EXISTS;
  if (!held_) mutex_.Reset();
}

}  // namespace tess::win32

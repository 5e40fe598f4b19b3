#include "win32/single_copy.h"

#include <windows.h>

namespace tess::win32 {

namespace {
// "Local\": the object belongs to this log-on session, so other users' copies do not count.
constexpr wchar_t kClaimName[] = L"Local\\Tessaline.WindowCopy";
constexpr wchar_t kShowRequestName[] = L"Tessaline.ShowRunningCopy";
constexpr wchar_t kOutcomeStoredName[] = L"Tessaline.LatestOutcomeStored";
constexpr UINT kShowRequestPatienceMs = 5000;
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

RunningCopyMessages::RunningCopyMessages()
    : show_request(RegisterWindowMessageW(kShowRequestName)),
      outcome_stored(RegisterWindowMessageW(kOutcomeStoredName)) {}

bool ShowRunningCopy(const wchar_t* window_class) {
  const UINT request = RunningCopyMessages().show_request;
  const HWND running = FindWindowW(window_class, nullptr);
  if (request == 0 || running == nullptr) return false;
  // The new start was the user's own, so it may hand the foreground on to the running copy.
  DWORD process_id = 0;
  GetWindowThreadProcessId(running, &process_id);
  AllowSetForegroundWindow(process_id);
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutW(running, request, 0, 0, SMTO_ABORTIFHUNG, kShowRequestPatienceMs,
                           &answer)) {
    return false;
  }
  return static_cast<LRESULT>(answer) == kShownAnswer;
}

void TellRunningCopyOutcomeStored(const wchar_t* window_class) {
  const UINT word = RunningCopyMessages().outcome_stored;
  const HWND running = FindWindowW(window_class, nullptr);
  if (word != 0 && running != nullptr) PostMessageW(running, word, 0, 0);
}

}  // namespace tess::win32

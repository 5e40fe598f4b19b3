#include "win_support/remote_memory.h"

namespace tess::test {

RemoteMemory::RemoteMemory(DWORD process_id, size_t bytes)
    : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                           process_id)) {
  if (process_.Valid()) {
    base_ = static_cast<char*>(
        VirtualAllocEx(process_.Get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
}

RemoteMemory::~RemoteMemory() {
  if (base_ != nullptr) VirtualFreeEx(process_.Get(), base_, 0, MEM_RELEASE);
}

bool RemoteMemory::Write(size_t offset, const void* data, size_t bytes) const {
  return Valid() && WriteProcessMemory(process_.Get(), At(offset), data, bytes, nullptr) != FALSE;
}

bool RemoteMemory::Read(size_t offset, void* data, size_t bytes) const {
  return Valid() && ReadProcessMemory(process_.Get(), At(offset), data, bytes, nullptr) != FALSE;
}

std::wstring RemoteMemory::ReadText(size_t offset, size_t max_chars) const {
  std::wstring text(max_chars, L'\0');
  if (!Read(offset, text.data(), max_chars * sizeof(wchar_t))) return L"";
  text.resize(wcsnlen(text.c_str(), max_chars));
  return text;
}

}  // namespace tess::test

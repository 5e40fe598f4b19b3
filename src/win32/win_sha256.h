// SHA-256 by Windows' own cryptography (CNG, bcrypt.dll): the hash behind every manifest.
#pragma once

// <windows.h> first: bcrypt.h builds on it.
// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on

#include <memory>

#include "ports/content_hash.h"

namespace tess::win32 {

class WinSha256 : public ContentHash {
 public:
  // Opens the algorithm once; a provider that cannot be opened makes every Start answer null.
  WinSha256();
  ~WinSha256() override;
  WinSha256(const WinSha256&) = delete;
  WinSha256& operator=(const WinSha256&) = delete;

  std::unique_ptr<HashRun> Start() override;

 private:
  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
};

}  // namespace tess::win32

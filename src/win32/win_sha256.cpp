#include "win32/win_sha256.h"

#include <cstdint>
#include <limits>

namespace tess::win32 {
namespace {

bool Succeeded(NTSTATUS status) { return status >= 0; }

// One hash object; CNG allocates its state itself when given no buffer.
class CngHashRun : public HashRun {
 public:
  explicit CngHashRun(BCRYPT_HASH_HANDLE hash) : hash_(hash) {}
  ~CngHashRun() override { BCryptDestroyHash(hash_); }
  CngHashRun(const CngHashRun&) = delete;
  CngHashRun& operator=(const CngHashRun&) = delete;

  void Add(const char* data, std::size_t size) override {
    while (ok_ && size > 0) {
      const ULONG chunk = size > std::numeric_limits<ULONG>::max() / 2
                              ? std::numeric_limits<ULONG>::max() / 2
                              : static_cast<ULONG>(size);
      // CNG takes the bytes as non-const but only reads them.
      ok_ = Succeeded(
          BCryptHashData(hash_, reinterpret_cast<PUCHAR>(const_cast<char*>(data)), chunk, 0));
      data += chunk;
      size -= chunk;
    }
  }

  bool Finish(Sha256Digest* digest) override {
    return ok_ && Succeeded(BCryptFinishHash(hash_, digest->data(),
                                             static_cast<ULONG>(digest->size()), 0));
  }

 private:
  BCRYPT_HASH_HANDLE hash_;
  bool ok_ = true;
};

}  // namespace

WinSha256::WinSha256() {
  if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm_, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    algorithm_ = nullptr;
  }
}

WinSha256::~WinSha256() {
  if (algorithm_ != nullptr) BCryptCloseAlgorithmProvider(algorithm_, 0);
}

// An algorithm handle may make hash objects on several threads at once; each object is then
// used by one thread.
std::unique_ptr<HashRun> WinSha256::Start() {
  if (algorithm_ == nullptr) return nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!Succeeded(BCryptCreateHash(algorithm_, &hash, nullptr, 0, nullptr, 0, 0))) return nullptr;
  return std::make_unique<CngHashRun>(hash);
}

}  // namespace tess::win32

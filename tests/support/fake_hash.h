// A stand-in for Windows' SHA-256 in host tests: four FNV-1a lanes, so any changed byte changes
// the digest. Not SHA-256; the real one is tested under Wine against sha256sum.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "ports/content_hash.h"

namespace tess::test {

class FakeHash : public ContentHash {
 public:
  std::unique_ptr<HashRun> Start() override {
    ++runs;
    return std::make_unique<Run>();
  }
  std::atomic<int> runs{0};  // files hashed

 private:
  class Run : public HashRun {
   public:
    void Add(const char* data, std::size_t size) override {
      for (std::size_t i = 0; i < size; ++i) {
        for (std::uint64_t& lane : lanes_)
          lane = (lane ^ static_cast<std::uint8_t>(data[i])) * kPrime;
      }
    }
    bool Finish(Sha256Digest* digest) override {
      for (std::size_t i = 0; i < 32; ++i)
        (*digest)[i] = static_cast<std::uint8_t>(lanes_[i / 8] >> (i % 8 * 8));
      return true;
    }

   private:
    static constexpr std::uint64_t kPrime = 1099511628211ull;
    std::array<std::uint64_t, 4> lanes_{14695981039346656037ull, 1, 2, 3};
  };
};

}  // namespace tess::test

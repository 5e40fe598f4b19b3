// The SHA-256 of a file's bytes as they go past, so a copy can prove what it wrote without
// reading it again. Windows' own (CNG) in the program; a stand-in in host tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tess {

using Sha256Digest = std::array<std::uint8_t, 32>;

// One file's hash as it is made, on one thread.
class HashRun {
 public:
  virtual ~HashRun() = default;
  virtual void Add(const char* data, std::size_t size) = 0;
  // The hash of everything added; false when the system failed to make it (the file then goes
  // without a line, and nothing else is lost).
  virtual bool Finish(Sha256Digest* digest) = 0;
};

class ContentHash {
 public:
  virtual ~ContentHash() = default;
  // A new run; may be called from any thread. Null when the system cannot make one.
  virtual std::unique_ptr<HashRun> Start() = 0;
};

}  // namespace tess

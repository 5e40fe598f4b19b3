// Turns a fuzzer's bytes into the texts a target needs: a reader that hands out pieces of the
// input until it runs dry, so one input drives several arguments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tess::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : text_(reinterpret_cast<const char*>(data), size) {}

  const std::string& All() const { return text_; }
  bool Empty() const { return pos_ >= text_.size(); }
  // The text up to the next NUL (or the end); the NUL is consumed.
  std::string Piece() {
    if (Empty()) return "";
    const auto end = text_.find('\0', pos_);
    const auto stop = end == std::string::npos ? text_.size() : end;
    std::string piece = text_.substr(pos_, stop - pos_);
    pos_ = stop + 1;
    return piece;
  }
  std::uint8_t Byte() { return Empty() ? 0 : static_cast<std::uint8_t>(text_[pos_++]); }
  // Every remaining piece.
  std::vector<std::string> Pieces() {
    std::vector<std::string> pieces;
    while (!Empty()) pieces.push_back(Piece());
    return pieces;
  }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

// A broken property is a finding: abort, so libFuzzer keeps the input and the replay test fails.
[[noreturn]] void Fail(const char* property, const std::string& input);

#define FUZZ_CHECK(condition, input) \
  ((condition) ? static_cast<void>(0) : ::tess::fuzz::Fail(#condition, (input)))

}  // namespace tess::fuzz

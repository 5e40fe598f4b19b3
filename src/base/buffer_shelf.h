// Large buffers lent out for one file's reading and given back for the next, so reading many
// small files does not cost a fresh allocation (a new mapping under Wine) for each. They are not
// kept per thread: under mingw-w64 a thread_local object's destructor runs after its storage has
// been freed when a pool's thread ends, which crashed the program.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

namespace tess {

class BufferShelf {
 private:
  struct Free {
    std::size_t alignment;
    void operator()(char* buffer) const;
  };
  using Buffer = std::unique_ptr<char[], Free>;

 public:
  // bytes each; alignment: a power of two (a page, for reads past the system's cache).
  explicit BufferShelf(std::size_t bytes, std::size_t alignment = alignof(std::max_align_t));

  // One buffer while it lives; back on the shelf after.
  class Lease {
   public:
    Lease(BufferShelf& shelf, Buffer buffer) : shelf_(shelf), buffer_(std::move(buffer)) {}
    Lease(Lease&&) = default;
    ~Lease() { shelf_.Give(std::move(buffer_)); }
    char* get() const { return buffer_.get(); }

   private:
    BufferShelf& shelf_;
    Buffer buffer_;
  };

  // Null inside when memory ran out.
  Lease Take();
  std::size_t Bytes() const { return bytes_; }

 private:
  void Give(Buffer buffer);

  const std::size_t bytes_;
  const std::size_t alignment_;
  std::mutex lock_;
  std::vector<Buffer> free_;  // under lock_
};

}  // namespace tess

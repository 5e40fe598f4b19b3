#include "base/buffer_shelf.h"

#include <new>

namespace tess {
namespace {

// More than the threads that read at once: what a burst of threads took beyond is freed.
constexpr std::size_t kKept = 8;

}  // namespace

void BufferShelf::Free::operator()(char* buffer) const {
  ::operator delete[](buffer, std::align_val_t{alignment});
}

BufferShelf::BufferShelf(std::size_t bytes, std::size_t alignment)
    : bytes_(bytes), alignment_(alignment) {}

BufferShelf::Lease BufferShelf::Take() {
  {
    std::lock_guard guard(lock_);
    if (!free_.empty()) {
      Buffer buffer = std::move(free_.back());
      free_.pop_back();
      return Lease(*this, std::move(buffer));
    }
  }
  auto* memory =
      static_cast<char*>(::operator new[](bytes_, std::align_val_t{alignment_}, std::nothrow));
  return Lease(*this, Buffer(memory, Free{alignment_}));
}

void BufferShelf::Give(Buffer buffer) {
  if (!buffer) return;
  std::lock_guard guard(lock_);
  if (free_.size() < kKept) free_.push_back(std::move(buffer));
}

}  // namespace tess

#include "platform/win32/copy_pool.h"

#include <system_error>
#include <utility>

namespace tess::win32 {
namespace {

// Jobs queued per worker: enough that a worker finds the next file ready when it finishes one,
// few enough that the walk stays close behind the copies.
constexpr size_t kJobsQueuedPerWorker = 4;
// A message left in the queue by an event pump that stopped early raises no new wake-up; the
// owner looks again this often.
constexpr DWORD kRecheckMs = 50;

}  // namespace

CopyPool::CopyPool(int workers, std::function<void()> events)
    : workers_(workers < 1 ? 1 : workers),
      events_(std::move(events)),
      queue_limit_(kJobsQueuedPerWorker * static_cast<size_t>(workers_)),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  if (!wake_) throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
}

CopyPool::~CopyPool() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  work_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void CopyPool::Submit(Job job) {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (queue_.size() < queue_limit_) {
        queue_.push_back(std::move(job));
        break;
      }
    }
    WaitOnce();
  }
  StartWorkerIfNeeded();
  work_ready_.notify_one();
}

void CopyPool::StartWorkerIfNeeded() {
  if (threads_.size() >= static_cast<size_t>(workers_)) return;
  try {
    threads_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    if (!threads_.empty()) return;  // the ones there are carry the work
    // Not even one thread: the owner does the work itself.
    for (;;) {
      Job job;
      {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return;
        job = std::move(queue_.front());
        queue_.pop_front();
      }
      job();
    }
  }
}

void CopyPool::Drain() {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty() && running_ == 0) return;
    }
    WaitOnce();
  }
}

void CopyPool::NoteProgress() {
  progress_.fetch_add(1);
  SetEvent(wake_.Get());
}

int CopyPool::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

void CopyPool::Work() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      work_ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.pop_front();
      ++running_;
    }
    job();
    {
      std::lock_guard lock(mutex_);
      --running_;
    }
    SetEvent(wake_.Get());
  }
}

void CopyPool::WaitOnce() {
  HANDLE wake = wake_.Get();
  bool messages = false;
  if (events_) {
    // Sent messages count too: a window of another program that sends one waits for the reply.
    const DWORD result = MsgWaitForMultipleObjectsEx(1, &wake, kRecheckMs, QS_ALLINPUT, 0);
    messages = result == WAIT_OBJECT_0 + 1 ||
               (result == WAIT_TIMEOUT && HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0);
  } else {
    WaitForSingleObject(wake, kRecheckMs);
  }
  const std::uint64_t progress = progress_.load();
  if (!events_) {
    progress_seen_ = progress;
    return;
  }
  // One pass per step, as a copy on this thread would have made: a long file lets events run
  // at every step whether or not the owner woke for each.
  bool ran = false;
  while (progress_seen_ < progress) {
    ++progress_seen_;
    events_();
    ran = true;
  }
  if (messages && !ran) events_();
}

}  // namespace tess::win32

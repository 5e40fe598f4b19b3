#include "win32/copy_pool.h"

#include <algorithm>
#include <mutex>
#include <system_error>
#include <utility>

namespace tess::win32 {
namespace {

// Jobs queued per worker: the walk refills the queue in batches, and the owner wakes only
// when it has half emptied, since every wake-up is a trip through Wine's server.
constexpr size_t kJobsQueuedPerWorker = 16;
// A message left in the queue by an event pump that stopped early raises no new wake-up; the
// owner looks again this often.
constexpr DWORD kRecheckMs = 50;

}  // namespace

int CopyWorkers() {
  const DWORD cores = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return std::clamp(4 * static_cast<int>(cores), 4, 8);
}

CopyPool::CopyPool(int workers, std::function<void()> events)
    : workers_(workers < 1 ? 1 : workers),
      events_(std::move(events)),
      queue_limit_(kJobsQueuedPerWorker * static_cast<size_t>(workers_)),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
  if (!wake_) throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
}

CopyPool::~CopyPool() {
  {
    std::lock_guard guard(lock_);
    stopping_ = true;
    queue_.clear();
  }
  WakeAllConditionVariable(&work_ready_);
  for (std::thread& thread : threads_) thread.join();
}

void CopyPool::Submit(Job job) {
  bool full = false;
  {
    std::lock_guard guard(lock_);
    full = queue_.size() >= queue_limit_;
  }
  if (full) WaitFor(Want::kRoom);
  {
    std::lock_guard guard(lock_);
    queue_.push_back(std::move(job));
  }
  StartWorkerIfNeeded();
  WakeConditionVariable(&work_ready_);
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
        std::lock_guard guard(lock_);
        if (queue_.empty()) return;
        job = std::move(queue_.front());
        queue_.pop_front();
      }
      job();
    }
  }
}

void CopyPool::Drain() { WaitFor(Want::kAllDone); }

void CopyPool::NoteProgress() {
  progress_.fetch_add(1);
  bool owner_waits = false;
  {
    std::lock_guard guard(lock_);
    owner_waits = owner_wants_ != Want::kNothing;
  }
  if (owner_waits) SetEvent(wake_.Get());
}

int CopyPool::Running() {
  std::lock_guard guard(lock_);
  return running_;
}

bool CopyPool::Holds(Want want) const {
  switch (want) {
    case Want::kRoom:
      return queue_.size() <= queue_limit_ / 2;
    case Want::kAllDone:
      return queue_.empty() && running_ == 0;
    case Want::kNothing:
      break;
  }
  return true;
}

void CopyPool::Work() {
  for (;;) {
    Job job;
    {
      std::lock_guard guard(lock_);
      while (!stopping_ && queue_.empty()) {
        SleepConditionVariableSRW(&work_ready_, lock_.Native(), INFINITE, 0);
      }
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.pop_front();
      ++running_;
    }
    job();
    bool wake_owner = false;
    {
      std::lock_guard guard(lock_);
      --running_;
      if (owner_wants_ != Want::kNothing && Holds(owner_wants_)) {
        owner_wants_ = Want::kNothing;
        wake_owner = true;
      }
    }
    if (wake_owner) SetEvent(wake_.Get());
  }
}

void CopyPool::RunProgressSteps() {
  const std::uint64_t progress = progress_.load();
  // One pass per step, as a copy on this thread would have made: a long file lets events run
  // at every step whether or not the owner woke for each.
  while (progress_seen_ < progress) {
    ++progress_seen_;
    if (events_) events_();
  }
}

void CopyPool::WaitFor(Want want) {
  for (;;) {
    RunProgressSteps();
    {
      std::lock_guard guard(lock_);
      if (Holds(want)) {
        owner_wants_ = Want::kNothing;
        return;
      }
      owner_wants_ = want;
    }
    HANDLE wake = wake_.Get();
    if (!events_) {
      WaitForSingleObject(wake, kRecheckMs);
      continue;
    }
    // Sent messages count too: a window of another program that sends one waits for the reply.
    const DWORD result = MsgWaitForMultipleObjectsEx(1, &wake, kRecheckMs, QS_ALLINPUT, 0);
    const bool messages = result == WAIT_OBJECT_0 + 1 ||
                          (result == WAIT_TIMEOUT && HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0);
    if (messages && progress_.load() == progress_seen_) events_();
  }
}

}  // namespace tess::win32

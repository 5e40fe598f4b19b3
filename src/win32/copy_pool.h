// Worker threads for the copy core: files are written on them while the thread that started
// the copy (the window's thread) waits for them and keeps its window's messages moving.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

#include "ports/work_pool.h"
#include "win32/handles.h"

namespace tess::win32 {

// A lock for std::lock_guard over the system's slim reader/writer lock. Unlike a lock built on
// an event, waiting for it never goes through Wine's server, which is busy with the files.
class SlimLock {
 public:
  void lock() { AcquireSRWLockExclusive(&lock_); }
  void unlock() { ReleaseSRWLockExclusive(&lock_); }
  SRWLOCK* Native() { return &lock_; }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
};

// Threads that write files at once. Small files cost a round of system calls each, not
// bandwidth, and under Wine most of those calls wait for its server, a single thread: writers
// overlap those waits with each other's reading and writing. On 2 cores, 5,000 small files and
// five of 50 MB took (wall, against 1 writer) 0.66 with 2 writers, 0.56 with 4 and 0.47 with 8,
// and 8 kept the window's longest answer during a 1 GB copy near 20 ms and the peak memory near
// 21 MB. More than 8 only queue at the server. So: four a core, at least 4 and at most 8.
int CopyWorkers();

class CopyPool : public WorkPool {
 public:

  // events runs on the owner's thread (the one that makes the pool) whenever a message arrives
  // for that thread while it waits, and once for every progress step a worker reports; it may
  // be empty. The threads start with the first jobs, so a run that writes nothing starts none.
  CopyPool(int workers, std::function<void()> events);
  // Drops the jobs not yet started and waits for those running.
  ~CopyPool() override;
  CopyPool(const CopyPool&) = delete;
  CopyPool& operator=(const CopyPool&) = delete;

  // Owner's thread only. Queues a job; while the queue is full, waits with messages moving, so
  // the walk never runs far ahead of the copies and memory stays flat however many files come.
  void Submit(Job job) override;
  // Owner's thread only. Waits, with messages moving, until every queued job has finished.
  void Drain() override;

  // Worker side: a long file has come a step further; the owner lets events run.
  void NoteProgress() override;
  // Jobs running at this moment, the caller's own included.
  int Running() override;

 private:
  // What the owner is waiting for.
  enum class Want { kNothing, kRoom, kAllDone };

  void Work();
  void StartWorkerIfNeeded();
  // Waits until want holds, letting events run for messages and progress steps meanwhile.
  void WaitFor(Want want);
  bool Holds(Want want) const;  // under lock_
  void RunProgressSteps();

  const int workers_;
  const std::function<void()> events_;
  const size_t queue_limit_;
  UniqueObject wake_;  // auto-reset; set by a worker only when the owner waits

  SlimLock lock_;  // guards what follows
  CONDITION_VARIABLE work_ready_ = CONDITION_VARIABLE_INIT;
  std::deque<Job> queue_;
  int running_ = 0;
  bool stopping_ = false;
  Want owner_wants_ = Want::kNothing;

  std::atomic<std::uint64_t> progress_{0};
  std::uint64_t progress_seen_ = 0;  // owner's thread only
  std::vector<std::thread> threads_;
};

}  // namespace tess::win32

// Worker threads for the copy engine: files are written on them while the thread that started
// the copy (the window's thread) waits for them and keeps its window's messages moving.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32/handles.h"

namespace tess::win32 {

class CopyPool {
 public:
  using Job = std::function<void()>;

  // events runs on the owner's thread (the one that makes the pool) whenever a message arrives
  // for that thread while it waits, and once for every progress step a worker reports; it may
  // be empty. The threads start with the first jobs, so a run that writes nothing starts none.
  CopyPool(int workers, std::function<void()> events);
  // Drops the jobs not yet started and waits for those running.
  ~CopyPool();
  CopyPool(const CopyPool&) = delete;
  CopyPool& operator=(const CopyPool&) = delete;

  // Owner's thread only. Queues a job; while the queue is full, waits with messages moving, so
  // the walk never runs far ahead of the copies and memory stays flat however many files come.
  void Submit(Job job);
  // Owner's thread only. Waits, with messages moving, until every queued job has finished.
  void Drain();

  // Worker side: a long file has come a step further; the owner lets events run.
  void NoteProgress();
  // Jobs running at this moment, the caller's own included.
  int Running() const;

 private:
  void Work();
  void StartWorkerIfNeeded();
  // One wait of the owner for a finished job, a progress step or a message.
  void WaitOnce();

  const int workers_;
  const std::function<void()> events_;
  const size_t queue_limit_;
  UniqueObject wake_;  // auto-reset; set by a worker after every job and progress step
  mutable std::mutex mutex_;
  std::condition_variable work_ready_;
  std::deque<Job> queue_;
  int running_ = 0;
  bool stopping_ = false;
  std::atomic<std::uint64_t> progress_{0};
  std::uint64_t progress_seen_ = 0;  // owner's thread only
  std::vector<std::thread> threads_;
};

}  // namespace tess::win32

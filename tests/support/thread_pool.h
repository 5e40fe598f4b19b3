// Writer threads for the host's copies: jobs run on std::threads while the owner waits, so the
// copy core meets real concurrency under the sanitizers. Events run on the owner's thread, once
// for every progress step a job notes, while it waits.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "ports/work_pool.h"

namespace tess::test {

class ThreadPool : public WorkPool {
 public:
  ThreadPool(int workers, std::function<void()> events) : events_(std::move(events)) {
    for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
  }
  ~ThreadPool() override {
    {
      std::lock_guard lock(lock_);
      stopping_ = true;
      queue_.clear();
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  void Submit(Job job) override {
    {
      std::lock_guard lock(lock_);
      queue_.push_back(std::move(job));
    }
    changed_.notify_all();
  }
  void Drain() override {
    std::unique_lock lock(lock_);
    for (;;) {
      while (progress_seen_ < progress_) {
        ++progress_seen_;
        lock.unlock();
        if (events_) events_();
        lock.lock();
      }
      if (queue_.empty() && running_ == 0) return;
      changed_.wait(lock);
    }
  }
  void NoteProgress() override {
    {
      std::lock_guard lock(lock_);
      ++progress_;
    }
    changed_.notify_all();
  }
  int Running() override {
    std::lock_guard lock(lock_);
    return running_;
  }

 private:
  void Work() {
    std::unique_lock lock(lock_);
    for (;;) {
      changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (queue_.empty()) return;
      Job job = std::move(queue_.front());
      queue_.pop_front();
      ++running_;
      lock.unlock();
      job();
      lock.lock();
      --running_;
      changed_.notify_all();
    }
  }

  const std::function<void()> events_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::deque<Job> queue_;
  int running_ = 0;
  bool stopping_ = false;
  std::uint64_t progress_ = 0;
  std::uint64_t progress_seen_ = 0;
  std::vector<std::thread> threads_;
};

}  // namespace tess::test

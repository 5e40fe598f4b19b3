// Writer threads for a folder copy: the walk submits jobs on its own thread and waits for them
// with the window's messages moving, while the jobs run elsewhere.
#pragma once

#include <functional>

namespace tess {

class WorkPool {
 public:
  using Job = std::function<void()>;
  virtual ~WorkPool() = default;

  // Owner's thread only. Queues a job; may wait, with events running, while the queue is full.
  virtual void Submit(Job job) = 0;
  // Owner's thread only. Waits, with events running, until every queued job has finished.
  virtual void Drain() = 0;
  // From a job: a long file has come a step further, so the owner lets events run.
  virtual void NoteProgress() = 0;
  // Jobs running at this moment.
  virtual int Running() = 0;
};

}  // namespace tess

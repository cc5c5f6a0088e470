// A fixed set of worker threads, started once, that share out the items of
// one batch after another. Run(count, fn) calls fn(i) once for every i in
// [0, count), each item taken by whichever thread is free next (an atomic
// counter: one fetch-and-add per item), the calling thread among them, and
// returns when every call has returned. Which thread runs an item is not
// known, so fn must give the same result on any thread: results that depend
// only on i are then the same for any number of threads.
//
//   WorkerPool pool(4);                       // the caller and 3 workers
//   std::vector<double> square(1000);
//   pool.Run(square.size(), [&](std::size_t i) { square[i] = double(i) * i; });
//
// A worker starts with the thread state any new thread has and sets up
// nothing of its own: fn sets up whatever it needs (the Python binding sets
// the floating-point environment of each block). The one exception is the
// signal mask: workers block every signal but those a fault raises (SIGSEGV,
// SIGFPE, ...), so a signal sent to the process (Ctrl-C, SIGTERM, SIGHUP)
// reaches the program's own threads, and one that holds it back there holds
// it back for the process. fn must not throw. One Run at a time.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace recharge {

class WorkerPool {
 public:
  // `threads` at least 1, the calling thread counted: threads - 1 workers.
  // Throws std::system_error when a thread cannot be started, with none left
  // running.
  explicit WorkerPool(int threads);
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;
  ~WorkerPool();

  int threads() const { return static_cast<int>(workers_.size()) + 1; }

  void Run(std::size_t count, const std::function<void(std::size_t)>& fn);

 private:
  void Work();
  void Serve();
  void Stop();

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable start_;
  std::condition_variable done_;
  std::uint64_t batch_ = 0;  // batches started, under mutex_
  bool stopping_ = false;    // under mutex_
  std::size_t busy_ = 0;     // workers still on the batch, under mutex_
  // The batch, set under mutex_ before the workers are woken.
  std::size_t count_ = 0;
  const std::function<void(std::size_t)>* fn_ = nullptr;
  std::atomic<std::size_t> next_{0};
};

}  // namespace recharge

#include "runtime/worker_pool.h"

#include <signal.h>

#include <system_error>

namespace recharge {

namespace {

// Every signal but those a fault raises in the thread that made it.
sigset_t SignalsFromOutside() {
  sigset_t signals;
  sigfillset(&signals);
  for (int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT}) {
    sigdelset(&signals, fault);
  }
  return signals;
}

}  // namespace

// The workers inherit the mask they start with, so no signal reaches them
// even before their first instruction.
WorkerPool::WorkerPool(int threads) {
  const sigset_t blocked = SignalsFromOutside();
  sigset_t previous;
  pthread_sigmask(SIG_BLOCK, &blocked, &previous);
  try {
    for (int i = 1; i < threads; ++i) workers_.emplace_back([this] { Serve(); });
  } catch (const std::system_error&) {
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    Stop();
    throw;
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

WorkerPool::~WorkerPool() { Stop(); }

void WorkerPool::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  start_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

void WorkerPool::Run(std::size_t count, const std::function<void(std::size_t)>& fn) {
  {
    std::lock_guard lock(mutex_);
    count_ = count;
    fn_ = &fn;
    next_.store(0, std::memory_order_relaxed);
    busy_ = workers_.size();
    ++batch_;
  }
  start_.notify_all();
  Work();
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return busy_ == 0; });
}

void WorkerPool::Work() {
  for (std::size_t i; (i = next_.fetch_add(1, std::memory_order_relaxed)) < count_;) (*fn_)(i);
}

void WorkerPool::Serve() {
  std::uint64_t served = 0;
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      start_.wait(lock, [&] { return stopping_ || batch_ != served; });
      if (stopping_) return;
      served = batch_;
    }
    Work();
    std::lock_guard lock(mutex_);
    if (--busy_ == 0) done_.notify_one();
  }
}

}  // namespace recharge

// How many CPUs the process may use, for the number of worker threads when
// the user names none. In order:
//   - OMP_NUM_THREADS, when it is a positive whole number ("4");
//   - else the smaller of the CPUs in the process's affinity mask
//     (sched_getaffinity, as `taskset` and a container's cpuset restrict it)
//     and the cgroup v2 CPU quota of the container, /sys/fs/cgroup/cpu.max:
//     "150000 100000" (quota and period in microseconds) allows
//     ceil(150000 / 100000) = 2 CPUs, "max 100000" sets no limit.
// The result is at least 1 and at most kMaxCpus.
//
//   8 CPUs, cpu.max "150000 100000", no OMP_NUM_THREADS  -> 2
//   the same with OMP_NUM_THREADS=3                      -> 3
#pragma once

namespace recharge {

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
inline constexpr int kMaxCpus = 1;  // a WebAssembly module built without threads
#else
inline constexpr int kMaxCpus = 256;
#endif

int AvailableCpus();

}  // namespace recharge

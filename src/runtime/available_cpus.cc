#include "runtime/available_cpus.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace recharge {

namespace {

// A positive whole number that is all of `text`, or 0.
long long PositiveNumber(const char* text) {
  long long value = 0;
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, value);
  return error == std::errc() && stop == end && stop != text && value > 0 ? value : 0;
}

// The CPUs of the affinity mask, or those online if it cannot be read.
// Emscripten declares sched_getaffinity but has none: there the CPUs online,
// which are one without threads.
long long AffinityCpus() {
#ifndef __EMSCRIPTEN__
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) return CPU_COUNT(&set);
#endif
  return sysconf(_SC_NPROCESSORS_ONLN);
}

// ceil(quota / period) of the cgroup v2 quota, or 0 for none.
long long QuotaCpus() {
  std::FILE* file = std::fopen("/sys/fs/cgroup/cpu.max", "re");
  if (file == nullptr) return 0;
  long long quota = 0;
  long long period = 0;
  const bool limited = std::fscanf(file, "%lld %lld", &quota, &period) == 2;
  std::fclose(file);
  if (!limited || quota <= 0 || period <= 0) return 0;  // "max": no quota
  return (quota + period - 1) / period;
}

}  // namespace

int AvailableCpus() {
  const char* environment = std::getenv("OMP_NUM_THREADS");
  long long cpus = environment != nullptr ? PositiveNumber(environment) : 0;
  if (cpus == 0) {
    cpus = AffinityCpus();
    if (const long long quota = QuotaCpus(); quota > 0) cpus = std::min(cpus, quota);
  }
  return static_cast<int>(std::clamp(cpus, 1LL, static_cast<long long>(kMaxCpus)));
}

}  // namespace recharge

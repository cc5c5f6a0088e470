#include "runtime/pow_batch.h"

#include <cmath>

#include "runtime/correct_pow.h"

// On x86-64 the fast phase is built three times, for AVX2 (four lanes),
// SSE4.2 (two) and the baseline (one: its 64-bit integer compares have no
// vectors), and the first the processor has is taken when the program
// loads; in WebAssembly, two lanes of 128 bits. None of them fuses a multiply
// and an add. The arrays do not overlap, so that no check of their bounds
// keeps clang from vectorizing.
#if defined(__x86_64__) && defined(__linux__) && (defined(__GNUC__) || defined(__clang__))
#define RECHARGE_VECTOR_CLONES __attribute__((target_clones("avx2", "sse4.2", "default")))
#else
#define RECHARGE_VECTOR_CLONES
#endif

namespace recharge {

namespace {

RECHARGE_VECTOR_CLONES
void FastPhase(const double* __restrict x, double y, double* __restrict out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) out[i] = exp_log::FastPow(x[i], y);
}

}  // namespace

void PowBatch(const double* x, double y, double* out, std::size_t count) {
  if (std::isfinite(y) && y != 0.0) {
    FastPhase(x, y, out, count);
  } else {
    for (std::size_t i = 0; i < count; ++i) out[i] = 0.0;
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (out[i] == 0.0) out[i] = CorrectPowSlow(x[i], y);
  }
}

}  // namespace recharge

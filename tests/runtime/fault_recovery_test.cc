#include "runtime/fault_recovery.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <thread>
#include <vector>

#include "runtime/math_functions.h"

namespace recharge {
namespace {

volatile double zero = 0.0;
volatile double one = 1.0;
volatile double big = 1e308;

// Each body raises one fault, or two in a row: the first one is returned,
// and what the body stored before it stays.
struct FaultCase {
  const char* name;
  void (*body)(volatile double& stored);
  RuntimeError fault;
  double kept;  // `stored` afterwards
};

const FaultCase kCases[] = {
    {"none", [](volatile double& s) { s = one + one; }, RuntimeError::kNone, 2.0},
    {"divide by zero", [](volatile double& s) { s = one / zero; },
     RuntimeError::kFloatingDivideByZero, 0.0},
    {"invalid", [](volatile double& s) { s = zero / zero; }, RuntimeError::kFloatingInvalid, 0.0},
    {"overflow", [](volatile double& s) { s = big * 10.0; }, RuntimeError::kFloatingOverflow, 0.0},
    {"pow domain", [](volatile double& s) { s = Pow(-one, 0.5); }, RuntimeError::kPowDomain, 0.0},
    {"pow sing", [](volatile double& s) { s = Pow(zero, -one); }, RuntimeError::kPowSingularity,
     0.0},
    {"exp overflow", [](volatile double& s) { s = Exp(1000.0 * one); }, RuntimeError::kExpOverflow,
     0.0},
    {"sqrt domain", [](volatile double& s) { s = Sqrt(-one); }, RuntimeError::kSqrtDomain, 0.0},
    // Divided by zero, then the infinity meets an invalid operation.
    {"divide then invalid",
     [](volatile double& s) {
       s = 7.0;
       volatile double inf = one / zero;
       s = inf - inf;
     },
     RuntimeError::kFloatingDivideByZero, 7.0},
    // Overflow, then a power that would have failed on the infinity.
    {"overflow then pow",
     [](volatile double& s) {
       s = 7.0;
       volatile double huge = big * big;
       s = Pow(-huge, 0.5);
     },
     RuntimeError::kFloatingOverflow, 7.0},
    // A math-function failure first, then a division by zero.
    {"pow then divide",
     [](volatile double& s) {
       s = 7.0;
       s = Pow(zero, -one);
       s = one / zero;
     },
     RuntimeError::kPowSingularity, 7.0},
};

RuntimeError RunCase(const FaultCase& c, volatile double& stored) {
  auto body = [&] { c.body(stored); };
  return RecoverFaults(body);
}

TEST(FaultRecoveryTest, TheFirstFaultComesBackAndTheTrapsStayArmed) {
  for (const FaultCase& c : kCases) {
    SCOPED_TRACE(c.name);
    volatile double stored = 0.0;
    EXPECT_EQ(RunCase(c, stored), c.fault);
    EXPECT_EQ(stored, c.kept);
    EXPECT_EQ(fegetexcept(), FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  }
}

TEST(FaultRecoveryTest, ThreadsRecoverTheirOwnFaults) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  std::vector<int> mismatches(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &mismatches] {
      for (int i = 0; i < kRounds; ++i) {
        const FaultCase& c = kCases[(i + t) % std::size(kCases)];
        volatile double stored = 0.0;
        if (RunCase(c, stored) != c.fault || stored != c.kept) ++mismatches[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
}  // namespace recharge

#include "runtime/fault_recovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cfenv>
#include <new>
#include <stdexcept>
#include <thread>
#include <vector>

#include "math_report.h"
#include "runtime/descriptor_io.h"
#include "runtime/math_functions.h"
#include "runtime/report_text.h"

namespace recharge {
namespace {

volatile double zero = 0.0;
volatile double one = 1.0;
volatile double big = 1e308;
volatile double tiny = 1e-300;
volatile double quotient = 0.0;

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

enum class WayOut { kReturn, kFault, kException };

// Raises the underflow and inexact flags, then leaves the body `way`.
void Leave(WayOut way) {
  quotient = tiny * tiny;
  if (way == WayOut::kFault) quotient = one / zero;
  if (way == WayOut::kException) throw std::runtime_error("from the body");
}

struct Environment {
  int traps;     // fegetexcept()
  int flags;     // fetestexcept(FE_ALL_EXCEPT)
  int rounding;  // fegetround()
};

TEST(FaultRecoveryTest, TheCallersEnvironmentComesBackOnEveryWayOut) {
  constexpr int kArmed = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
  const Environment kCallers[] = {{0, FE_DIVBYZERO, FE_TONEAREST}, {kArmed, FE_INEXACT, FE_UPWARD}};
  std::fenv_t runner;
  std::fegetenv(&runner);
  for (const Environment& caller : kCallers) {
    for (WayOut way : {WayOut::kReturn, WayOut::kFault, WayOut::kException}) {
      SCOPED_TRACE(testing::Message()
                   << "traps " << caller.traps << ", way out " << static_cast<int>(way));
      fedisableexcept(FE_ALL_EXCEPT);
      std::feclearexcept(FE_ALL_EXCEPT);
      std::feraiseexcept(caller.flags);
      feenableexcept(caller.traps);
      std::fesetround(caller.rounding);
      int traps_inside = 0;
      auto body = [&] {
        traps_inside = fegetexcept();
        Leave(way);
      };
      RuntimeError fault = RuntimeError::kNone;
      bool thrown = false;
      try {
        fault = RecoverFaults(body);
      } catch (const std::runtime_error&) {
        thrown = true;
      }
      const Environment after = {fegetexcept(), std::fetestexcept(FE_ALL_EXCEPT),
                                 std::fegetround()};
      std::fesetenv(&runner);
      EXPECT_EQ(traps_inside, kArmed);
      EXPECT_EQ(fault,
                way == WayOut::kFault ? RuntimeError::kFloatingDivideByZero : RuntimeError::kNone);
      EXPECT_EQ(thrown, way == WayOut::kException);
      EXPECT_EQ(after.traps, caller.traps);
      EXPECT_EQ(after.flags, caller.flags);
      EXPECT_EQ(after.rounding, caller.rounding);
    }
  }
}

// After an exception through RecoverFaults a fault finds the recovery points
// still live, or none: never the frame the exception left.
TEST(FaultRecoveryTest, AnExceptionLeavesNoRecoveryPointBehind) {
  auto throws = [] { throw std::bad_alloc(); };
  auto divide = [] { quotient = one / zero; };
  EXPECT_THROW(RecoverFaults(throws), std::bad_alloc);
  EXPECT_EQ(RecoverFaults(divide), RuntimeError::kFloatingDivideByZero);
  auto catch_then_divide = [&] {
    try {
      RecoverFaults(throws);
    } catch (const std::bad_alloc&) {
    }
    divide();
  };
  EXPECT_EQ(RecoverFaults(catch_then_divide), RuntimeError::kFloatingDivideByZero);
  EXPECT_EXIT(catch_then_divide(), testing::ExitedWithCode(1),
              testing::StrEq(MathReport("6103", "floating-point error: divide by zero")));
}

// Writes "hook " and the report's number to standard error.
void MarkHook(RuntimeError error) {
  ReportText text;
  text << "hook " << Describe(error).number;
  WriteAll(STDERR_FILENO, text.View());
}

void MarkHookAndEnd(RuntimeError error) {
  MarkHook(error);
  _exit(2);
}

TEST(FaultRecoveryTest, AFaultOutsideAnyRecoveryPointGoesToTheHandler) {
  EXPECT_EXIT(
      {
        SetUnrecoveredFaultHandler(MarkHookAndEnd);
        quotient = one / zero;
      },
      testing::ExitedWithCode(2), testing::StrEq("hook 6103"));
  // A handler that returns: the report after all.
  EXPECT_EXIT(
      {
        SetUnrecoveredFaultHandler(MarkHook);
        RaiseFault(RuntimeError::kPowDomain);
      },
      testing::ExitedWithCode(1),
      testing::StrEq("hook 6201" + MathReport("6201", "pow: DOMAIN error")));
}

}  // namespace
}  // namespace recharge

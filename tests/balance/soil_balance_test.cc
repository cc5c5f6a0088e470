#include "balance/soil_balance.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "soil/soil_class_table.h"

namespace recharge {
namespace {

using ::testing::ElementsAre;

class StepLog : public SoilObserver {
 public:
  explicit StepLog(bool anaerobiosis) : anaerobiosis_(anaerobiosis) {}
  void Finished(SoilStep step, const SoilRecord&) override { steps.push_back(step); }
  bool SevereAnaerobiosisExpected() override { return anaerobiosis_; }
  std::vector<SoilStep> steps;

 private:
  bool anaerobiosis_;
};

SoilHydraulicParameters Class(int number) { return ParametersOf(*SoilClass(number)); }

// Sand Ss at zr 60, zgw 200 under P 60, ETp 55, Cs 0.3: the worked example,
// nB 3.712 and with anaerobiosis 2.000 (see bagrov_coefficient_test.cc).
SoilInputs Sand() { return {{60.0, 55.0, 30.0, 40.0, 0.3}, {}, {60.0, 200.0}, Class(1)}; }

TEST(SoilBalanceTest, StepsInTheDialoguesOrderOnEveryPath) {
  StepLog plain(false);
  SoilRecord r{};
  EXPECT_EQ(RunSoilBalance(Sand(), plain, r).status, SoilStatus::kOk);
  EXPECT_THAT(plain.steps, ElementsAre(SoilStep::kParameters, SoilStep::kStorage, SoilStep::kQmax,
                                       SoilStep::kMethodChoice, SoilStep::kCoefficient,
                                       SoilStep::kLimits, SoilStep::kSolver, SoilStep::kRecharge));
  EXPECT_EQ(r.nB, 3.7118658444938797);
  EXPECT_EQ(r.R, 60.0 - r.ETa);
  EXPECT_GT(r.newton_steps, 0);

  StepLog wet(true);
  EXPECT_EQ(RunSoilBalance(Sand(), wet, r).status, SoilStatus::kOk);
  EXPECT_THAT(wet.steps, ElementsAre(SoilStep::kParameters, SoilStep::kStorage, SoilStep::kQmax,
                                     SoilStep::kMethodChoice, SoilStep::kCoefficient,
                                     SoilStep::kAnaerobiosisHead, SoilStep::kCorrection,
                                     SoilStep::kLimits, SoilStep::kSolver, SoilStep::kRecharge));
  EXPECT_EQ(r.nB, 1.999785543664316);

  // Clay Tt at zr 60, zgw 100, dry, with Cs from the months: 7/42.
  SoilInputs clay = {{45.0, 60.0, 25.0, 45.0, 0.0},
                     GrowingSeason{{5, 6, 7, 8, 6, 5}, {4, 8, 10, 9, 7, 4}},
                     {60.0, 100.0},
                     Class(24)};
  StepLog dry(true);  // never asked on this path
  EXPECT_EQ(RunSoilBalance(clay, dry, r).status, SoilStatus::kOk);
  EXPECT_THAT(dry.steps, ElementsAre(SoilStep::kSimultaneity, SoilStep::kParameters,
                                     SoilStep::kStorage, SoilStep::kQmax, SoilStep::kMethodChoice,
                                     SoilStep::kHydropedotransfer, SoilStep::kRecharge));
  EXPECT_EQ(r.climate.Cs, 7.0 / 42.0);
  EXPECT_EQ(r.method, BalanceMethod::kHydropedotransfer);
}

struct FaultCase {
  const char* name;
  SoilInputs inputs;
  bool anaerobiosis;
  SoilStatus status;
  RuntimeError fault;
  SoilStep step;
};

std::vector<FaultCase> FaultCases() {
  std::vector<FaultCase> cases;
  SoilInputs in = Sand();
  cases.push_back({"ok", in, false, SoilStatus::kOk, RuntimeError::kNone, SoilStep::kRecharge});
  in.soil.n = 0.0;  // 1/n
  cases.push_back({"n 0", in, false, SoilStatus::kFault, RuntimeError::kFloatingDivideByZero,
                   SoilStep::kParameters});
  in = Sand();
  in.soil.theta_r = in.soil.theta_s;  // Se = -0.05 / 0
  cases.push_back({"theta_s = theta_r", in, true, SoilStatus::kFault,
                   RuntimeError::kFloatingDivideByZero, SoilStep::kAnaerobiosisHead});
  in = Sand();
  in.site = {-60.0, 200.0};  // a negative Wmax raised to 1.0879
  cases.push_back({"negative storage", in, false, SoilStatus::kFault, RuntimeError::kPowDomain,
                   SoilStep::kCoefficient});
  in = Sand();
  in.months = GrowingSeason{{1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0}};  // 0 / 0
  cases.push_back({"no evapotranspiration", in, false, SoilStatus::kFault,
                   RuntimeError::kFloatingInvalid, SoilStep::kSimultaneity});
  in = Sand();
  in.climate.ETp = -55.0;  // sqrt(P/ETp) of the initial guess
  cases.push_back({"negative ETp", in, false, SoilStatus::kFault, RuntimeError::kSqrtDomain,
                   SoilStep::kSolver});
  in = Sand();
  in.climate.P = in.climate.ETp = 1e14;  // the tolerance cannot be met
  cases.push_back({"no convergence", in, false, SoilStatus::kNoConvergence, RuntimeError::kNone,
                   SoilStep::kSolver});
  return cases;
}

TEST(SoilBalanceTest, FaultsComeBackWithTheirStepAndTheValuesBefore) {
  for (const FaultCase& c : FaultCases()) {
    SCOPED_TRACE(c.name);
    StepLog log(c.anaerobiosis);
    SoilRecord r{};
    const SoilRun run = RunSoilBalance(c.inputs, log, r);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.fault, c.fault);
    EXPECT_EQ(run.step, c.step);
    // Every step before the one that failed was heard of; it was not.
    ASSERT_FALSE(log.steps.empty() && c.step != SoilStep::kParameters &&
                 c.step != SoilStep::kSimultaneity);
    if (!log.steps.empty() && run.status != SoilStatus::kOk) {
      EXPECT_LT(log.steps.back(), c.step);
    }
    if (run.step > SoilStep::kStorage) {
      EXPECT_GT(r.water.FC, 0.0);
    }
  }
}

// A fault is an ordinary return: what the observer holds is released as
// from any call, and it may allocate.
TEST(SoilBalanceTest, AFaultLetsTheObserversDestructorsRun) {
  static int released = 0;
  struct Held {
    ~Held() { ++released; }
  };
  class Holding : public StepLog {
   public:
    Holding() : StepLog(false) {}
    void Finished(SoilStep step, const SoilRecord& record) override {
      StepLog::Finished(step, record);
      held.emplace_back();
    }
    std::vector<Held> held;
  };
  SoilInputs in = Sand();
  in.site = {-60.0, 200.0};
  {
    Holding observer;
    SoilRecord r{};
    EXPECT_EQ(RunSoilBalance(in, observer, r).fault, RuntimeError::kPowDomain);
    released = 0;
  }
  EXPECT_GE(released, 4);  // one for each step heard of, and none lost
}

}  // namespace
}  // namespace recharge

#include "app/dialogue.h"

#include "app/dialogue_texts.h"
#include "balance/simultaneity.h"
#include "runtime/termination.h"
#include "soil/soil_class_table.h"

namespace recharge {

Dialogue::Dialogue(Console& console) : console_(console) {}

void Dialogue::Say(std::string_view text) { console_.Write({ListItem::Character(text)}); }

std::int32_t Dialogue::AskYesNo(std::string_view question) {
  Say(question);
  answer_ = 0;
  console_.Read({answer_});
  return answer_;
}

void Dialogue::Run() {
  for (std::string_view line : {texts::kBanner1, texts::kBanner2, texts::kBanner3, texts::kBanner4,
                                texts::kBanner5, texts::kBanner6, texts::kBanner7}) {
    Say(line);
  }
  do {
    AskClimate();
    AskCoefficientOfSimultaneity();
    do {
      RunSoil();
    } while (AskYesNo(texts::kNextSoil) == 1);
  } while (AskYesNo(texts::kNextCase) == 1);
  Say(texts::kDone);
  Stop(0);
}

void Dialogue::AskClimate() {
  Say(texts::kPrecipitation);
  Say(texts::kEvapotranspiration);
  console_.Read({soil_inputs_.climate.P, soil_inputs_.climate.ETp});
  Say(texts::kSummerPrecipitation);
  Say(texts::kSummerEvapotranspiration);
  console_.Read({soil_inputs_.climate.Ps, soil_inputs_.climate.ETps});
}

void Dialogue::AskCoefficientOfSimultaneity() {
  if (AskYesNo(texts::kCoefficientKnown) != 0) {
    Say(texts::kCoefficient);
    console_.Read({soil_inputs_.climate.Cs});
    return;
  }
  Say(texts::kMonthlyData);
  // The months are read one by one, each added as soon as it is known: a
  // fault ends the run there, before the next month is asked for.
  SimultaneityAccumulator simultaneity;
  Arithmetic ops;
  for (std::int32_t month = 4; month <= 9; ++month) {
    console_.Write({ListItem::Character(texts::kMonth), ListItem::Integer(month)});
    Say(texts::kRainEpot);
    console_.Read({rain_[month], etp_[month]});
    simultaneity.AddMonth(ops, rain_[month], etp_[month]);
    EndOnFault(ops.fault());
  }
  soil_inputs_.climate.Cs = simultaneity.Cs(ops);
  EndOnFault(ops.fault());
  Say(texts::kFourBlanks);
  console_.WriteFormatted(texts::kCsFormat, {soil_inputs_.climate.Cs});
}

void Dialogue::EndOnFault(RuntimeError fault) {
  if (fault != RuntimeError::kNone) ReportRuntimeError(fault);
}

void Dialogue::RunSoil() {
  Say(texts::kDepths);
  console_.Read({soil_inputs_.site.zr, soil_inputs_.site.zgw});
  ChooseSoilClass();
  TakeSoilParameters();
  SoilRecord record{};
  const SoilRun run = RunSoilBalance(soil_inputs_, *this, record);
  EndOnFault(run.fault);
  if (run.status == SoilStatus::kNoConvergence) {
    // Reported, and ended with status 1: a result that was never found must
    // not look like a normal end.
    Say(texts::kNoConvergence);
    console_.Write(
        {ListItem::Character(texts::kBagrovCoefficientLabel), ListItem::Real8(record.nB)});
    Stop(1);
  }
}

void Dialogue::ChooseSoilClass() {
  for (;;) {
    for (std::string_view line :
         {texts::kClassList1, texts::kClassList2, texts::kClassList3, texts::kClassList4,
          texts::kClassList5, texts::kClassList6, texts::kClassList7, texts::kTwoBlanks,
          texts::kClassNumber, texts::kOwnParameters}) {
      Say(line);
    }
    console_.Read({soil_class_});
    // A negative number is refused like one above the table, so that no
    // number outside 0 to 34 ever selects a row.
    if (soil_class_ >= 0 && soil_class_ <= kSoilClassCount) break;
    Say(texts::kWrongNumber);
  }
  Say(texts::kThreeBlanks);
}

void Dialogue::TakeSoilParameters() {
  SoilHydraulicParameters& soil = soil_inputs_.soil;
  if (soil_class_ == 0) {
    Say(texts::kModel);
    Say(texts::kThetas);
    console_.Read({soil.theta_r, soil.theta_s});
    Say(texts::kAlphaN);
    console_.Read({soil.alpha, soil.n});
    Say(texts::kQmaxParameters);
    console_.Read({soil.p1, soil.p2});
  } else {
    soil = ParametersOf(*SoilClass(soil_class_));
  }
}

void Dialogue::Finished(SoilStep step, const SoilRecord& r) {
  switch (step) {
    case SoilStep::kStorage:
      console_.WriteFormatted(texts::kStorageFormat, {r.water.FC, r.water.WP, r.water.Wmax});
      break;
    case SoilStep::kQmax:
      console_.WriteFormatted(texts::kQmaxFormat, {r.water.qmax});
      break;
    case SoilStep::kMethodChoice:
      if (r.method == BalanceMethod::kBagrov) {
        Say(texts::kBagrovMethod);
        Say(texts::kFiveBlanks);
      } else {
        Say(texts::kOneBlank);
        Say(texts::kHydropedotransfer);
        Say(texts::kThreeBlanks);
      }
      break;
    case SoilStep::kAnaerobiosisHead:
      console_.WriteFormatted(texts::kAnaerobiosisFormat, {r.water.h_an});
      break;
    case SoilStep::kLimits:
      console_.WriteFormatted(texts::kBagrovCoefficientFormat, {r.nB});
      break;
    case SoilStep::kRecharge:
      console_.WriteFormatted(texts::kResultFormat, {r.ETa, r.R});
      break;
    default:
      break;  // the other steps print nothing
  }
}

bool Dialogue::SevereAnaerobiosisExpected() { return AskYesNo(texts::kAnaerobiosis) == 1; }

}  // namespace recharge

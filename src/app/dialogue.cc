#include "app/dialogue.h"

#include "app/dialogue_texts.h"
#include "balance/bagrov_coefficient.h"
#include "balance/bagrov_solver.h"
#include "balance/hydropedotransfer.h"
#include "balance/method_choice.h"
#include "balance/simultaneity.h"
#include "console/termination.h"
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
  console_.Read({climate_.P, climate_.ETp});
  Say(texts::kSummerPrecipitation);
  Say(texts::kSummerEvapotranspiration);
  console_.Read({climate_.Ps, climate_.ETps});
}

void Dialogue::AskCoefficientOfSimultaneity() {
  if (AskYesNo(texts::kCoefficientKnown) != 0) {
    Say(texts::kCoefficient);
    console_.Read({climate_.Cs});
    return;
  }
  Say(texts::kMonthlyData);
  SimultaneityAccumulator simultaneity;
  for (std::int32_t month = 4; month <= 9; ++month) {
    console_.Write({ListItem::Character(texts::kMonth), ListItem::Integer(month)});
    Say(texts::kRainEpot);
    console_.Read({rain_[month], etp_[month]});
    simultaneity.AddMonth(rain_[month], etp_[month]);
  }
  climate_.Cs = simultaneity.Cs();
  Say(texts::kFourBlanks);
  console_.WriteFormatted(texts::kCsFormat, {climate_.Cs});
}

void Dialogue::RunSoil() {
  Say(texts::kDepths);
  console_.Read({site_.zr, site_.zgw});
  ChooseSoilClass();
  TakeSoilParameters();
  ShowSoilWater();
  if (UsesBagrovMethod(climate_, water_.qmax)) {
    UseBagrovMethod();
  } else {
    UseHydropedotransferMethod();
  }
  result_.R = climate_.P - result_.ETa;
  console_.WriteFormatted(texts::kResultFormat, {result_.ETa, result_.R});
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
  if (soil_class_ == 0) {
    Say(texts::kModel);
    Say(texts::kThetas);
    console_.Read({soil_.theta_r, soil_.theta_s});
    Say(texts::kAlphaN);
    console_.Read({soil_.alpha, soil_.n});
    Say(texts::kQmaxParameters);
    console_.Read({soil_.p1, soil_.p2});
  } else {
    const SoilClassRow& row = SoilClass(soil_class_);
    soil_.theta_r = row.theta_r;
    soil_.theta_s = row.theta_s;
    soil_.alpha = row.alpha;
    soil_.n = row.n;
    soil_.p1 = row.p1;
    soil_.p2 = row.p2;
  }
  soil_.m = 1.0 - 1.0 / soil_.n;
}

void Dialogue::ShowSoilWater() {
  ComputeStorage(soil_, site_, water_);
  console_.WriteFormatted(texts::kStorageFormat, {water_.FC, water_.WP, water_.Wmax});
  EstimateQmax(site_, soil_, water_);
  console_.WriteFormatted(texts::kQmaxFormat, {water_.qmax});
}

void Dialogue::UseBagrovMethod() {
  Say(texts::kBagrovMethod);
  Say(texts::kFiveBlanks);
  result_.nB = EstimateBagrovCoefficient(water_.qmax, water_.Wmax, climate_.Cs);
  if (AskYesNo(texts::kAnaerobiosis) == 1) {
    ComputeAnaerobiosisHead(soil_, water_);
    console_.WriteFormatted(texts::kAnaerobiosisFormat, {water_.h_an});
    CorrectForAnaerobiosis(water_.qmax, water_.h_an, water_.FC, result_.nB);
  }
  LimitBagrovCoefficient(result_.nB);
  console_.WriteFormatted(texts::kBagrovCoefficientFormat, {result_.nB});
  if (!SolveBagrov(result_.nB, climate_.P, climate_.ETp, result_.ETa).converged) {
    // Reported, and ended with status 1: a result that was never found must
    // not look like a normal end.
    Say(texts::kNoConvergence);
    console_.Write(
        {ListItem::Character(texts::kBagrovCoefficientLabel), ListItem::Real8(result_.nB)});
    Stop(1);
  }
}

void Dialogue::UseHydropedotransferMethod() {
  Say(texts::kOneBlank);
  Say(texts::kHydropedotransfer);
  Say(texts::kThreeBlanks);
  Hydropedotransfer(climate_, water_.qmax, water_.Wmax, result_.g, result_.ETa);
}

}  // namespace recharge

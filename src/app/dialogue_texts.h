// Every fixed text of the dialogue, exactly as it is shown, trailing blanks
// included. Each is the CHARACTER item of one list-directed record; the
// lengths are checked at compile time.
#pragma once

#include <string_view>

namespace recharge::texts {

constexpr bool HasLength(std::string_view text, std::size_t length) {
  return text.size() == length;
}

#define RECHARGE_TEXT(name, text, length)        \
  inline constexpr std::string_view name = text; \
  static_assert(HasLength(name, length))

// Banner, once per run.
RECHARGE_TEXT(kBanner1, "    ", 4);
RECHARGE_TEXT(kBanner2, " ***************************************************", 52);
RECHARGE_TEXT(kBanner3, " Prediction of average long-term actual             ", 52);
RECHARGE_TEXT(kBanner4, " evapotranspiration and groundwater recharge of     ", 52);
RECHARGE_TEXT(kBanner5, " grass-covered soils on sites without fast runoff   ", 52);
RECHARGE_TEXT(kBanner6, " ***************************************************", 52);
RECHARGE_TEXT(kBanner7, "  ", 2);

// Climate of a case.
RECHARGE_TEXT(kPrecipitation, " Long-term average annual precipitation ", 40);
RECHARGE_TEXT(kEvapotranspiration, " and potential evapotranspiration, cm ", 38);
RECHARGE_TEXT(kSummerPrecipitation, " Long-term average annual summer precipitation", 46);
RECHARGE_TEXT(kSummerEvapotranspiration, " and potential summer evapotranspiration, cm ", 45);
RECHARGE_TEXT(kCoefficientKnown, " Is coefficient of simultaneity known? (0,1) ", 45);
RECHARGE_TEXT(kCoefficient, " coefficient of simultaneity ", 29);
RECHARGE_TEXT(kMonthlyData, "Input monthly average rain and pot. Evapotranspiration, cm", 58);
RECHARGE_TEXT(kMonth, " Month ", 7);
RECHARGE_TEXT(kRainEpot, "Rain, Epot   ", 13);
RECHARGE_TEXT(kFourBlanks, "    ", 4);
RECHARGE_TEXT(kNextCase, " Next case?(0,1)", 16);
RECHARGE_TEXT(kDone, "done ", 5);

// Site and soil.
RECHARGE_TEXT(kDepths, " Root zone depth and depth to groundwater (cm):", 47);
RECHARGE_TEXT(kClassList1, " Ss  1      Su2 8     Lt3 15    Ut3  22     Ts2  29 ", 52);
RECHARGE_TEXT(kClassList2, " Sl2 2      Su3 9     Lts 16    Ut4  23     Ts3  30 ", 52);
RECHARGE_TEXT(kClassList3, " Sl3 3      Su4 10    Lu  17    Tt   24     Ts4  31 ", 52);
RECHARGE_TEXT(kClassList4, " Sl4 4      Ls2 11    Uu  18    Tl   25     fS   32 ", 52);
RECHARGE_TEXT(kClassList5, " Slu 5      Ls3 12    Uls 19    Tu2  26     mS   33 ", 52);
RECHARGE_TEXT(kClassList6, " St2 6      Ls4 13    Us  20    Tu3  27     gS   34 ", 52);
RECHARGE_TEXT(kClassList7, " St3 7      Lt2 14    Ut2 21    Tu4  28 ", 40);
RECHARGE_TEXT(kTwoBlanks, "  ", 2);
RECHARGE_TEXT(kClassNumber, " Soil class number (see program description): ", 46);
RECHARGE_TEXT(kOwnParameters, " To use other soil parameters, type 0 (zero)  ", 46);
RECHARGE_TEXT(kWrongNumber, " wrong number!", 14);
RECHARGE_TEXT(kThreeBlanks, "   ", 3);
RECHARGE_TEXT(kModel, " Model van Genuchten /Mualem ", 29);
RECHARGE_TEXT(kThetas, " theta-r, theta-s ", 18);
RECHARGE_TEXT(kAlphaN, " alpha (1/cm), n ", 17);
RECHARGE_TEXT(kQmaxParameters, " Parameters p1 and p2 to estimate qmax ", 39);
RECHARGE_TEXT(kNextSoil, " Next soil, same climate? (0,1)", 31);

// Methods.
RECHARGE_TEXT(kBagrovMethod, " Bagrov method used ", 20);
RECHARGE_TEXT(kFiveBlanks, "     ", 5);
RECHARGE_TEXT(kAnaerobiosis, " Severe anaerobiosis expected? (0,1)", 36);
RECHARGE_TEXT(kNoConvergence, " Newton no convergence ", 23);
RECHARGE_TEXT(kBagrovCoefficientLabel, "  bc= :", 7);
RECHARGE_TEXT(kOneBlank, " ", 1);
RECHARGE_TEXT(kHydropedotransfer, " Hydropedotransfer function used ", 33);

// Formats of the result records. A formatted record shows from its second
// character on: 2X shows one blank, and the leading blank of
// "(1X,'Cs= ',...)" is only its carriage control, so "Cs= " shows whole.
inline constexpr std::string_view kCsFormat = "(1X,'Cs= ',F6.3)";
inline constexpr std::string_view kStorageFormat =
    "(/,2X,' field capacity cm3/cm3: ',F6.3,' wilting point: ',F7.4,"
    "' maximum plant available soil water storage, cm: ',F6.1)";
inline constexpr std::string_view kQmaxFormat = "(2X,' qmax= ',E8.3,' cm/d',/)";
inline constexpr std::string_view kAnaerobiosisFormat =
    "(/,2X,'Anaerobiosis expected at ',F5.1,' cm pressure head')";
inline constexpr std::string_view kBagrovCoefficientFormat = "(/,2X,'Bagrov coefficient = ',F6.3)";
inline constexpr std::string_view kResultFormat =
    "(2X,/,' Actual evapotranspiration: ',F7.2,' cm',5X,'Groundwater recharge ',F7.2,' cm')";

#undef RECHARGE_TEXT

}  // namespace recharge::texts

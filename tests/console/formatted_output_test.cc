#include "console/formatted_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace recharge {
namespace {

constexpr std::string_view kCapacities =
    "(/,2X,' field capacity cm3/cm3: ',F6.3,' wilting point: ',F7.4,"
    "' maximum plant available soil water storage, cm: ',F6.1)";
constexpr std::string_view kQmax = "(2X,' qmax= ',E8.3,' cm/d',/)";
constexpr std::string_view kAnaerobiosis =
    "(/,2X,'Anaerobiosis expected at ',F5.1,' cm pressure head')";
constexpr std::string_view kBagrov = "(/,2X,'Bagrov coefficient = ',F6.3)";
constexpr std::string_view kResults =
    "(2X,/,' Actual evapotranspiration: ',F7.2,' cm',5X,'Groundwater recharge ',F7.2,' cm')";
constexpr std::string_view kCs = "(1X,'Cs= ',F6.3)";

struct FormatCase {
  std::string_view format;
  std::initializer_list<double> values;
  std::vector<std::string> records;  // each with its carriage control first
};

TEST(FormattedOutputTest, FormatsOfTheDialogue) {
  const FormatCase cases[] = {
      {kCapacities,
       {0.35, 0.1234, 12.3},
       {"",
        "   field capacity cm3/cm3:   .350 wilting point:   .1234"
        " maximum plant available soil water storage, cm:   12.3"}},
      // Without values the format stops at its first number.
      {kCapacities, {}, {"", "   field capacity cm3/cm3: "}},
      {kQmax, {1.0}, {"   qmax= .100E+01 cm/d", ""}},
      {kQmax, {-1.0}, {"   qmax= ******** cm/d", ""}},
      {kAnaerobiosis, {60.0}, {"", "  Anaerobiosis expected at  60.0 cm pressure head"}},
      {kBagrov, {1.234}, {"", "  Bagrov coefficient =  1.234"}},
      {kResults,
       {45.678, -5.03},
       {"  ", " Actual evapotranspiration:   45.68 cm     Groundwater recharge   -5.03 cm"}},
      {kCs, {7.0 / 42.0}, {" Cs=   .167"}},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.format);
    CollectingSink sink;
    BuildFormattedRecords(c.format, c.values, sink);
    EXPECT_EQ(sink.records, c.records);
  }
  // Formatted records are not wrapped: the capacities line shows 110 columns.
  EXPECT_EQ(cases[0].records[1].size(), 111u);
}

}  // namespace
}  // namespace recharge

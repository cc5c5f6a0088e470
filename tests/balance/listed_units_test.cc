#include "balance/listed_units.h"

#include <gtest/gtest.h>

#include <string>

#include "balance/field_units.h"
#include "balance/udunits_reader.h"

namespace recharge {
namespace {

const UdunitsReader& Udunits() {
  std::string error;
  const UdunitsReader* const reader = UdunitsReader::Load(error);
  EXPECT_NE(reader, nullptr) << error;
  return *reader;
}

// Every listed spelling, blanks around it or not, gives every field the scale
// and the refusal UDUNITS-2 gives it, to the bit and to the byte; so does
// every result length.
TEST(ListedUnits, ReadAsUdunitsReadsThem) {
  const ListedUnits listed_reader;
  const FieldUnits listed(listed_reader), udunits(Udunits());
  for (const ListedUnit& entry : UnitList()) {
    for (const std::string& unit : {std::string(entry.unit), " " + std::string(entry.unit) + " "}) {
      SCOPED_TRACE("\"" + unit + "\"");
      for (int i = 0; i < kInputFieldCount; ++i) {
        const InputField field = static_cast<InputField>(i);
        SCOPED_TRACE(std::string(FieldName(field)));
        UnitScale from_list, from_udunits;
        std::string listed_problem, udunits_problem;
        EXPECT_EQ(listed.ScaleOf(field, unit, from_list, listed_problem),
                  udunits.ScaleOf(field, unit, from_udunits, udunits_problem));
        EXPECT_EQ(listed_problem, udunits_problem);
        EXPECT_EQ(from_list.power_of_ten, from_udunits.power_of_ten);
        EXPECT_EQ(from_list.shift, from_udunits.shift);
        EXPECT_EQ(from_list.factor, from_udunits.factor);
        EXPECT_EQ(from_list.largest, from_udunits.largest);
      }
      UnitScale from_list, from_udunits;
      std::string listed_problem, udunits_problem;
      EXPECT_EQ(listed.LengthScale(unit, from_list, listed_problem),
                udunits.LengthScale(unit, from_udunits, udunits_problem));
      EXPECT_EQ(listed_problem, udunits_problem);
      EXPECT_EQ(from_list.shift, from_udunits.shift);
      EXPECT_EQ(from_list.factor, from_udunits.factor);
    }
  }
}

// A spelling the list does not have is refused as unknown to the web page,
// though UDUNITS-2 reads it; words for no unit and blanks need no list.
TEST(ListedUnits, UnlistedSpellingsAreRefused) {
  const ListedUnits listed_reader;
  const FieldUnits listed(listed_reader);
  UnitScale scale;
  std::string problem;
  EXPECT_FALSE(listed.ScaleOf(InputField::kZgw, "fathom", scale, problem));
  EXPECT_EQ(problem,
            "zgw takes a length (mm, cm, m, in, ...), not \"fathom\", which the web page does not "
            "know: recharge-table reads every unit UDUNITS-2 reads");
  EXPECT_FALSE(listed.LengthScale("fathom", scale, problem));
  EXPECT_EQ(problem,
            "takes a length (mm, cm, m, in, ...), not \"fathom\", which the web page does not "
            "know: recharge-table reads every unit UDUNITS-2 reads");
  EXPECT_TRUE(FieldUnits(Udunits()).LengthScale("fathom", scale, problem)) << problem;
  EXPECT_TRUE(listed.ScaleOf(InputField::kN, "NONE", scale, problem)) << problem;
  EXPECT_TRUE(listed.ScaleOf(InputField::kP, " ", scale, problem)) << problem;
}

}  // namespace
}  // namespace recharge

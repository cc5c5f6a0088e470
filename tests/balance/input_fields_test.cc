#include "balance/input_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace recharge {
namespace {

// Each series' six fields are its name and the month's number, April (4) to
// September (9), in order; no other field has a month.
TEST(InputFieldsTest, MonthsOfTheSeries) {
  int months = 0;
  for (const MonthSeries& series : MonthSeriesList()) {
    for (int month = 0; month < kMonths; ++month) {
      const InputField field = MonthField(series.first, month);
      EXPECT_EQ(FieldName(field), std::string(series.name) + std::to_string(month + 4));
      EXPECT_EQ(InfoOf(field).month, month);
      EXPECT_EQ(SeriesOf(field), &series);
    }
  }
  for (int i = 0; i < kInputFieldCount; ++i) {
    const InputField field = static_cast<InputField>(i);
    if (InfoOf(field).month >= 0) {
      ++months;
    } else {
      EXPECT_EQ(SeriesOf(field), nullptr) << FieldName(field);
    }
  }
  EXPECT_EQ(months, kMonths * static_cast<int>(MonthSeriesList().size()));
}

}  // namespace
}  // namespace recharge

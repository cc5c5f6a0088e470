// The page module's C++: the Bagrov curve against the closed solution for
// nB = 2 (ETa = ETp tanh(P/ETp)) and the humid shortcut, and the contract's
// JSON as the page reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "web/bagrov_curve.h"
#include "web/page_contract.h"

namespace recharge::web {
namespace {

TEST(PageModule, BagrovCurveFollowsTheClosedSolutionThenTheShortcut) {
  constexpr int kCount = 31;
  double ratios[2 * kCount];
  BagrovCurve(2.0, 3.0, kCount, ratios);
  for (int i = 0; i < kCount; ++i) {
    const double x = ratios[2 * i];
    EXPECT_DOUBLE_EQ(x, 3.0 * i / (kCount - 1));
    // The Newton iteration stops within 0.0001 of P (ETp 1); the shortcut's
    // 0.998 is a single-precision constant.
    const double expected = x >= 2.0 ? 0.998f : std::tanh(x);
    EXPECT_NEAR(ratios[2 * i + 1], expected, x >= 2.0 ? 0.0 : 2e-4) << x;
  }
}

TEST(PageModule, ContractNamesInputsClassesAndResults) {
  const std::string json = ContractJson();
  EXPECT_EQ(json.rfind("{\"version\":\"", 0), 0u);
  EXPECT_NE(json.find("{\"name\":\"P\",\"description\":\"annual precipitation\",\"quantity\":"
                      "\"annual total\",\"model_unit\":\"cm\",\"offered\":[\"cm/a\",\"mm/a\""),
            std::string::npos);
  EXPECT_NE(
      json.find("\"classes\":[{\"number\":1,\"name\":\"Ss\"},{\"number\":2,\"name\":\"Sl2\"}"),
      std::string::npos);
  EXPECT_NE(json.find("{\"name\":\"ETa\",\"unit\":\"cm/a\""), std::string::npos);
  EXPECT_NE(json.find("\"length_units\":[\"cm\",\"mm\",\"m\"]}"), std::string::npos);
}

}  // namespace
}  // namespace recharge::web

#include "console/edit_descriptors.h"

#include <gtest/gtest.h>

#include <string>

namespace recharge {
namespace {

TEST(EditDescriptorsTest, Fields) {
  const struct {
    char descriptor;  // 'F' or 'E'
    double value;
    int w;
    int d;
    const char* field;
  } cases[] = {
      // The 16-digit string of 2.675 is 2675000000000000: half-up then gives .68.
      {'F', 2.675, 5, 2, " 2.68"},
      {'F', 0.125, 5, 2, "  .13"},
      {'F', 0.05, 4, 1, "  .1"},
      // A carry out of the first digit adds a digit.
      {'F', 9.996, 5, 2, "10.00"},
      {'F', 0.9996, 6, 3, " 1.000"},
      {'F', 99.996, 5, 2, "*****"},
      // No zero before the point; no minus on a value that rounds to zero.
      {'F', 0.35, 6, 3, "  .350"},
      {'F', 0.0207, 7, 4, "  .0207"},
      {'F', -0.0004, 6, 3, "  .000"},
      {'F', -0.0006, 6, 3, " -.001"},
      {'F', 0.0, 6, 3, "  .000"},
      {'F', -1e-20, 6, 3, "  .000"},
      {'F', 1234.5, 6, 3, "******"},
      // d = 0: a lone zero only when nothing else is written.
      {'F', -0.4, 3, 0, " 0."},
      {'F', 0.5, 3, 0, " 1."},
      {'F', 12.5, 3, 0, "13."},
      {'F', 123.4, 3, 0, "***"},
      // Exactly fitting, and one column short.
      {'F', -12.34, 6, 2, "-12.34"},
      {'F', -12.34, 5, 2, "*****"},
      {'E', 1.0, 8, 3, ".100E+01"},
      {'E', 0.008554, 8, 3, ".855E-02"},
      {'E', 0.0, 8, 3, ".000E+00"},
      {'E', -1.0, 8, 3, "********"},
      {'E', -1.0, 9, 3, "-.100E+01"},
      {'E', 0.00125, 8, 2, " .13E-02"},
      // Rounding carries into the exponent.
      {'E', 0.9996, 8, 3, ".100E+01"},
      {'E', 9.9996e99, 8, 3, ".100+101"},
      // A three-digit exponent takes the place of the E.
      {'E', 1e-100, 8, 3, ".100E-99"},
      {'E', 1e-101, 8, 3, ".100-100"},
      {'E', 1e150, 9, 3, " .100+151"},
      {'E', -1e150, 8, 3, "********"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << ' ' << c.descriptor << c.w << '.' << c.d);
    std::string out = "|";
    if (c.descriptor == 'F') {
      AppendFixed(c.value, c.w, c.d, out);
    } else {
      AppendExponent(c.value, c.w, c.d, out);
    }
    EXPECT_EQ(out, std::string("|") + c.field);
  }
}

}  // namespace
}  // namespace recharge

// All 34 soil classes in one piped run, checked against soil_classes.txt: the
// soil water record, qmax, the method with its Bagrov coefficient, and the
// result record of each soil. The screen's list of classes names each as the
// table of classes does.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/dialogue_texts.h"
#include "run_program.h"
#include "soil/soil_class_table.h"

namespace recharge::testing {
namespace {

struct ClassRow {
  std::string number, code, zr, zgw, FC, WP, Wmax, qmax, method, nB, ETa, R;
};

std::vector<ClassRow> LoadRows() {
  std::vector<ClassRow> rows;
  std::ifstream file(SOIL_CLASSES_FILE);
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    ClassRow r;
    fields >> r.number >> r.code >> r.zr >> r.zgw >> r.FC >> r.WP >> r.Wmax >> r.qmax >> r.method >>
        r.nB >> r.ETa >> r.R;
    rows.push_back(r);
  }
  return rows;
}

std::string Field(const std::string& value, std::size_t width) {
  return std::string(width - value.size(), ' ') + value;
}

// The lines of `out` that carry a soil's results, in order.
std::vector<std::string> ResultLines(const std::string& out) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = out.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = out.substr(start, end - start);
    for (const char* prefix : {"  field capacity", "  qmax=", " Bagrov coefficient",
                               " Hydropedotransfer", "Actual evapotranspiration"}) {
      if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    }
  }
  return lines;
}

TEST(SoilClasses, EveryClassOfTheTable) {
  const std::vector<ClassRow> rows = LoadRows();
  ASSERT_EQ(rows.size(), 34u);
  std::string input = "45 60\n25 45\n1\n0.2\n";
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ClassRow& r = rows[i];
    ASSERT_EQ(r.number, std::to_string(i + 1));
    input += r.zr + " " + r.zgw + "\n" + r.number + "\n";
    if (r.method == "B") input += "0\n";  // no severe anaerobiosis
    input += i + 1 < rows.size() ? "1\n" : "0\n0\n";
    expected.push_back("  field capacity cm3/cm3: " + Field(r.FC, 6) +
                       " wilting point: " + Field(r.WP, 7) +
                       " maximum plant available soil water storage, cm: " + Field(r.Wmax, 6));
    expected.push_back("  qmax= " + r.qmax + " cm/d");
    expected.push_back(r.method == "B" ? " Bagrov coefficient = " + Field(r.nB, 6)
                                       : " Hydropedotransfer function used ");
    expected.push_back("Actual evapotranspiration: " + Field(r.ETa, 7) +
                       " cm     Groundwater recharge " + Field(r.R, 7) + " cm");
  }
  const ProgramRun run = RunProgram({.input = input});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> shown = ResultLines(run.out);
  ASSERT_EQ(shown.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(shown[i], expected[i]) << "class " << rows[i / 4].number;
  }
}

// "Ss  1      Su2 8 ...": each name before its number, as the table names it.
TEST(SoilClasses, ScreenListNamesEachClassAsTheTable) {
  int listed = 0;
  for (const std::string_view line :
       {texts::kClassList1, texts::kClassList2, texts::kClassList3, texts::kClassList4,
        texts::kClassList5, texts::kClassList6, texts::kClassList7}) {
    std::istringstream words{std::string(line)};
    std::string name;
    int number = 0;
    while (words >> name >> number) {
      ASSERT_NE(SoilClass(number), nullptr) << name;
      EXPECT_EQ(SoilClass(number)->name, name) << number;
      ++listed;
    }
  }
  EXPECT_EQ(listed, kSoilClassCount);
}

}  // namespace
}  // namespace recharge::testing

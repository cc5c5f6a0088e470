// Helpers shared by the console runtime tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "console/record_sink.h"

namespace recharge {

// Keeps the records of one output statement, carriage control included.
class CollectingSink : public RecordSink {
 public:
  void Record(std::string_view record) override { records.emplace_back(record); }
  std::vector<std::string> records;
};

}  // namespace recharge

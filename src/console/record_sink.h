// Receiver of the records that one output statement builds. The first
// character of each record is its carriage-control character.
#pragma once

#include <string_view>

namespace recharge {

class RecordSink {
 public:
  virtual void Record(std::string_view record) = 0;

 protected:
  ~RecordSink() = default;
};

}  // namespace recharge

#include "console/formatted_output.h"

#include <cctype>
#include <string>

#include "console/edit_descriptors.h"

namespace recharge {

namespace {

// Reads an unsigned decimal number at `pos`, advancing past it.
int ReadNumber(std::string_view format, std::size_t& pos) {
  int value = 0;
  while (pos < format.size() && std::isdigit(static_cast<unsigned char>(format[pos]))) {
    value = value * 10 + (format[pos++] - '0');
  }
  return value;
}

}  // namespace

void BuildFormattedRecords(std::string_view format, std::initializer_list<double> values,
                           RecordSink& sink) {
  const double* next = values.begin();
  // One record buffer per thread, reused: a record costs no allocation.
  thread_local std::string record;
  record.clear();
  std::size_t pos = 0;
  while (pos < format.size()) {
    const char c = format[pos];
    if (c == '\'') {
      // Quoted literal; a doubled quote stands for one.
      ++pos;
      while (pos < format.size()) {
        if (format[pos] == '\'') {
          if (pos + 1 < format.size() && format[pos + 1] == '\'') {
            record += '\'';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        record += format[pos++];
      }
    } else if (c == '/') {
      sink.Record(record);
      record.clear();
      ++pos;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      const int count = ReadNumber(format, pos);  // nX
      ++pos;
      record.append(static_cast<std::size_t>(count), ' ');
    } else if (c == 'F' || c == 'E') {
      if (next == values.end()) break;
      ++pos;
      const int w = ReadNumber(format, pos);
      ++pos;  // the point
      const int d = ReadNumber(format, pos);
      if (c == 'F') {
        AppendFixed(*next++, w, d, record);
      } else {
        AppendExponent(*next++, w, d, record);
      }
    } else {
      ++pos;  // parentheses and commas
    }
  }
  sink.Record(record);
}

}  // namespace recharge

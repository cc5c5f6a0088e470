// Bytes on their way to standard output.
//
// On a terminal each record goes out in one write(2), its line advance and its
// text together, the moment it is complete. Anywhere else records are
// gathered and written in bulk: before every read of standard input, before a
// report and at exit, so that a program driving this one through pipes sees
// each prompt before it is expected to answer.
#pragma once

#include <string>
#include <string_view>

namespace recharge {

class OutputChannel {
 public:
  OutputChannel(int fd, bool terminal);

  // False when the operating system refused the bytes.
  bool Write(std::string_view advance, std::string_view text);
  // Writes what was gathered; the bytes are gone afterwards either way.
  bool Flush();

 private:
  int fd_;
  bool terminal_;
  std::string pending_;
};

}  // namespace recharge

// Where the table of results goes. Standard output is written as it comes.
// A named file is written to a temporary file in the same folder and renamed
// over the name only when the table is complete: an interrupted run (Ctrl-C,
// SIGTERM, SIGHUP, a failure) leaves neither a truncated table under that
// name nor a stray temporary file, and an existing file stays as it was.
#pragma once

#include <string>
#include <string_view>

namespace recharge::table {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the temporary file unless Commit succeeded.
  ~OutputFile();

  // `path` empty: standard output. False, with `error` set, when the
  // temporary file cannot be made.
  bool Open(const std::string& path, std::string& error);
  // False, with `error` set, when the bytes could not be written.
  bool Write(std::string_view bytes, std::string& error);
  // Flushes and, for a named file, renames the temporary file over it.
  bool Commit(std::string& error);

 private:
  std::string ErrorText(const char* what) const;

  int fd_ = 1;
  std::string path_;
  std::string temporary_;
};

}  // namespace recharge::table

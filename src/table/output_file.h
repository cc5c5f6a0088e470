// Where the table of results goes. Standard output is written as it comes.
// `-o NAME` writes, by what NAME is:
//   - a regular file, or nothing yet: a temporary file beside it
//     ("results.csv.a1B2c3"), renamed over NAME only when the table is
//     complete, then the folder is synced. An interrupted run (Ctrl-C,
//     SIGTERM, SIGHUP, a failure) leaves neither a truncated table under NAME
//     nor the temporary file, and an existing file stays as it was. The new
//     file keeps the permission bits of the file it replaces (and its owner
//     and group where the process may set them); a new name gets 0666 less
//     the umask. A file with several names (hard links) is replaced under
//     NAME only: NAME becomes a new file, the other names keep the old one.
//   - a symbolic link: the file at the end of its chain of links, each
//     relative link read from the link's folder, as above; the links stay.
//     A link to nothing makes the file it names.
//   - a device or a FIFO (/dev/null, a named pipe): written directly, as it
//     comes.
//   - a folder: refused.
// Every failure reads "cannot write NAME: reason", e.g.
//   "cannot write out/results.csv: No such file or directory"
//   "cannot write /tmp: Is a directory"
//   "cannot write loop.csv: Too many levels of symbolic links".
//
// A signal that ends the run (SIGINT, SIGTERM, SIGHUP) first removes the
// temporary file; a signal the parent left ignored (nohup) stays ignored.
// A write into a pipe or FIFO whose reader has gone fails with an empty
// `error`: nobody is left to read a message.
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

  // `path` empty: standard output. False, with `error` set, when the file
  // cannot be written as above.
  bool Open(const std::string& path, std::string& error);
  // False, with `error` set, when the bytes could not be written.
  bool Write(std::string_view bytes, std::string& error);
  // Flushes and, for a temporary file, renames it over its name.
  bool Commit(std::string& error);

 private:
  bool Failed(std::string& error) const;

  int fd_ = 1;
  bool owns_fd_ = false;
  std::string path_;       // as the user named it
  std::string target_;     // the file written, at the end of its links
  std::string temporary_;  // empty when writing straight to target_
};

}  // namespace recharge::table

// Reads and writes on file descriptors that retry what is no failure: an
// interrupted call (EINTR), and a descriptor left non-blocking by whatever
// started the program (EAGAIN), on which they wait with poll(2) until it is
// ready instead of giving up.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string_view>

namespace recharge {

// Up to `size` bytes into `buffer`: the count, 0 at the end of the input,
// -1 when the operating system refused the read.
ssize_t ReadSome(int fd, char* buffer, std::size_t size);

// All of `bytes`; false when the operating system refused them.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace recharge

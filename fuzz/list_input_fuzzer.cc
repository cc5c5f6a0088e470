// Fuzzes list-directed input: the data after a two-byte header is standard
// input, read by READ statements whose shapes the header picks, through the
// real LineReader on a memfd. Tokens cut from the same data go through
// ConvertInteger and ConvertReal, checked against the C++ library.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "check.h"
#include "console/line_reader.h"
#include "console/list_directed_input.h"
#include "console/number_conversion.h"

namespace {

using recharge::RuntimeError;

int input_fd = -1;
int null_fd = -1;

bool IsInputError(RuntimeError e) {
  return e >= RuntimeError::kEndOfFile && e <= RuntimeError::kWrongForm &&
         e != RuntimeError::kReadFailure;
}

// Targets start as a value no conversion can produce.
constexpr double kUntouchedReal = -std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kUntouchedInteger = 0x5eed5eed;

bool Untouched(double target) {
  return std::bit_cast<std::uint64_t>(target) == std::bit_cast<std::uint64_t>(kUntouchedReal);
}

// One READ shape per header nibble: 'd' a double target, 'i' an integer.
constexpr std::string_view kShapes[16] = {"d",   "i",   "dd",  "ii",  "di",  "id",  "ddd", "iii",
                                          "ddi", "did", "idd", "iid", "idi", "dii", "dd",  "i"};

// The value ConvertInteger must give, or false when it must fail.
bool ReferenceInteger(std::string_view t, std::int32_t& value) {
  if (t == "-2147483648") return value = std::numeric_limits<std::int32_t>::min(), true;
  const bool negative = !t.empty() && t[0] == '-';
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
  int base = 10;
  if (const auto mark = t.find('#'); mark != std::string_view::npos) {
    const auto r = std::from_chars(t.data(), t.data() + mark, base);
    if (mark == 0)
      base = 16;
    else if (r.ptr != t.data() + mark || r.ec != std::errc() || t[0] == '-')
      return false;
    if (base < 2 || base > 36) return false;
    t.remove_prefix(mark + 1);
  }
  std::int64_t magnitude = 0;
  if (!t.empty()) {
    const auto r = std::from_chars(t.data(), t.data() + t.size(), magnitude, base);
    if (t[0] == '-' || r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
  }
  if (magnitude > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

void CheckConversions(std::string_view token) {
  std::int32_t integer = kUntouchedInteger;
  const RuntimeError integer_error = recharge::ConvertInteger(token, integer);
  std::int32_t expected = 0;
  const bool valid = ReferenceInteger(token, expected);
  CHECK(valid == (integer_error == RuntimeError::kNone));
  CHECK(valid ? integer == expected : integer == kUntouchedInteger);
  CHECK(valid || IsInputError(integer_error));

  double real = kUntouchedReal;
  const RuntimeError real_error = recharge::ConvertReal(token, real);
  CHECK(real_error == RuntimeError::kNone || IsInputError(real_error));
  CHECK(real_error == RuntimeError::kNone || Untouched(real));
  // Within plain decimal syntax strtod (with 'e' for the exponent letter) is
  // the reference; it also sees no "inf", "nan" or hexadecimal form there.
  if (token.find_first_not_of("+-0123456789.eEdD") != std::string_view::npos) return;
  std::string text(token);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == 'd' || c == 'D'; }, 'e');
  char* end = nullptr;
  const double reference = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || text.empty()) {
    CHECK(real_error == RuntimeError::kInvalidReal ||
          real_error == RuntimeError::kCharactersAfterReal);
  } else if (std::abs(reference) > std::numeric_limits<double>::max()) {
    CHECK(real_error == RuntimeError::kRealOverflow);
  } else {
    CHECK(real_error == RuntimeError::kNone);
    CHECK(std::bit_cast<std::uint64_t>(real) == std::bit_cast<std::uint64_t>(reference));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  input_fd = memfd_create("standard-input", 0);
  null_fd = open("/dev/null", O_WRONLY);
  CHECK(input_fd >= 0 && null_fd >= 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned header = data[0] | data[1] << 8;
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
  CHECK(ftruncate(input_fd, 0) == 0);
  CHECK(pwrite(input_fd, input.data(), input.size(), 0) == static_cast<ssize_t>(input.size()));
  CHECK(lseek(input_fd, 0, SEEK_SET) == 0);

  recharge::OutputChannel out(null_fd, false);
  recharge::ConsoleUnit unit;
  recharge::LineReader lines(input_fd, out, unit);
  recharge::ListDirectedReader reader(lines);
  RuntimeError error = RuntimeError::kNone;
  std::size_t statements = 0;
  while (error == RuntimeError::kNone) {
    // Every statement starts on a new line, so the lines bound their number.
    CHECK(statements <= static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n')) + 1);
    const std::string_view shape = kShapes[(header >> (statements++ % 4 * 4)) & 15];
    reader.Begin();
    for (const char kind : shape) {
      if (kind == 'd') {
        double target = kUntouchedReal;
        error = reader.Transfer(target);
        // Stored only on success, and never an infinity or a NaN.
        CHECK(Untouched(target) || (error == RuntimeError::kNone && std::isfinite(target)));
      } else {
        std::int32_t target = kUntouchedInteger;
        error = reader.Transfer(target);
        CHECK(error == RuntimeError::kNone || target == kUntouchedInteger);
      }
      if (error != RuntimeError::kNone) break;
    }
    reader.End();
  }
  CHECK(IsInputError(error));
  // A line of 4096 bytes or more, line feed excluded, is the only way to
  // overflow the buffer.
  std::size_t run = 0, longest = 0;
  for (const char c : input) longest = std::max(longest, run = c == '\n' ? 0 : run + 1);
  CHECK(error != RuntimeError::kLineTooLong || longest >= recharge::kInputBufferSize);

  // Tokens: the data cut at blanks, line ends, commas and slashes.
  for (std::size_t start = 0; start < input.size();) {
    std::size_t stop = input.find_first_of(" \t\r\n,/", start);
    if (stop == std::string_view::npos) stop = input.size();
    if (stop - start < recharge::kInputBufferSize)
      CheckConversions(input.substr(start, stop - start));
    start = stop + 1;
  }
  return 0;
}

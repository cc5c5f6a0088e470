// CorrectPow and CorrectExp against MPFR, bit for bit: random arguments from
// the model's own powers, from the whole double range and from exp's, and a
// list of special and exact cases. Prints one line per domain and the first
// differences as bit patterns; exits 1 if any result differs.
//
//   correct_rounding_check [--samples N] [--seed S] [--threads T] [--full]
//
// N samples per random domain of the model and of exp, a tenth of N over the
// whole range of pow: 8 * 10^6 by default, about a minute on two CPUs; --full
// is N = 10^8. T threads, by default as many as the process may use.
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <thread>
#include <vector>

#include "runtime/available_cpus.h"
#include "runtime/correct_exp.h"
#include "runtime/correct_pow.h"

namespace {

using recharge::CorrectExp;
using recharge::CorrectPow;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

enum class Function { kPow, kExp };

struct Case {
  Function function;
  double x;
  double y;  // pow's exponent, unused by exp
};

double Ours(const Case& c) {
  return c.function == Function::kPow ? CorrectPow(c.x, c.y) : CorrectExp(c.x);
}

// MPFR in the double format: 53 bits and the exponents of the doubles (MPFR's
// significands lie in [1/2, 1), so 2^-1074 has the exponent -1073), each
// result rounded again to the precision a subnormal has. The exponent range
// is the calling thread's own.
class Reference {
 public:
  Reference() {
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    mpfr_inits2(53, x_, y_, result_, static_cast<mpfr_ptr>(nullptr));
  }
  ~Reference() {
    mpfr_clears(x_, y_, result_, static_cast<mpfr_ptr>(nullptr));
    mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE);
  }
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;

  double operator()(const Case& c) {
    mpfr_set_d(x_, c.x, MPFR_RNDN);
    int ternary;
    if (c.function == Function::kPow) {
      mpfr_set_d(y_, c.y, MPFR_RNDN);
      ternary = mpfr_pow(result_, x_, y_, MPFR_RNDN);
    } else {
      ternary = mpfr_exp(result_, x_, MPFR_RNDN);
    }
    mpfr_subnormalize(result_, ternary, MPFR_RNDN);
    return mpfr_get_d(result_, MPFR_RNDN);
  }

 private:
  mpfr_t x_, y_, result_;
};

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

// Any NaN is every NaN; +0 and -0 differ.
bool Same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || Bits(a) == Bits(b); }

void PrintDifference(const char* indent, const Case& c, double ours, double mpfr) {
  if (c.function == Function::kPow) {
    std::printf("%spow x=%016" PRIx64 " y=%016" PRIx64, indent, Bits(c.x), Bits(c.y));
  } else {
    std::printf("%sexp x=%016" PRIx64, indent, Bits(c.x));
  }
  std::printf(" ours=%016" PRIx64 " mpfr=%016" PRIx64 "\n", Bits(ours), Bits(mpfr));
}

// splitmix64. Every sample has a generator of its own, from the seed, the
// domain and the sample's number, so that the arguments do not depend on the
// number of threads.
std::uint64_t Mix(std::uint64_t z) {
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
  z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
  return z ^ (z >> 31);
}

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() { return Mix(state_ += 0x9e3779b97f4a7c15); }
  // 0 ... count - 1.
  unsigned Below(unsigned count) { return static_cast<unsigned>(Next() % count); }
  bool Coin() { return Next() >> 63; }
  double Uniform(double low, double high) {
    return low + (high - low) * (static_cast<double>(Next() >> 11) * 0x1p-53);
  }
  double LogUniform(double low, double high) {
    return std::exp(Uniform(std::log(low), std::log(high)));
  }
  double Signed(double magnitude) { return Coin() ? magnitude : -magnitude; }
  // A positive finite double of random bits, subnormals included.
  double PositiveFinite() {
    for (;;) {
      const double x = std::bit_cast<double>(Next() >> 1);
      if (std::isfinite(x)) return x;
    }
  }

 private:
  std::uint64_t state_;
};

// The solver's integrand: a ratio in [0, 1] to the Bagrov coefficient.
Case Integrand(Random& random) {
  const double nB = random.Uniform(0.5, 10.0);
  switch (random.Below(3)) {
    case 0:
      return {Function::kPow, random.Uniform(0.0, 1.0), nB};
    case 1:
      return {Function::kPow, random.LogUniform(1e-30, 1.0), nB};
    default:
      return {Function::kPow, 1.0 - random.LogUniform(0x1p-53, 0x1p-10), nB};
  }
}

// The powers of water retention and capillary rise, as the soil's quantities
// take them: (alpha h)^n and (1 + (alpha h)^n)^(1 - 1/n) at field capacity and
// the wilting point, the anaerobiosis head's Se^(-1/m) and (Se^(-1/m) - 1)^(1/n),
// and the rise's (zgw - zr)^p2.
Case Retention(Random& random) {
  const double alpha = random.LogUniform(1e-3, 1.0);  // 1/cm
  const double n = random.Uniform(1.01, 3.0);
  const double a = (random.Coin() ? 63.0 : 15800.0) * alpha;
  const double theta_s = random.Uniform(0.3, 0.6);
  const double theta_r = random.Uniform(0.0, 0.2);
  const double Se = (theta_s - 0.05f - theta_r) / (theta_s - theta_r);
  const double t = -(1.0 / (1.0 - 1.0 / n));
  switch (random.Below(5)) {
    case 0:
      return {Function::kPow, a, n};
    case 1:
      return {Function::kPow, 1.0 + CorrectPow(a, n), 1.0 - 1.0 / n};
    case 2:
      return {Function::kPow, Se, t};
    case 3:
      return {Function::kPow, CorrectPow(Se, t) - 1.0, 1.0 / n};
    default:
      return {Function::kPow, random.LogUniform(1.0, 1e4), random.Uniform(-4.0, -1.0)};
  }
}

// The regressions of the Bagrov coefficient and of hydropedotransfer on qmax
// (cm/d) and Wmax (cm), with their single-precision constants.
Case Regression(Random& random) {
  const double qmax = random.LogUniform(1e-12, 1.0);
  switch (random.Below(4)) {
    case 0:
      return {Function::kExp, qmax * 2.5884f, 0.0};
    case 1:
      return {Function::kPow, qmax, 0.5354f};
    case 2:
      return {Function::kPow, qmax, 0.90303f};
    default:
      return {Function::kPow, random.Uniform(0.0, 150.0), 1.0879f};
  }
}

// exp over its finite range, and by magnitudes from 2^-60 up.
Case ExpRange(Random& random) {
  if (random.Coin()) return {Function::kExp, random.Uniform(-746.0, 710.0), 0.0};
  return {Function::kExp, random.Signed(random.LogUniform(0x1p-60, 746.0)), 0.0};
}

// pow over all doubles: a positive base of random bits with an exponent that
// puts |y ln x| anywhere from 2^-60 to 800, so that most results are in range
// and many near its ends; negative bases to integer exponents up to 2^40, odd
// and even; exact powers and midpoints of either sign from 2^-1100 to 2^1100,
// an odd m < 2^(54/n) (or 1) times a power of two to the power n or -n for
// n = 1 ... 5; and a few of random bits in both, mostly overflow, underflow
// and NaN.
Case PowRange(Random& random) {
  const double t = random.Signed(random.LogUniform(0x1p-60, 800.0));
  switch (random.Below(8)) {
    case 0:
      return {Function::kPow, std::bit_cast<double>(random.Next()),
              std::bit_cast<double>(random.Next())};
    case 1: {
      const double y = random.Signed(std::round(random.LogUniform(1.0, 0x1p40)));
      return {Function::kPow, -std::exp(t / y), y};
    }
    case 2: {
      const int n = 1 + static_cast<int>(random.Below(5));
      const int bits = std::min(53, 54 / n);
      const auto m = static_cast<double>((random.Next() >> (64 - bits)) | 1);
      const int scale = static_cast<int>(random.Below(2201)) - 1100;
      const double x = std::ldexp(random.Coin() ? m : 1.0, scale / n - bits);
      return {Function::kPow, random.Signed(x), random.Signed(n)};
    }
    default: {
      const double x = random.PositiveFinite();
      return {Function::kPow, x, x == 1.0 ? t : t / std::log(x)};
    }
  }
}

struct Named {
  const char* name;
  Case c;
};

Named Pow(const char* name, double x, double y) { return {name, {Function::kPow, x, y}}; }
Named Exp(const char* name, double x) { return {name, {Function::kExp, x, 0.0}}; }

const std::vector<Named>& SpecialCases() {
  static const std::vector<Named> cases = {
      // Zeros, infinities and NaNs.
      Pow("pow(+0, 3)", 0.0, 3.0),
      Pow("pow(-0, 3)", -0.0, 3.0),
      Pow("pow(-0, 2)", -0.0, 2.0),
      Pow("pow(-0, 0.5)", -0.0, 0.5),
      Pow("pow(+0, -3)", 0.0, -3.0),
      Pow("pow(-0, -3)", -0.0, -3.0),
      Pow("pow(-0, -2)", -0.0, -2.0),
      Pow("pow(-0, -0.5)", -0.0, -0.5),
      Pow("pow(-0, -inf)", -0.0, -kInf),
      Pow("pow(-0, +inf)", -0.0, kInf),
      Pow("pow(-0, 2^53-1)", -0.0, 0x1p53 - 1),
      Pow("pow(NaN, +0)", kNaN, 0.0),
      Pow("pow(NaN, -0)", kNaN, -0.0),
      Pow("pow(inf, -0)", kInf, -0.0),
      Pow("pow(1, NaN)", 1.0, kNaN),
      Pow("pow(1, inf)", 1.0, kInf),
      Pow("pow(1, -inf)", 1.0, -kInf),
      Pow("pow(-1, inf)", -1.0, kInf),
      Pow("pow(-1, -inf)", -1.0, -kInf),
      Pow("pow(NaN, 1)", kNaN, 1.0),
      Pow("pow(2, NaN)", 2.0, kNaN),
      Pow("pow(-1, NaN)", -1.0, kNaN),
      Pow("pow(0.5, inf)", 0.5, kInf),
      Pow("pow(0.5, -inf)", 0.5, -kInf),
      Pow("pow(-0.5, inf)", -0.5, kInf),
      Pow("pow(2, inf)", 2.0, kInf),
      Pow("pow(-2, -inf)", -2.0, -kInf),
      Pow("pow(1-2^-53, inf)", 1 - 0x1p-53, kInf),
      Pow("pow(inf, 0.5)", kInf, 0.5),
      Pow("pow(inf, -2)", kInf, -2.0),
      Pow("pow(-inf, 3)", -kInf, 3.0),
      Pow("pow(-inf, 2)", -kInf, 2.0),
      Pow("pow(-inf, 0.5)", -kInf, 0.5),
      Pow("pow(-inf, -3)", -kInf, -3.0),
      Pow("pow(-inf, -2)", -kInf, -2.0),
      Pow("pow(-inf, inf)", -kInf, kInf),
      Pow("pow(-8, 1/3)", -8.0, 1.0 / 3.0),
      Pow("pow(-2, 0.5)", -2.0, 0.5),
      Pow("pow(-max, 0.5)", -kMax, 0.5),
      // Negative bases with integer exponents.
      Pow("pow(-3, 3)", -3.0, 3.0),
      Pow("pow(-3, 4)", -3.0, 4.0),
      Pow("pow(-0.5, -3)", -0.5, -3.0),
      Pow("pow(-1.5, 2)", -1.5, 2.0),
      Pow("pow(-1, 2^53-1)", -1.0, 0x1p53 - 1),
      Pow("pow(-1, 2^53+2)", -1.0, 0x1p53 + 2),
      Pow("pow(-1-2^-52, 2^52+1)", -1 - 0x1p-52, 0x1p52 + 1),
      Pow("pow(-1.1, 7001)", -1.1, 7001.0),
      Pow("pow(-2, 1023)", -2.0, 1023.0),
      Pow("pow(-2, 1024)", -2.0, 1024.0),
      Pow("pow(-2, 1025)", -2.0, 1025.0),
      Pow("pow(-2, -1074)", -2.0, -1074.0),
      Pow("pow(-2, -1075)", -2.0, -1075.0),
      Pow("pow(-0.5, 1075)", -0.5, 1075.0),
      // Exponents 1, 2, 1/2, -1.
      Pow("pow(0.1, 1)", 0.1, 1.0),
      Pow("pow(max, 1)", kMax, 1.0),
      Pow("pow(2^-1074, 1)", 0x1p-1074, 1.0),
      Pow("pow(-2^-1074, 1)", -0x1p-1074, 1.0),
      Pow("pow(0.1, 2)", 0.1, 2.0),
      Pow("pow(1+2^-52, 2)", 1 + 0x1p-52, 2.0),
      Pow("pow(1-2^-53, 2)", 1 - 0x1p-53, 2.0),
      Pow("pow(2^-1074, 2)", 0x1p-1074, 2.0),
      Pow("pow(2, 0.5)", 2.0, 0.5),
      Pow("pow(4, 0.5)", 4.0, 0.5),
      Pow("pow(9, 0.5)", 9.0, 0.5),
      Pow("pow(2^-1074, 0.5)", 0x1p-1074, 0.5),
      Pow("pow(max, 0.5)", kMax, 0.5),
      Pow("pow(3, -1)", 3.0, -1.0),
      Pow("pow(max, -1)", kMax, -1.0),
      Pow("pow(2^-1074, -1)", 0x1p-1074, -1.0),
      // Powers of two.
      Pow("pow(2, 1023)", 2.0, 1023.0),
      Pow("pow(2, 1024)", 2.0, 1024.0),
      Pow("pow(2, 1024-2^-42)", 2.0, 1024 - 0x1p-42),
      Pow("pow(2, -1022)", 2.0, -1022.0),
      Pow("pow(2, -1074)", 2.0, -1074.0),
      Pow("pow(2, -1075): tie to 0", 2.0, -1075.0),
      Pow("pow(2, -1075+2^-42)", 2.0, -1075 + 0x1p-42),
      Pow("pow(2, -1075-2^-42)", 2.0, -1075 - 0x1p-42),
      Pow("pow(2, -1074.5)", 2.0, -1074.5),
      Pow("pow(0.5, 1074)", 0.5, 1074.0),
      Pow("pow(0.5, 1075)", 0.5, 1075.0),
      Pow("pow(16, 0.25)", 16.0, 0.25),
      Pow("pow(0.25, 1.5)", 0.25, 1.5),
      Pow("pow(4, -0.5)", 4.0, -0.5),
      Pow("pow(8, 1/3)", 8.0, 1.0 / 3.0),
      Pow("pow(2, 2^-30)", 2.0, 0x1p-30),
      Pow("pow(2^-1024, 0.75)", 0x1p-1024, 0.75),
      Pow("pow(2^1000, -1.0745)", 0x1p1000, -1.0745),
      // Exact results.
      Pow("pow(3, 20)", 3.0, 20.0),
      Pow("pow(1.5, 2)", 1.5, 2.0),
      Pow("pow(3*2^-500, 2)", 3 * 0x1p-500, 2.0),
      Pow("pow(3*2^-537, 2): subnormal", 3 * 0x1p-537, 2.0),
      Pow("pow(10, 22)", 10.0, 22.0),
      Pow("pow((2^26+1)^2, 0.5)", (0x1p26 + 1) * (0x1p26 + 1), 0.5),
      Pow("pow(225, 1.5)", 225.0, 1.5),
      Pow("pow(2^-1074, -0.5)", 0x1p-1074, -0.5),
      // Exact midpoints, ties to even.
      Pow("pow(2^27-1, 2)", 0x1p27 - 1, 2.0),
      Pow("pow(94906267, 2)", 94906267.0, 2.0),
      Pow("pow((2^27-1)*2^485, 2): near overflow", (0x1p27 - 1) * 0x1p485, 2.0),
      Pow("pow(-(2^27-1)*2^-26, 2)", -(0x1p27 - 1) * 0x1p-26, 2.0),
      Pow("pow(262143, 3): rounds up", 262143.0, 3.0),
      Pow("pow(262141, 3): rounds down", 262141.0, 3.0),
      Pow("pow(-208067, 3)", -208067.0, 3.0),
      Pow("pow(262143^2, 1.5)", 262143.0 * 262143.0, 1.5),
      Pow("pow(250001^2*2^-40, 1.5)", 250001.0 * 250001.0 * 0x1p-40, 1.5),
      Pow("pow(5, 23)", 5.0, 23.0),
      Pow("pow(10, 23)", 10.0, 23.0),
      Pow("pow(3*2^-215, 5): subnormal, up", 3 * 0x1p-215, 5.0),
      Pow("pow(5*2^-215, 5): subnormal, down", 5 * 0x1p-215, 5.0),
      Pow("pow(3*2^-43, 25): subnormal", 3 * 0x1p-43, 25.0),
      // Near the ends of the range.
      Pow("pow(max, 1+2^-52)", kMax, 1 + 0x1p-52),
      Pow("pow(max, 1-2^-53)", kMax, 1 - 0x1p-53),
      Pow("pow(10, 308.2547)", 10.0, 308.2547),
      Pow("pow(10, 308.2548)", 10.0, 308.2548),
      Pow("pow(10, -323.3)", 10.0, -323.3),
      Pow("pow(10, -323.7)", 10.0, -323.7),
      Pow("pow(10, -307.7)", 10.0, -307.7),
      Pow("pow(1+2^-52, 2^52)", 1 + 0x1p-52, 0x1p52),
      Pow("pow(1+2^-52, 2^62)", 1 + 0x1p-52, 0x1p62),
      Pow("pow(1-2^-53, 2^63)", 1 - 0x1p-53, 0x1p63),
      Pow("pow(1-2^-53, -2^63)", 1 - 0x1p-53, -0x1p63),
      // exp.
      Exp("exp(+0)", 0.0),
      Exp("exp(-0)", -0.0),
      Exp("exp(inf)", kInf),
      Exp("exp(-inf)", -kInf),
      Exp("exp(NaN)", kNaN),
      Exp("exp(1)", 1.0),
      Exp("exp(-1)", -1.0),
      Exp("exp(2^-53)", 0x1p-53),
      Exp("exp(-2^-54)", -0x1p-54),
      Exp("exp(-2^-53)", -0x1p-53),
      Exp("exp(2^-1074)", 0x1p-1074),
      Exp("exp(709.782712893384)", 709.782712893384),
      Exp("exp(709.7827128933841)", 709.7827128933841),
      Exp("exp(710)", 710.0),
      Exp("exp(max)", kMax),
      Exp("exp(-708.39)", -708.39),
      Exp("exp(-708.4)", -708.4),
      Exp("exp(-745.1332191019411)", -745.1332191019411),
      Exp("exp(-745.1332191019412)", -745.1332191019412),
      Exp("exp(-746)", -746.0),
      Exp("exp(-max)", -kMax),
  };
  return cases;
}

struct Difference {
  Case c;
  double ours;
  double mpfr;
};

constexpr std::size_t kShown = 5;

struct Tally {
  std::uint64_t differing = 0;
  std::vector<Difference> first;  // at most kShown, by sample number
};

// Samples [begin, end) of one domain on the calling thread.
Tally Check(Case (*draw)(Random&), std::uint64_t key, std::uint64_t begin, std::uint64_t end) {
  Reference mpfr;
  Tally tally;
  for (std::uint64_t i = begin; i < end; ++i) {
    Random random(Mix(key + i));
    const Case c = draw(random);
    const double ours = Ours(c);
    const double expected = mpfr(c);
    if (Same(ours, expected)) continue;
    ++tally.differing;
    if (tally.first.size() < kShown) tally.first.push_back({c, ours, expected});
  }
  return tally;
}

struct Domain {
  const char* name;
  Case (*draw)(Random&);
  std::uint64_t samples;
};

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs a domain on `threads` threads, each on a contiguous share of the
// samples; true if no result differs.
bool Run(const Domain& domain, std::uint64_t key, int threads) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<Tally> tallies(threads);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    const std::uint64_t begin = domain.samples * t / threads;
    const std::uint64_t end = domain.samples * (t + 1) / threads;
    workers.emplace_back([&, t, begin, end] { tallies[t] = Check(domain.draw, key, begin, end); });
  }
  for (auto& worker : workers) worker.join();
  std::uint64_t differing = 0;
  std::vector<Difference> first;
  for (const Tally& tally : tallies) {
    differing += tally.differing;
    for (const Difference& d : tally.first) {
      if (first.size() < kShown) first.push_back(d);
    }
  }
  std::printf("%-12s %11" PRIu64 " samples %9" PRIu64 " differ %8.1f s\n", domain.name,
              domain.samples, differing, Seconds(start));
  for (const Difference& d : first) PrintDifference("  ", d.c, d.ours, d.mpfr);
  std::fflush(stdout);
  return differing == 0;
}

// The special cases one by one, each difference by its name.
bool RunSpecialCases() {
  const auto start = std::chrono::steady_clock::now();
  Reference mpfr;
  std::vector<Difference> differences;
  std::vector<const char*> names;
  for (const Named& named : SpecialCases()) {
    const double ours = Ours(named.c);
    const double expected = mpfr(named.c);
    if (Same(ours, expected)) continue;
    differences.push_back({named.c, ours, expected});
    names.push_back(named.name);
  }
  std::printf("%-12s %11zu samples %9zu differ %8.1f s\n", "special", SpecialCases().size(),
              differences.size(), Seconds(start));
  for (std::size_t i = 0; i < differences.size(); ++i) {
    const Difference& d = differences[i];
    std::printf("  %s:\n", names[i]);
    PrintDifference("    ", d.c, d.ours, d.mpfr);
  }
  return differences.empty();
}

bool ParseNumber(const char* text, std::uint64_t& value) {
  char* end;
  errno = 0;
  value = std::strtoull(text, &end, 10);
  return *text >= '0' && *text <= '9' && *end == '\0' && errno == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t samples = 8000000;
  std::uint64_t seed = 1;
  std::uint64_t threads = recharge::AvailableCpus();
  for (int i = 1; i < argc; ++i) {
    const bool valued = i + 1 < argc;
    if (std::strcmp(argv[i], "--full") == 0) {
      samples = 100000000;
    } else if (std::strcmp(argv[i], "--samples") == 0 && valued &&
               ParseNumber(argv[i + 1], samples)) {
      ++i;
    } else if (std::strcmp(argv[i], "--seed") == 0 && valued && ParseNumber(argv[i + 1], seed)) {
      ++i;
    } else if (std::strcmp(argv[i], "--threads") == 0 && valued &&
               ParseNumber(argv[i + 1], threads) && threads >= 1 && threads <= recharge::kMaxCpus) {
      ++i;
    } else {
      std::fprintf(stderr,
                   "usage: correct_rounding_check [--samples N] [--seed S] [--threads T] "
                   "[--full]\n");
      return 2;
    }
  }
  // Without thread-local exponent ranges and caches MPFR is for one thread.
  if (!mpfr_buildopt_tls_p()) threads = 1;

  std::printf("seed %" PRIu64 ", %" PRIu64 " threads\n", seed, threads);
  const Domain domains[] = {
      {"integrand", Integrand, samples},     {"retention", Retention, samples},
      {"regression", Regression, samples},   {"exp range", ExpRange, samples},
      {"pow range", PowRange, samples / 10},
  };
  bool same = RunSpecialCases();
  for (std::uint64_t d = 0; d < std::size(domains); ++d) {
    same = Run(domains[d], Mix(Mix(seed) + d), static_cast<int>(threads)) && same;
  }
  mpfr_free_cache();
  return same ? 0 : 1;
}

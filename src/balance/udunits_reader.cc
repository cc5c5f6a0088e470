#include "balance/udunits_reader.h"

#include <pthread.h>
#include <udunits2.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <utility>

namespace recharge {

namespace {

struct UnitFree {
  void operator()(ut_unit* unit) const { ut_free(unit); }
};
using Unit = std::unique_ptr<ut_unit, UnitFree>;

// UDUNITS-2's calls under the lock, with its messages silenced. A fork
// waits for the lock, so that the child, whose only thread is the forking
// one, never inherits it held by a thread it does not have.
std::mutex units_lock;

void LockAcrossFork() {
  static const int registered = pthread_atfork(
      [] { units_lock.lock(); }, [] { units_lock.unlock(); }, [] { units_lock.unlock(); });
  static_cast<void>(registered);
}

class LibraryScope {
 public:
  LibraryScope() : lock_(units_lock), handler_(ut_set_error_message_handler(ut_ignore)) {}
  ~LibraryScope() { ut_set_error_message_handler(handler_); }
  LibraryScope(const LibraryScope&) = delete;
  LibraryScope& operator=(const LibraryScope&) = delete;

 private:
  std::lock_guard<std::mutex> lock_;
  ut_error_message_handler handler_;
};

// The units every conversion is made against, in the system they live in.
struct System {
  ut_system* system = nullptr;
  Unit cm, per_cm, one;
  Unit annual;   // the period of an annual total: a, yr, year
  Unit monthly;  // the period of a month's total: month
  Unit year;     // UDUNITS-2's year, for a mean rate
  Unit month;    // UDUNITS-2's month, a twelfth of its year, for a mean rate
  Unit water;    // the density of water
};

// Whether `unit` is a multiple of 1 made of no base unit, not even the
// radian, which UDUNITS-2 counts dimensionless (a degree would be pi/180).
bool IsNumber(const ut_unit* unit) {
  ut_visitor visitor{};  // a basic unit, a time or a logarithm is no number
  visitor.visit_basic = [](const ut_unit*, void*) { return UT_SUCCESS; };
  visitor.visit_product = [](const ut_unit*, int count, const ut_unit* const*, const int* powers,
                             void* number) {
    *static_cast<bool*>(number) =
        std::all_of(powers, powers + count, [](int power) { return power == 0; });
    return UT_SUCCESS;
  };
  visitor.visit_galilean = [](const ut_unit*, double, const ut_unit* underlying, double,
                              void* number) {
    *static_cast<bool*>(number) = IsNumber(underlying);
    return UT_SUCCESS;
  };
  visitor.visit_timestamp = [](const ut_unit*, const ut_unit*, double, void*) {
    return UT_SUCCESS;
  };
  visitor.visit_logarithmic = [](const ut_unit*, double, const ut_unit*, void*) {
    return UT_SUCCESS;
  };
  bool number = false;
  return ut_accept_visitor(unit, &visitor, &number) == UT_SUCCESS && number;
}

// The factor from `unit` to `target`: their quotient a number, the
// conversion a finite positive factor without an offset.
bool FactorTo(const ut_unit* unit, const ut_unit* target, double& factor) {
  if (unit == nullptr) return false;
  const Unit quotient(ut_divide(unit, target));
  if (quotient == nullptr || !IsNumber(quotient.get())) return false;
  cv_converter* converter =
      ut_get_converter(const_cast<ut_unit*>(unit), const_cast<ut_unit*>(target));
  if (converter == nullptr) return false;
  const double offset = cv_convert_double(converter, 0.0);
  factor = cv_convert_double(converter, 1.0);
  cv_free(converter);
  return offset == 0.0 && std::isfinite(factor) && factor > 0.0;
}

// `symbols` and `names` as `unit`, in place of what they meant. UDUNITS-2
// looks a symbol or name up alike in every encoding.
bool MapTo(ut_system* system, const ut_unit* unit, std::initializer_list<const char*> symbols,
           std::initializer_list<const char*> names) {
  for (const char* symbol : symbols) {
    ut_unmap_symbol_to_unit(system, symbol, UT_ASCII);
    if (ut_map_symbol_to_unit(symbol, UT_ASCII, const_cast<ut_unit*>(unit)) != UT_SUCCESS) {
      return false;
    }
  }
  for (const char* name : names) {
    ut_unmap_name_to_unit(system, name, UT_ASCII);
    if (ut_map_name_to_unit(name, UT_ASCII, const_cast<ut_unit*>(unit)) != UT_SUCCESS) {
      return false;
    }
  }
  return true;
}

// `ha` as the hectare, not a hecto-year.
bool MapHectare(ut_system* system) {
  const Unit hectare(ut_get_unit_by_name(system, "hectare"));
  return hectare != nullptr && MapTo(system, hectare.get(), {"ha"}, {});
}

System* loaded = nullptr;

// `text` with each run of superscripts written as an exponent in ASCII:
// "m⁻¹" -> "m^-1", "10³ mm" -> "10^3 mm". UDUNITS-2 2.2.28 reads ¹ ² ³
// alone, not ⁻, ⁺, ⁰ nor ⁴ to ⁹.
std::string AsciiExponents(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kSuperscripts[] = {
      {"⁰", '0'}, {"¹", '1'}, {"²", '2'}, {"³", '3'}, {"⁴", '4'}, {"⁵", '5'},
      {"⁶", '6'}, {"⁷", '7'}, {"⁸", '8'}, {"⁹", '9'}, {"⁺", '+'}, {"⁻", '-'}};
  std::string written;
  bool exponent = false;  // within a run of superscripts
  while (!text.empty()) {
    const auto* const superscript = std::ranges::find_if(
        kSuperscripts, [text](const auto& each) { return text.starts_with(each.first); });
    if (superscript == std::end(kSuperscripts)) {
      written += text.front();
      text.remove_prefix(1);
      exponent = false;
      continue;
    }
    if (!exponent) written += '^';
    written += superscript->second;
    text.remove_prefix(superscript->first.size());
    exponent = true;
  }
  return written;
}

// The unit `text` (trimmed) names: ASCII as UDUNITS-2 has always read it,
// any other text as UTF-8, its superscripts as exponents.
Unit Parse(std::string_view text) {
  const bool ascii =
      std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return Unit(ut_parse(loaded->system, std::string(text).c_str(), UT_ASCII));
  return Unit(ut_parse(loaded->system, AsciiExponents(text).c_str(), UT_UTF8));
}

// Why ut_read_xml failed, with `error_number` its errno.
std::string LoadError(ut_status failure, int error_number) {
  ut_status status = UT_SUCCESS;
  const char* path = ut_get_path_xml(nullptr, &status);
  std::string error = "cannot read the UDUNITS-2 unit database " + std::string(path) + " (";
  error += status == UT_OPEN_ENV ? "named by UDUNITS2_XML_PATH" : "set UDUNITS2_XML_PATH to it";
  error += "): ";
  const bool unopened = failure == UT_OPEN_ARG || failure == UT_OPEN_ENV ||
                        failure == UT_OPEN_DEFAULT || failure == UT_OS;
  error += unopened && error_number != 0 ? std::strerror(error_number) : "not a unit database";
  return error;
}

bool Load(std::string& error) {
  errno = 0;
  ut_system* system = ut_read_xml(nullptr);
  if (system == nullptr) {
    const int error_number = errno;
    error = LoadError(ut_get_status(), error_number);
    return false;
  }
  auto units = std::make_unique<System>();
  units->system = system;
  units->year.reset(ut_get_unit_by_name(system, "year"));
  units->month.reset(ut_get_unit_by_name(system, "month"));
  units->annual.reset(ut_new_base_unit(system));
  units->monthly.reset(ut_new_base_unit(system));
  const bool periods = units->year != nullptr && units->month != nullptr &&
                       units->annual != nullptr && units->monthly != nullptr &&
                       MapTo(system, units->annual.get(), {"a", "yr"}, {"year", "years"}) &&
                       MapTo(system, units->monthly.get(), {}, {"month", "months"});
  if (!periods || !MapHectare(system)) {
    error = std::string("the UDUNITS-2 unit database has no ") + (periods ? "hectare" : "year");
    units.reset();  // its units before their system
    ut_free_system(system);
    return false;
  }
  units->cm.reset(ut_parse(system, "cm", UT_ASCII));
  units->per_cm.reset(ut_parse(system, "cm-1", UT_ASCII));
  units->one.reset(ut_get_dimensionless_unit_one(system));
  units->water.reset(ut_parse(system, "1000 kg m-3", UT_ASCII));
  loaded = units.release();
  return true;
}

}  // namespace

const UdunitsReader* UdunitsReader::Load(std::string& error) {
  static const UdunitsReader reader;
  LockAcrossFork();
  const LibraryScope scope;
  if (loaded == nullptr && !recharge::Load(error)) return nullptr;
  return &reader;
}

UnitReading UdunitsReader::ToModel(Quantity quantity, std::string_view unit) const {
  using Kind = UnitReading::Kind;
  const LibraryScope scope;
  const Unit given = Parse(unit);
  if (given == nullptr) return {Kind::kNoUnit};
  double factor = 0.0;
  bool taken = false;
  switch (quantity) {
    case Quantity::kAnnualTotal:
    case Quantity::kTotal:
    case Quantity::kMonthTotal: {
      // The same total in cm: as it is, for the year, as water; for a month's
      // total, for the month; then, for an annual total, a mean rate over a
      // year, a per month (mm/month) being one over UDUNITS-2's month.
      const Unit per_year(ut_multiply(given.get(), loaded->annual.get()));
      const Unit water(ut_divide(given.get(), loaded->water.get()));
      const Unit water_per_year(ut_multiply(water.get(), loaded->annual.get()));
      const Unit per_month(ut_multiply(given.get(), loaded->monthly.get()));
      const Unit water_per_month(ut_multiply(water.get(), loaded->monthly.get()));
      const Unit rate(ut_multiply(given.get(), loaded->year.get()));
      const Unit water_rate(ut_multiply(water.get(), loaded->year.get()));
      const Unit monthly_rate(ut_multiply(
          Unit(ut_divide(per_month.get(), loaded->month.get())).get(), loaded->year.get()));
      const Unit water_monthly_rate(ut_multiply(
          Unit(ut_divide(water_per_month.get(), loaded->month.get())).get(), loaded->year.get()));
      for (const Unit* total : {&given, &per_year, &water, &water_per_year}) {
        if (!taken) taken = FactorTo(total->get(), loaded->cm.get(), factor);
      }
      if (quantity == Quantity::kMonthTotal) {
        for (const Unit* total : {&per_month, &water_per_month}) {
          if (!taken) taken = FactorTo(total->get(), loaded->cm.get(), factor);
        }
      }
      for (const Unit* total : {&rate, &water_rate, &monthly_rate, &water_monthly_rate}) {
        if (!taken && FactorTo(total->get(), loaded->cm.get(), factor)) {
          if (quantity != Quantity::kAnnualTotal) return {Kind::kMeanRate};
          taken = true;
        }
      }
      break;
    }
    case Quantity::kLength:
      taken = FactorTo(given.get(), loaded->cm.get(), factor);
      break;
    case Quantity::kReciprocalLength:
      taken = FactorTo(given.get(), loaded->per_cm.get(), factor);
      break;
    case Quantity::kVolumeFraction:
    case Quantity::kNumber:
      taken = FactorTo(given.get(), loaded->one.get(), factor);
      break;
    case Quantity::kNone:
    case Quantity::kCount:
      break;
  }
  if (!taken) return {Kind::kNotTaken};
  return {Kind::kFactor, factor};
}

UnitReading UdunitsReader::FromCm(std::string_view unit) const {
  using Kind = UnitReading::Kind;
  const LibraryScope scope;
  const Unit given = Parse(unit);
  if (given == nullptr) return {Kind::kNoUnit};
  double factor = 0.0;
  if (!FactorTo(loaded->cm.get(), given.get(), factor)) return {Kind::kNotTaken};
  return {Kind::kFactor, factor};
}

}  // namespace recharge

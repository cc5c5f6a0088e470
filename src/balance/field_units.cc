#include "balance/field_units.h"

#include <udunits2.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

#include "balance/column_map.h"

namespace recharge {

namespace {

UnitScale ScaleFor(double factor) {
  constexpr int kExactPowers = 22;
  const long power = std::lround(std::log10(factor));
  if (power >= -kExactPowers && power <= kExactPowers) {
    const double exact = PowerOfTen(static_cast<int>(std::abs(power)));
    const double ratio = power >= 0 ? factor / exact : factor * exact;
    if (std::fabs(ratio - 1.0) <= 1e-12) return {static_cast<int>(power), 1.0, true};
  }
  return {0, factor, false, std::numeric_limits<double>::max() / factor / 2};
}

struct UnitFree {
  void operator()(ut_unit* unit) const { ut_free(unit); }
};
using Unit = std::unique_ptr<ut_unit, UnitFree>;

// UDUNITS-2's calls under the lock, with its messages silenced.
std::mutex units_lock;

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
  Unit annual;  // the period of an annual total: a, yr, year
  Unit year;    // UDUNITS-2's year, for a mean rate
  Unit water;   // the density of water
};

// The factor from `unit` to `target`: their quotient dimensionless, the
// conversion a finite positive factor without an offset.
bool FactorTo(const ut_unit* unit, const ut_unit* target, double& factor) {
  if (unit == nullptr) return false;
  const Unit quotient(ut_divide(unit, target));
  if (quotient == nullptr || ut_is_dimensionless(quotient.get()) == 0) return false;
  cv_converter* converter =
      ut_get_converter(const_cast<ut_unit*>(unit), const_cast<ut_unit*>(target));
  if (converter == nullptr) return false;
  const double offset = cv_convert_double(converter, 0.0);
  factor = cv_convert_double(converter, 1.0);
  cv_free(converter);
  return offset == 0.0 && std::isfinite(factor) && factor > 0.0;
}

// `a`, `yr`, `year` and `years` as the base unit of an annual total's period.
bool MapYear(ut_system* system, const ut_unit* annual) {
  for (const char* symbol : {"a", "yr"}) {
    ut_unmap_symbol_to_unit(system, symbol, UT_ASCII);
    if (ut_map_symbol_to_unit(symbol, UT_ASCII, const_cast<ut_unit*>(annual)) != UT_SUCCESS) {
      return false;
    }
  }
  for (const char* name : {"year", "years"}) {
    ut_unmap_name_to_unit(system, name, UT_ASCII);
    if (ut_map_name_to_unit(name, UT_ASCII, const_cast<ut_unit*>(annual)) != UT_SUCCESS) {
      return false;
    }
  }
  return true;
}

System* loaded = nullptr;

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
  units->annual.reset(ut_new_base_unit(system));
  if (units->year == nullptr || units->annual == nullptr || !MapYear(system, units->annual.get())) {
    error = "the UDUNITS-2 unit database has no year";
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

bool TakesCommonUnit(InputField field) {
  const Quantity quantity = InfoOf(field).quantity;
  return quantity == Quantity::kAnnualTotal || quantity == Quantity::kTotal ||
         quantity == Quantity::kLength;
}

std::string_view ColumnUnit(std::string_view name, InputField field, std::string_view common) {
  const std::string_view unit = SplitUnit(name).unit;
  if (!unit.empty() || !TakesCommonUnit(field)) return unit;
  return common;
}

std::string_view ModelUnit(InputField field) { return InfoOf(InfoOf(field).quantity).model_unit; }

std::string ResultUnit(const ResultColumn& column, std::string_view length, std::string_view year) {
  if (!column.in_length) return std::string(column.unit);
  std::string unit(length);
  if (column.unit.ends_with("/a")) unit.append("/").append(year);
  return unit;
}

const FieldUnits* FieldUnits::Load(std::string& error) {
  static const FieldUnits units;
  const LibraryScope scope;
  if (loaded == nullptr && !recharge::Load(error)) return nullptr;
  return &units;
}

bool FieldUnits::ScaleOf(InputField field, std::string_view unit, UnitScale& scale,
                         std::string& problem) const {
  scale = UnitScale();
  if (unit.empty()) return true;
  const Quantity quantity = InfoOf(field).quantity;
  const std::string text(unit);
  const auto refuse = [&](std::string_view why) {
    problem = std::string(FieldName(field)) + " takes " + std::string(InfoOf(quantity).takes) +
              ", not \"" + text + "\"" + std::string(why);
    return false;
  };
  if (quantity == Quantity::kNone) return refuse("");

  const LibraryScope scope;
  const Unit given(ut_parse(loaded->system, text.c_str(), UT_ASCII));
  if (given == nullptr) return refuse(", which is no unit");
  double factor = 0.0;
  bool taken = false;
  switch (quantity) {
    case Quantity::kAnnualTotal:
    case Quantity::kTotal: {
      // The same total in cm: as it is, for the year, as water; then, for an
      // annual total, a mean rate over a year.
      const Unit per_year(ut_multiply(given.get(), loaded->annual.get()));
      const Unit water(ut_divide(given.get(), loaded->water.get()));
      const Unit water_per_year(ut_multiply(water.get(), loaded->annual.get()));
      const Unit rate(ut_multiply(given.get(), loaded->year.get()));
      const Unit water_rate(ut_multiply(water.get(), loaded->year.get()));
      for (const Unit* total : {&given, &per_year, &water, &water_per_year}) {
        if (!taken) taken = FactorTo(total->get(), loaded->cm.get(), factor);
      }
      for (const Unit* total : {&rate, &water_rate}) {
        if (!taken && FactorTo(total->get(), loaded->cm.get(), factor)) {
          if (quantity == Quantity::kTotal) {
            return refuse(", a mean rate: the period of " + std::string(FieldName(field)) +
                          " is not the year");
          }
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
  if (!taken) return refuse("");
  scale = ScaleFor(factor);
  if (quantity == Quantity::kNumber && !scale.IsIdentity()) return refuse("");
  return true;
}

bool FieldUnits::LengthScale(std::string_view unit, UnitScale& scale, std::string& problem) const {
  const std::string text(unit);
  const LibraryScope scope;
  const Unit given(ut_parse(loaded->system, text.c_str(), UT_ASCII));
  double factor = 0.0;
  if (!FactorTo(loaded->cm.get(), given.get(), factor)) {
    problem = "takes " + std::string(InfoOf(Quantity::kLength).takes) + ", not \"" + text + "\"";
    return false;
  }
  scale = ScaleFor(factor);
  return true;
}

}  // namespace recharge

// recharge._core: the model for numpy arrays, and the contract of its inputs
// and results for the package's public face (python/recharge/_contract.py).
// The Python package checks the arguments and works out the grid's shape;
// here every input is read in place, broadcast to that shape by numpy's rules
// (an axis of extent 1 or an absent one has stride 0), and the grid runs
// without the GIL on a pool of threads.
//
//   _core.balance(fields, shape, no_data, threads, refused, units, output_units)
//     fields: one entry for each InputField, each an array that broadcasts
//     to `shape` or None (not given: NaN in every cell);
//     refused: one entry for each field, None or an int32 array of the
//     reasons' indices of the field's cells that are no number, -1 elsewhere;
//     units: one entry for each field, the unit of its values or None (the
//     model's); output_units: the results' length, or None (cm);
//     interrupted: None, or a function asked between blocks, as a signal's
//     handler is, that stops the call with KeyboardInterrupt when true
//     -> ({"Cs": float64 array, ..., "method": uint8, "status": uint8},
//         (cell int64, kind uint8, field uint8, value float64)) the input
//         errors, in cell order (a refused value's value: its reason)
//   _core.solve_bagrov(nB, P, ETp, shape, threads) -> ETa, float64 array
//   _core.problem_texts(kind, field, value, reasons)
//     -> ["input error: zr: no value", ...]
//   _core.read_table(fd, decimal, name, units, output_units) -> the columns
//     of a CSV table as recharge-table reads it (table_reading.h)
//   _core.read_cells(field, unit, cells) -> (values, reasons): a frame's
//     cells (str, float or None) in the model's unit, each text read as the
//     table reads a cell in `unit`, each number scaled as an array's; NaN
//     where a cell is None or no number, the reasons of those by position
//   _core.map_names(names, holder, name, with_id, common_unit)
//     -> (position of each field or None, position of the id or None,
//         problem, notice, unit of each field's column or None) by the
//         table's header rules (column_map.h, field_units.h: ColumnUnit):
//         "P [mm]" is P in mm, and `common_unit` the climate and depth
//         columns' without one
//   _core.split_unit(name) -> (name, unit): "P [mm]" -> ("P", "mm"),
//     "P" -> ("P", "") (column_map.h: SplitUnit)
//   _core.named_unit(name, field, given, given_name) -> the unit of a
//     column, its name's or else `given`; ValueError when they disagree
//     (column_units.h: NamedUnit)
//   _core.unit_scale(field, unit) -> (shift, factor): a value in `unit` is
//     one in the model's unit times 10**shift (exactly) or times `factor`
//     (field_units.h); ValueError naming the field, the unit and what it
//     takes, RuntimeError when UDUNITS-2's database cannot be read
//   _core.length_scale(unit) -> (shift, factor) from cm to the length `unit`
//   _core.result_units(length, year) -> each result column's unit, lengths
//     in `length`, the year spelt `year`: "year" as UDUNITS-2 reads it, "a"
//     as recharge-table's header writes it
//   _core.INPUTS, SERIES, RESULT_COLUMNS, METHODS, STATUSES: the tables of
//     input_fields.h and soil_results.h, as tuples (contract_tables.h)
//
// A grid of few cells runs on as many threads as it has blocks of cells
// (grid_blocks.h), so that a small call starts no thread.
//
// Faults are found by checks of values (checked_arithmetic.h): no trap and no
// signal handler is used, and every block of cells computes in the IEEE
// default environment, round-to-nearest without traps, whatever the caller
// has set, which it gets back (grid_blocks.h).
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "balance/column_map.h"
#include "balance/column_units.h"
#include "balance/field_units.h"
#include "balance/input_fields.h"
#include "balance/soil_results.h"
#include "grid/grid_blocks.h"
#include "grid/soil_grid.h"
#include "python_binding/bagrov_grid.h"
#include "python_binding/contract_tables.h"
#include "recharge_version.h"
#include "runtime/available_cpus.h"
#include "table/cell_number.h"
#include "table/table_reading.h"

namespace py = pybind11;

namespace recharge::python {

namespace {

using grid::BlockCount;
using grid::CellCount;
using grid::CellProblem;
using grid::ElementType;
using grid::GridOutputs;
using grid::kMaxAxes;
using grid::MissingRequired;
using grid::SoilGrid;
using grid::StridedArray;
using table::SoilTable;
using table::TableColumn;

using Shape = std::vector<std::size_t>;

ElementType TypeOf(const py::dtype& dtype) {
  const struct {
    char kind;
    py::ssize_t size;
    ElementType type;
  } kTypes[] = {
      {'f', 8, ElementType::kFloat64}, {'f', 4, ElementType::kFloat32},
      {'i', 1, ElementType::kInt8},    {'i', 2, ElementType::kInt16},
      {'i', 4, ElementType::kInt32},   {'i', 8, ElementType::kInt64},
      {'u', 1, ElementType::kUInt8},   {'u', 2, ElementType::kUInt16},
      {'u', 4, ElementType::kUInt32},  {'u', 8, ElementType::kUInt64},
      {'b', 1, ElementType::kBool},
  };
  const char foreign_order = std::endian::native == std::endian::little ? '>' : '<';
  if (dtype.byteorder() != foreign_order) {
    for (const auto& known : kTypes) {
      if (dtype.kind() == known.kind && dtype.itemsize() == known.size) return known.type;
    }
  }
  throw py::type_error("no array of " +
                       py::str(static_cast<const py::handle&>(dtype)).cast<std::string>() +
                       " is read");
}

// A view of `array` broadcast to `shape`; the array stays alive with the
// caller's reference.
StridedArray ViewOf(const py::array& array, const Shape& shape) {
  const auto axes = static_cast<std::size_t>(array.ndim());
  if (axes > shape.size()) throw py::value_error("an array has more axes than the grid");
  StridedArray view{static_cast<const char*>(array.data()), TypeOf(array.dtype()),
                    std::vector<std::ptrdiff_t>(shape.size(), 0)};
  const std::size_t first = shape.size() - axes;  // aligned from the last axis
  for (std::size_t axis = 0; axis < axes; ++axis) {
    const auto extent = static_cast<std::size_t>(array.shape(static_cast<py::ssize_t>(axis)));
    if (extent == shape[first + axis]) {
      view.strides[first + axis] = array.strides(static_cast<py::ssize_t>(axis));
    } else if (extent != 1) {
      throw py::value_error("an array does not broadcast to the grid's shape");
    }
  }
  return view;
}

// A field that is not given: NaN in every cell.
StridedArray NotGiven(const Shape& shape) {
  static constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  return {reinterpret_cast<const char*>(&kNaN), ElementType::kFloat64,
          std::vector<std::ptrdiff_t>(shape.size(), 0)};
}

// The threads for the grid: `threads`, but no more than it has blocks.
int CheckGrid(const Shape& shape, int threads) {
  if (shape.size() > kMaxAxes) {
    throw py::value_error("a grid has at most " + std::to_string(kMaxAxes) + " axes");
  }
  if (threads < 1) throw py::value_error("threads must be at least 1");
  return static_cast<int>(
      std::clamp<std::size_t>(BlockCount(shape), 1, static_cast<std::size_t>(threads)));
}

template <typename T>
py::array_t<T> EmptyArray(const Shape& shape) {
  return py::array_t<T>(std::vector<py::ssize_t>(shape.begin(), shape.end()));
}

template <typename T>
py::array_t<T> ArrayOf(const std::vector<CellProblem>& problems, T (*part)(const CellProblem&)) {
  py::array_t<T> array(static_cast<py::ssize_t>(problems.size()));
  T* data = array.mutable_data();
  for (std::size_t i = 0; i < problems.size(); ++i) data[i] = part(problems[i]);
  return array;
}

// Whether a signal's Python handler raised (Ctrl-C: KeyboardInterrupt),
// asked with the GIL taken for the moment, between blocks of a grid's cells;
// the exception is then left set for py::error_already_set once the pool is
// gone. Handlers run on the main thread alone: from another it is false.
bool SignalRaised() {
  const py::gil_scoped_acquire locked;
  return PyErr_CheckSignals() != 0;
}

// SignalRaised, or `interrupted()` true: KeyboardInterrupt then, on any
// thread (a chunk of a Dask computation that Ctrl-C has ended on the main
// thread).
std::function<bool()> StopWhen(const std::optional<py::function>& interrupted) {
  if (!interrupted) return SignalRaised;
  return [&interrupted] {
    if (SignalRaised()) return true;
    const py::gil_scoped_acquire locked;
    if (!(*interrupted)().cast<bool>()) return false;
    PyErr_SetNone(PyExc_KeyboardInterrupt);
    return true;
  };
}

// Text of a table as a str: its bytes read as UTF-8, those that are not
// (a spreadsheet's export in cp1252: "M\xfcller") kept as Python's surrogate
// escapes, so that they encode back to the very bytes.
py::str Text(std::string_view text) {
  PyObject* const decoded =
      PyUnicode_DecodeUTF8(text.data(), static_cast<py::ssize_t>(text.size()), "surrogateescape");
  if (decoded == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(decoded);
}

// The bytes of a str, its surrogate escapes the bytes they stand for.
std::string Bytes(py::handle text) {
  const py::bytes bytes = py::reinterpret_steal<py::bytes>(
      PyUnicode_AsEncodedString(text.ptr(), "utf-8", "surrogateescape"));
  if (!bytes) throw py::error_already_set();
  return std::string(bytes);
}

py::list Texts(const std::vector<std::string>& texts) {
  py::list out;
  for (const std::string& text : texts) out.append(Text(text));
  return out;
}

InputField FieldOf(std::string_view name) {
  const std::optional<InputField> field = FieldNamed(name);
  if (!field) throw py::value_error("no field " + std::string(name));
  return *field;
}

// The unit database, read once; RuntimeError when it cannot be.
const FieldUnits& Units() {
  std::string error;
  const FieldUnits* const units = FieldUnits::Load(error);
  if (units == nullptr) throw std::runtime_error(error);
  return *units;
}

// The scale of `field` in `unit`, each pair read by UDUNITS-2 once: a call
// in units then costs no more than one without. Called with the GIL held,
// which guards the memo; a few hundred pairs at the most are kept.
UnitScale ScaleOf(InputField field, std::string_view unit) {
  static std::map<std::pair<InputField, std::string>, UnitScale, std::less<>> known;
  const auto key = std::make_pair(field, std::string(unit));
  if (const auto found = known.find(key); found != known.end()) return found->second;
  UnitScale scale;
  std::string problem;
  if (!Units().ScaleOf(field, unit, scale, problem)) throw py::value_error(problem);
  if (known.size() >= 256) known.clear();
  known.emplace(key, scale);
  return scale;
}

UnitScale LengthScaleOf(std::string_view unit) {
  UnitScale scale;
  std::string problem;
  if (!Units().LengthScale(unit, scale, problem)) throw py::value_error(problem);
  return scale;
}

py::tuple Balance(const std::vector<std::optional<py::array>>& fields, const Shape& shape,
                  bool no_data, int threads,
                  const std::vector<std::optional<py::array_t<std::int32_t>>>& refused,
                  const std::vector<std::optional<std::string>>& units,
                  const std::optional<std::string>& output_units,
                  const std::optional<py::function>& interrupted) {
  threads = CheckGrid(shape, threads);
  if (fields.size() != kInputFieldCount || refused.size() != kInputFieldCount ||
      units.size() != kInputFieldCount) {
    throw py::value_error("one entry for every field");
  }
  SoilGrid grid{shape, {}, no_data ? MissingRequired::kNoData : MissingRequired::kInputError, {}};
  for (int field = 0; field < kInputFieldCount; ++field) {
    grid.fields[field] = fields[field] ? ViewOf(*fields[field], shape) : NotGiven(shape);
    if (refused[field]) grid.refused[field] = ViewOf(*refused[field], shape);
    if (units[field]) grid.scales[field] = ScaleOf(static_cast<InputField>(field), *units[field]);
  }
  py::dict results;
  GridOutputs out;
  for (const ResultColumn& column : ResultColumns()) {
    if (column.value == nullptr) {
      out.columns.push_back(nullptr);
      continue;
    }
    auto array = EmptyArray<double>(shape);
    out.columns.push_back(array.mutable_data());
    results[py::str(std::string(column.name))] = array;
  }
  auto method = EmptyArray<std::uint8_t>(shape);
  auto status = EmptyArray<std::uint8_t>(shape);
  out.method = method.mutable_data();
  out.status = status.mutable_data();
  results["method"] = method;
  results["status"] = status;
  if (output_units) out.length = LengthScaleOf(*output_units);
  std::vector<CellProblem> problems;
  bool done = false;
  {
    py::gil_scoped_release unlocked;
    WorkerPool pool(threads);
    done = RunSoilGrid(grid, pool, out, StopWhen(interrupted));
    if (done) problems = InputProblems(grid, out.status);
  }
  if (!done) throw py::error_already_set();
  return py::make_tuple(
      results,
      py::make_tuple(
          ArrayOf<std::int64_t>(problems,
                                [](const CellProblem& p) { return std::int64_t(p.cell); }),
          ArrayOf<std::uint8_t>(problems,
                                [](const CellProblem& p) { return std::uint8_t(p.problem.kind); }),
          ArrayOf<std::uint8_t>(problems,
                                [](const CellProblem& p) { return std::uint8_t(p.problem.field); }),
          ArrayOf<double>(problems, [](const CellProblem& p) { return p.problem.value; })));
}

py::array_t<double> SolveBagrovArrays(const py::array& nB, const py::array& P, const py::array& ETp,
                                      const Shape& shape, int threads) {
  threads = CheckGrid(shape, threads);
  const BagrovGrid grid{shape, ViewOf(nB, shape), ViewOf(P, shape), ViewOf(ETp, shape)};
  auto ETa = EmptyArray<double>(shape);
  double* const out = ETa.mutable_data();
  bool done = false;
  {
    py::gil_scoped_release unlocked;
    WorkerPool pool(threads);
    done = SolveBagrovGrid(grid, pool, out, SignalRaised);
  }
  if (!done) throw py::error_already_set();
  return ETa;
}

// The statuses of input errors; the reason of a refused value is
// reasons[value].
std::vector<std::string> ProblemTexts(const py::array_t<std::uint8_t>& kind,
                                      const py::array_t<std::uint8_t>& field,
                                      const py::array_t<double>& value,
                                      const std::vector<std::string>& reasons) {
  std::vector<std::string> texts;
  auto kinds = kind.unchecked<1>();
  auto fields = field.unchecked<1>();
  auto values = value.unchecked<1>();
  if (fields.shape(0) != kinds.shape(0) || values.shape(0) != kinds.shape(0)) {
    throw py::value_error("kind, field and value must have one length");
  }
  for (py::ssize_t i = 0; i < kinds.shape(0); ++i) {
    if (kinds(i) > static_cast<int>(ProblemKind::kNotZeroOrOne) || fields(i) >= kInputFieldCount) {
      throw py::value_error("no such input problem");
    }
    const auto problem_kind = static_cast<ProblemKind>(kinds(i));
    if (problem_kind == ProblemKind::kRefused) {
      const double reason = values(i);
      if (!(reason >= 0 && reason < static_cast<double>(reasons.size()))) {
        throw py::value_error("no such reason");
      }
      texts.push_back(InputErrorStatus(reasons[static_cast<std::size_t>(reason)]));
    } else {
      texts.push_back(InputErrorStatus(
          ProblemText({problem_kind, static_cast<InputField>(fields(i)), values(i)})));
    }
  }
  return texts;
}

// recharge-table's reading of a CSV table (table_reading.h): (name, values,
// (rows, texts, reasons)) for a column of an input field, (name, texts) for
// any other; OSError or ValueError when the table cannot be read.
py::list ReadTable(int fd, std::optional<std::string> decimal, std::string_view name,
                   std::string_view units, std::string_view output_units) {
  std::optional<table::DecimalMark> mark;
  if (decimal) mark = *decimal == "comma" ? table::DecimalMark::kComma : table::DecimalMark::kPoint;
  SoilTable soils;
  std::string problem;
  int error_number = 0;
  bool read = false;
  {
    py::gil_scoped_release unlocked;
    read = table::ReadSoilTable(fd, mark, name, {units, output_units, "units", "output_units"},
                                soils, problem, error_number);
  }
  if (!read && error_number != 0) {
    errno = error_number;
    PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, Text(name).ptr());
    throw py::error_already_set();
  }
  if (!read) throw py::value_error(Text(problem));
  py::list out;
  for (TableColumn& column : soils.columns) {
    if (!column.field) {
      out.append(py::make_tuple(Text(column.name), Texts(column.text)));
      continue;
    }
    py::array_t<double> values(static_cast<py::ssize_t>(column.values.size()));
    std::copy(column.values.begin(), column.values.end(), values.mutable_data());
    out.append(py::make_tuple(Text(column.name), values,
                              py::make_tuple(py::cast(column.refused), Texts(column.refused_text),
                                             Texts(column.reasons))));
  }
  return out;
}

// A frame's cells of `field` in the model's unit: a text read as the table
// reads a cell in `unit` (a point its decimal mark, the blanks around it
// dropped), a number scaled as an array's value, None NaN. The reasons of
// the texts that are no number, {position: reason}.
py::tuple ReadCells(std::string_view field, const std::optional<std::string>& unit,
                    const py::list& cells) {
  const InputField input = FieldOf(field);
  const UnitScale scale = unit ? ScaleOf(input, *unit) : UnitScale();
  py::array_t<double> values(static_cast<py::ssize_t>(cells.size()));
  double* const out = values.mutable_data();
  py::dict reasons;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const py::handle cell = cells[i];
    if (cell.is_none()) {
      out[i] = std::numeric_limits<double>::quiet_NaN();
    } else if (py::isinstance<py::str>(cell)) {
      std::string reason;
      if (!table::ReadTextCell(FieldName(input), Bytes(cell), scale, out[i], reason)) {
        out[i] = std::numeric_limits<double>::quiet_NaN();
        reasons[py::int_(i)] = Text(reason);
      }
    } else {
      out[i] = ScaledValue(cell.cast<double>(), scale);
    }
  }
  return py::make_tuple(values, reasons);
}

py::tuple MapNames(const std::vector<std::string>& names, std::string_view holder,
                   std::string_view name, bool with_id, std::string_view common_unit) {
  const std::vector<std::string_view> views(names.begin(), names.end());
  ColumnMap map;
  std::string problem, notice;
  MapColumns(views, {holder, name, with_id}, map, problem, notice);
  const auto position = [](std::size_t index) -> py::object {
    return index == kAbsent ? py::object(py::none()) : py::object(py::int_(index));
  };
  py::list fields, units;
  for (int field = 0; field < kInputFieldCount; ++field) {
    const std::size_t index = map.index[field];
    fields.append(position(index));
    const std::string_view unit =
        index == kAbsent ? ""
                         : ColumnUnit(views[index], static_cast<InputField>(field), common_unit);
    units.append(unit.empty() ? py::object(py::none()) : py::object(py::str(std::string(unit))));
  }
  return py::make_tuple(fields, position(map.id), Text(problem), Text(notice), units);
}

py::object NamedUnitOf(std::string_view name, std::string_view field, std::string_view given,
                       std::string_view given_name) {
  std::string unit, problem;
  if (!NamedUnit(Units(), name, FieldOf(field), given, given_name, unit, problem)) {
    throw py::value_error(problem);
  }
  return unit.empty() ? py::object(py::none()) : py::object(py::str(unit));
}

py::tuple ScaleTuple(const UnitScale& scale) {
  return py::make_tuple(scale.power_of_ten ? scale.shift : 0,
                        scale.power_of_ten ? py::object(py::none()) : py::float_(scale.factor));
}

}  // namespace

}  // namespace recharge::python

PYBIND11_MODULE(_core, m) {
  using namespace recharge;
  using namespace recharge::python;
  m.doc() = "The model of recharge-table for numpy arrays; use the package recharge.";
  m.attr("__version__") = RECHARGE_VERSION;
  m.attr("INPUTS") = Inputs();
  m.attr("SERIES") = Series();
  m.attr("STATUS_DESCRIPTION") = std::string(kStatusDescription);
  m.attr("RESULT_COLUMNS") = Columns();
  m.attr("METHODS") = py::tuple(py::cast(MethodTexts()));
  m.attr("STATUSES") = py::tuple(py::cast(StatusTexts()));
  m.attr("NO_METHOD") = kNoMethod;
  m.attr("MAX_THREADS") = kMaxCpus;
  m.attr("COMMON_UNIT_FIELDS") = FieldsWhere(TakesCommonUnit);
  m.def("available_cpus", AvailableCpus);
  m.def("balance", Balance, py::arg("fields"), py::arg("shape"), py::arg("no_data"),
        py::arg("threads"), py::arg("refused"), py::arg("units"), py::arg("output_units"),
        py::arg("interrupted"));
  m.def("solve_bagrov", SolveBagrovArrays, py::arg("nB"), py::arg("P"), py::arg("ETp"),
        py::arg("shape"), py::arg("threads"));
  m.def("problem_texts", ProblemTexts, py::arg("kind"), py::arg("field"), py::arg("value"),
        py::arg("reasons"));
  m.def("map_names", MapNames, py::arg("names"), py::arg("holder"), py::arg("name"),
        py::arg("with_id"), py::arg("common_unit"));
  m.def(
      "split_unit",
      [](std::string_view name) {
        const NameAndUnit split = SplitUnit(name);
        return py::make_tuple(std::string(split.name), std::string(split.unit));
      },
      py::arg("name"));
  m.def("named_unit", NamedUnitOf, py::arg("name"), py::arg("field"), py::arg("given"),
        py::arg("given_name"));
  m.def(
      "unit_scale",
      [](std::string_view field, std::string_view unit) {
        return ScaleTuple(ScaleOf(FieldOf(field), unit));
      },
      py::arg("field"), py::arg("unit"));
  m.def(
      "length_scale", [](std::string_view unit) { return ScaleTuple(LengthScaleOf(unit)); },
      py::arg("unit"));
  m.def("result_units", ResultUnits, py::arg("length"), py::arg("year"));
  m.def("read_table", ReadTable, py::arg("fd"), py::arg("decimal"), py::arg("name"),
        py::arg("units"), py::arg("output_units"));
  m.def("read_cells", ReadCells, py::arg("field"), py::arg("unit"), py::arg("cells"));
}

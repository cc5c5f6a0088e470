#' Water balance of soils given as vectors
#'
#' The model of `recharge-table`, one soil a cell: the inputs are the table's
#' columns, given as named arguments, recycled to the longest as R recycles.
#'
#' Each input is a numeric (or integer, or logical) vector, or a 'units'
#' object of the units package. `NA` is a value not given, as an empty cell
#' of the table: for `Cs`, the months, the own parameters and `anaerobiosis`
#' the soil goes without it (Cs derived from the months, anaerobiosis 0); in
#' a required input (`P`, `ETp`, `Ps`, `ETps`, `zr`, `zgw`, `class`) the soil
#' has no data (status `no data`, every value `NA`). An infinite value, a
#' class that is no whole number from 0 to 34 and the like are the soil's
#' input error, as in the table; no convergence and arithmetic faults are
#' statuses too: a soil's fault is never an R error.
#'
#' Amounts are in cm (the annual ones in cm/a), unless an argument's name
#' gives its unit (`` `P [mm]` = 600 ``), it is a 'units' object
#' (`P = units::set_units(600, mm)`), or `units` names one for the climate
#' amounts and depths without one. A unit that is a power of ten of the
#' model's divides or multiplies by that exact power (600 mm is exactly 60
#' cm), any other multiplies by its factor once. A result length in a power
#' of ten of cm is the value `recharge-table` writes.
#'
#' @param ... The inputs, named as the table's columns (case aside): `P`,
#'   `ETp` (annual precipitation and potential evapotranspiration, cm/a),
#'   `Ps`, `ETps` (the same for summer, cm), `Cs` (coefficient of
#'   simultaneity), `rain4` to `rain9` and `etp4` to `etp9` (monthly rain
#'   and potential evapotranspiration, April to September, cm), `zr`, `zgw`
#'   (root zone depth and depth to groundwater, cm), `class` (soil class 1 to
#'   34, or 0 for own parameters), `theta_r`, `theta_s`, `alpha`, `n`, `p1`,
#'   `p2` (own parameters), `anaerobiosis` (1: severe anaerobiosis expected).
#'   Other names are ignored with a warning.
#' @param units The unit of the climate amounts and depths whose name gives
#'   none and which are no 'units' objects, as `recharge-table --units`:
#'   `"mm"`.
#' @param output_units The length of `Wmax`, `ETa` and `R` (`"mm"`: ETa and
#'   R in mm/year); by default cm.
#' @param with_units `TRUE`: the value columns as 'units' objects.
#' @param threads Threads to compute on; by default the CPUs the process may
#'   use (`OMP_NUM_THREADS`, the affinity mask, the container's quota). The
#'   results do not depend on it.
#' @return A data frame of one row a cell: the table's result columns `Cs`,
#'   `FC`, `WP`, `Wmax`, `qmax`, `method`, `nB`, `h_an`, `g`, `ETa`, `R`,
#'   `status`, and `input_error`, the reason of an input error. `NA` where
#'   the table leaves a cell empty. `method` and `status` are factors of the
#'   table's texts; `attr(, "units")` names each value column's unit.
#' @seealso [balance_frame()] for a data frame, [balance_rast()] for rasters.
#' @export
#' @examples
#' balance(P = 60, ETp = 55, Ps = 30, ETps = 40, Cs = 0.3, zr = 60, zgw = 200, class = 1)
#'
#' # Recycled: two climates on one soil; an NA precipitation has no data
#' r <- balance(P = c(60, 45, NA), ETp = 55, Ps = 30, ETps = 40, Cs = 0.3,
#'              zr = 60, zgw = 200, class = c(1, 24, 1))
#' r[, c("ETa", "R", "method", "status")]
#'
#' # Units in a name, as an option, and of the results
#' balance(`P [mm]` = 600, ETp = 550, Ps = 300, ETps = 400, Cs = 0.3,
#'         zr = 600, zgw = 2000, class = 1, units = "mm", output_units = "mm")$R
balance <- function(..., units = NULL, output_units = NULL, with_units = FALSE,
                    threads = NULL) {
  inputs <- named_inputs(list(...), "balance(P = 60, ETp = 55, ...)")
  mapping <- map_inputs(inputs, "call", "argument", FALSE, units, output_units)
  cells <- recycled_length(inputs)
  inputs <- lapply(inputs, function(x) if (length(x) %in% c(1, cells)) x else rep_len(x, cells))
  result <- run_model(inputs, mapping, cells, output_units, no_data = TRUE, lines = NULL,
                      threads = threads)
  results_frame(result, cells, output_units, with_units)
}

# The number of cells of recycled inputs: the longest length, or 0 when one
# is empty; an error for a length that does not divide it.
recycled_length <- function(inputs) {
  lengths <- vapply(inputs, length, 0)
  if (length(lengths) == 0) return(0)
  cells <- if (any(lengths == 0)) 0 else max(lengths)
  short <- lengths != 0 & cells %% lengths != 0
  if (any(short)) {
    stop(names(inputs)[short][1], ": ", lengths[short][1], " values do not recycle to ", cells,
         call. = FALSE)
  }
  cells
}

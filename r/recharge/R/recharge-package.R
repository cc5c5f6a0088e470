#' recharge: actual evapotranspiration and groundwater recharge of grass-covered soils
#'
#' The model of the program `recharge-table` on R vectors, data frames and
#' 'terra' rasters, computed by the very same C++: every number is
#' bit-identical to the table program's.
#'
#' - [balance()] on numeric vectors, one soil a cell;
#' - [read_table()] and [balance_frame()] on a table of soils;
#' - [balance_rast()] on 'terra' rasters, block by block.
#'
#' Amounts are in cm unless a name, the `units` argument or a 'units' object
#' says otherwise. Faults, no convergence and input errors are a soil's
#' status, never an R error.
#'
#' @keywords internal
#' @useDynLib recharge, .registration = TRUE
#' @importFrom Rcpp evalCpp
"_PACKAGE"

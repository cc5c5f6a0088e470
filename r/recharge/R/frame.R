#' Water balance of the soils of a data frame
#'
#' The results of `recharge-table` for a data frame with the table's columns,
#' one soil a row, each the row of the table with the same values.
#'
#' Columns are named as the table's (case aside) and may give their unit in
#' the name, as the table's header does: `P [mm]`, `zgw (m)`; a column that
#' is a 'units' object gives its unit too. Other columns are ignored, named
#' in one warning with a known name each resembles; `id` is kept. Numeric,
#' integer and logical columns are numbers, `NA` an empty cell -- in a
#' required column the table's input error `zr: no value`. Text (and factor)
#' columns are read as the table reads its cells: `"60.5"` is 60.5, `"605"`
#' in mm exactly 60.5 cm, `"6o"` the row's input error. The cells that
#' [read_table()] could not read keep the table's reason, and a frame of
#' [read_table()] its line numbers: `balance_frame(read_table(f))` gives
#' every number and status of `recharge-table f`.
#'
#' @param df A data frame.
#' @inheritParams balance
#' @param units The unit of the climate and depth columns whose name gives
#'   none (`recharge-table --units`).
#' @param output_units The length of `Wmax`, `ETa` and `R`
#'   (`recharge-table --output-units`); by default the one given to
#'   [read_table()], else cm.
#' @return A data frame with the row names of `df`: `id` (when `df` has
#'   it), the table's result columns, `status` and `input_error` as in
#'   [balance()]. The status of an input error is the table's
#'   (`recharge-table` writes `input error: ` and `input_error`).
#' @export
#' @examples
#' soils <- data.frame(id = c("meadow", "fen edge", "typo"),
#'                     `P [mm]` = c(600, 450, 600), ETp = c(55, 60, 55),
#'                     Ps = c(30, 25, 30), ETps = c(40, 45, 40), Cs = c(0.3, 0.2, 0.3),
#'                     zr = c("60", "60", "6o"), zgw = c(200, 100, 200), class = c(1, 24, 1),
#'                     check.names = FALSE)
#' balance_frame(soils)[, c("id", "ETa", "R", "status", "input_error")]
balance_frame <- function(df, units = NULL, output_units = NULL, with_units = FALSE,
                          threads = NULL) {
  if (!is.data.frame(df)) stop("df: a data frame is needed", call. = FALSE)
  if (is.null(output_units)) output_units <- attr(df, "output_units")
  columns <- as.list(df)
  mapping <- map_inputs(columns, "frame", "column", TRUE, units, output_units)
  lines <- if (inherits(df, "recharge_table")) table_lines(df) else NULL
  result <- run_model(columns, mapping, nrow(df), output_units, no_data = FALSE,
                      lines = lines, threads = threads, text = TRUE)
  id <- if (is.na(mapping$id)) NULL else columns[[mapping$id]]
  results_frame(result, nrow(df), output_units, with_units, id = id,
                row_names = attr(df, "row.names"))
}

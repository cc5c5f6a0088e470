# The results of the C++ core as a data frame: the table's result columns,
# `method` and `status` as factors of the contract's texts, `input_error` the
# reason of each input error; in units objects on request.
results_frame <- function(result, cells, output_units, with_units, id = NULL,
                          row_names = NULL) {
  tables <- contract()
  out <- list()
  if (!is.null(id)) out$id <- id
  for (name in tables$results$name) {
    out[[name]] <- if (name %in% value_columns()) {
      result$columns[[name]]
    } else {
      code_factor(result$method, tables$methods, tables$no_method)
    }
  }
  out$status <- code_factor(result$status, tables$statuses)
  out$input_error <- result$input_error
  units <- result_units(if (is.null(output_units)) "cm" else output_units)
  names(units) <- tables$results$name
  units <- units[value_columns()]
  if (with_units) {
    if (!requireNamespace("units", quietly = TRUE)) {
      stop("with_units = TRUE needs the package units", call. = FALSE)
    }
    for (name in names(units)) {
      out[[name]] <- units::set_units(out[[name]], units[[name]], mode = "standard")
    }
  }
  frame <- structure(out, class = "data.frame",
                     row.names = if (is.null(row_names)) .set_row_names(cells) else row_names)
  attr(frame, "units") <- units
  frame
}

#' Read a table of soils as recharge-table reads it
#'
#' The table program's own reader: the delimiter found from the header
#' (comma, semicolon or tab), the decimal mark (a comma with a semicolon or
#' a tab), quotes as spreadsheets write them, a UTF-8 byte-order mark,
#' blanks around names and values, rows within 1 MiB. Every number of an
#' input column (named as the table's, case aside) is the correctly rounded
#' double of its text, which R's own reading of numbers is not always; a
#' column whose name gives its unit (`P [mm]`), or that takes `units`, is
#' converted to the model's unit as the table converts it, by moving the
#' decimal point of the text for a power of ten, and named with that unit
#' (`P [cm]`). Other columns (`id`, notes) are text as read.
#'
#' @param file The table's path.
#' @param decimal `"point"` or `"comma"`, as `recharge-table --decimal`; by
#'   default found from the delimiter.
#' @param units The unit of the climate and depth columns whose name gives
#'   none, as `recharge-table --units`.
#' @param output_units The length of the results, as
#'   `recharge-table --output-units`: kept in the frame's attribute
#'   `output_units`, where [balance_frame()] finds it.
#' @return A data frame of class `recharge_table`, one row for every row of
#'   the table, in order, its row names the input lines the rows start on.
#'   An input column is numeric (`NA` for an empty cell), or, where it has
#'   cells that are no number, of class `recharge_cells`: text, each number
#'   as the shortest text that reads back as it, each cell that could not be
#'   read as it stands with the table's reason (`attr(, "reasons")`); so is
#'   every input cell of a malformed row (an unterminated quote, too many
#'   fields). [balance_frame()] gives each row the table's status, its line
#'   included.
#' @export
#' @examples
#' soils <- system.file("extdata", "soils.csv", package = "recharge")
#' table <- read_table(soils)
#' head(table[, c("id", "P", "zr", "class")])
#' results <- balance_frame(table)
#' table(results$status)
read_table <- function(file, decimal = NULL, units = NULL, output_units = NULL) {
  if (!is.character(file) || length(file) != 1 || is.na(file)) {
    stop("file: the path of one table is needed", call. = FALSE)
  }
  if (!is.null(decimal) && !identical(decimal, "point") && !identical(decimal, "comma")) {
    stop("decimal: \"point\" or \"comma\" is needed", call. = FALSE)
  }
  read <- from_core(read_soil_table(path.expand(file), if (is.null(decimal)) "" else decimal,
                                    unit_option(units, "units"),
                                    unit_option(output_units, "output_units")))
  columns <- lapply(read$columns, function(column) {
    if (!is.list(column)) return(column)
    structure(column$text, reasons = column$reasons, class = "recharge_cells")
  })
  names(columns) <- read$names
  frame <- structure(columns, class = c("recharge_table", "data.frame"),
                     row.names = read$lines)
  if (!is.null(output_units)) attr(frame, "output_units") <- output_units
  frame
}

# The input lines of a frame of read_table, kept as its row names; NULL when
# they are no longer lines (rows bound together).
table_lines <- function(df) {
  lines <- suppressWarnings(as.integer(row.names(df)))
  if (anyNA(lines) || anyDuplicated(lines)) NULL else lines
}

#' Cells of a table that could not all be read as numbers
#'
#' An input column of [read_table()] with cells that are no number: text,
#' its `reasons` attribute the table's reason for each cell it could not
#' read, `NA` for the others. Subsetting keeps each cell's reason; a cell
#' replaced is text again, read as the table reads it.
#'
#' @param x A column of class `recharge_cells`.
#' @param i,value Indices and values, as for a character vector.
#' @param ... Passed on to the method for character vectors.
#' @return A `recharge_cells` column, or the text for `format()`.
#' @name recharge_cells
#' @keywords internal
NULL

#' @rdname recharge_cells
#' @export
`[.recharge_cells` <- function(x, i) {
  structure(unclass(x)[i], reasons = attr(x, "reasons")[i], class = "recharge_cells")
}

#' @rdname recharge_cells
#' @export
`[<-.recharge_cells` <- function(x, i, value) {
  reasons <- attr(x, "reasons")
  reasons[i] <- NA_character_
  text <- unclass(x)
  attr(text, "reasons") <- NULL
  text[i] <- as.character(value)
  structure(text, reasons = reasons, class = "recharge_cells")
}

#' @rdname recharge_cells
#' @export
format.recharge_cells <- function(x, ...) {
  format(as.vector(unclass(x)), ...)
}

#' @rdname recharge_cells
#' @export
print.recharge_cells <- function(x, ...) {
  print(as.vector(unclass(x)), ...)
  invisible(x)
}

#' Water balance of soils given as rasters
#'
#' The model of `recharge-table` on every cell of 'terra' rasters, computed
#' block by block in bounded memory: the inputs are single-layer
#' `SpatRaster`s on one grid, or numbers for every cell.
#'
#' Inputs are named as the table's columns, as in [balance()]. A layer's
#' unit is the one its name gives, else its units (`terra::units()`), else
#' `units` for the climate amounts and depths; a number may be a 'units'
#' object. A layer on another grid (extent, rows and columns, resolution or
#' CRS) is refused by name. A cell without a value (`NA`) in a required input
#' has no data.
#'
#' @inheritParams balance
#' @param ... The inputs, named as the table's columns: single-layer
#'   `SpatRaster`s on one grid, or single numbers. At least one is a
#'   `SpatRaster`.
#' @param with_units `TRUE`: the layers' units (`terra::units()`) set.
#' @param filename A file to write the results to, or `""`: in memory where
#'   they fit, else in a temporary file.
#' @param overwrite Whether `filename` may be replaced.
#' @return A `SpatRaster` on the inputs' grid, its CRS and extent, with the
#'   layers `Cs`, `FC`, `WP`, `Wmax`, `qmax`, `nB`, `h_an`, `g`, `ETa`, `R`
#'   (in doubles, `NA` where a cell is not `ok`), `method` and `status`,
#'   categorical layers of the table's texts.
#' @export
#' @examples
#' if (requireNamespace("terra", quietly = TRUE)) {
#'   P <- terra::rast(nrows = 20, ncols = 30, xmin = 0, xmax = 3000, ymin = 0, ymax = 2000,
#'                    crs = "EPSG:25832")
#'   terra::values(P) <- rep(seq(500, 900, length.out = 30), 20)
#'   zgw <- terra::init(P, "row") * 0.1
#'   out <- balance_rast(P = P, ETp = 550, Ps = 300, ETps = 400, Cs = 0.3, zr = 600,
#'                       `zgw [m]` = zgw, class = 3, units = "mm", output_units = "mm")
#'   terra::plot(out$R, main = "groundwater recharge, mm/year")
#' }
balance_rast <- function(..., units = NULL, output_units = NULL, with_units = FALSE,
                         threads = NULL, filename = "", overwrite = FALSE) {
  if (!requireNamespace("terra", quietly = TRUE)) {
    stop("balance_rast needs the package terra", call. = FALSE)
  }
  inputs <- named_inputs(list(...), "balance_rast(P = P, ETp = 55, ...)")
  layers <- vapply(inputs, inherits, TRUE, what = "SpatRaster")
  if (!any(layers)) {
    stop("no input is a SpatRaster: balance() computes numbers alone", call. = FALSE)
  }
  template <- inputs[[which(layers)[1]]]
  check_grid(inputs, layers, names(inputs)[which(layers)[1]])
  mapping <- map_inputs(inputs, "call", "argument", FALSE, units, output_units)
  tables <- contract()
  values <- value_columns()
  out <- terra::rast(template, nlyrs = length(values) + 2)
  names(out) <- c(values, "method", "status")
  kept <- setdiff(seq_along(tables$methods) - 1L, tables$no_method)
  terra::set.cats(out, layer = "method",
                  value = data.frame(value = kept, method = tables$methods[kept + 1L]))
  terra::set.cats(out, layer = "status", value = data.frame(
    value = seq_along(tables$statuses) - 1L, status = tables$statuses))
  if (with_units) {
    units <- result_units(if (is.null(output_units)) "cm" else output_units)
    terra::units(out) <- c(units[!tables$results$text], "", "")
  }

  for (layer in inputs[layers]) terra::readStart(layer)
  on.exit(for (layer in inputs[layers]) terra::readStop(layer), add = TRUE)
  blocks <- terra::writeStart(out, filename, overwrite = overwrite, n = length(inputs) + 12,
                              wopt = list(datatype = "FLT8S"))
  for (b in seq_len(blocks$n)) {
    cells <- blocks$nrows[b] * terra::ncol(out)
    block <- lapply(inputs, function(x) {
      if (!inherits(x, "SpatRaster")) return(x)
      terra::readValues(x, blocks$row[b], blocks$nrows[b], 1, terra::ncol(x))
    })
    result <- run_model(block, mapping, cells, output_units, no_data = TRUE, lines = NULL,
                        threads = threads)
    terra::writeValues(out, block_values(result, values, tables), blocks$row[b], blocks$nrows[b])
  }
  terra::writeStop(out)
}

# Refuses an input that is neither a layer nor one number, and a layer of
# several bands or on another grid than the first layer's, by name.
check_grid <- function(inputs, layers, first) {
  for (name in names(inputs)) {
    x <- inputs[[name]]
    if (!layers[[name]]) {
      if (length(x) != 1 || !(is.numeric(x) || is.logical(x))) {
        stop(name, ": a SpatRaster or one number is needed", call. = FALSE)
      }
      next
    }
    if (terra::nlyr(x) != 1) {
      stop(name, ": one layer is needed, not ", terra::nlyr(x), call. = FALSE)
    }
    same <- tryCatch(terra::compareGeom(inputs[[first]], x, lyrs = FALSE, crs = TRUE, ext = TRUE,
                                        rowcol = TRUE, res = TRUE),
                     error = function(e) conditionMessage(e))
    if (!isTRUE(same)) {
      stop(name, " is not on the grid of ", first, ": ", same, call. = FALSE)
    }
  }
}

# A block's values for writeValues, a column a layer: the value columns
# where a cell is ok, else NA; the codes of method and status.
block_values <- function(result, values, tables) {
  ok <- result$status == tables$ok
  columns <- lapply(result$columns[values], function(column) ifelse(ok, column, NA_real_))
  method <- ifelse(ok & result$method != tables$no_method, result$method, NA_real_)
  do.call(cbind, c(columns, list(method, result$status)))
}

# The inputs of a call, a frame or a raster call, each value as the model's
# C++ reads it: its field by the table's header rules, its unit from its
# name, the 'units' object or layer it is, or `units`; numbers as doubles,
# text read as the table reads a cell.

# The inputs of a call, each named as the table's columns; an error that
# shows the call `example` otherwise.
named_inputs <- function(inputs, example) {
  if (length(inputs) > 0 && (is.null(names(inputs)) || !all(nzchar(names(inputs))))) {
    stop("every input is named as the table's columns: ", example, call. = FALSE)
  }
  inputs
}

# A unit option: NULL for none, or one unit.
unit_option <- function(unit, label) {
  if (is.null(unit)) return("")
  if (!is.character(unit) || length(unit) != 1 || is.na(unit)) {
    stop(label, ": one unit is needed, as text", call. = FALSE)
  }
  unit
}

# The unit a value carries apart from its name: a 'units' object's, a
# layer's (terra's units), else NA.
carried_unit <- function(x) {
  if (inherits(x, "units")) return(units::deparse_unit(x))
  if (inherits(x, "SpatRaster")) {
    unit <- terra::units(x)
    if (length(unit) == 1 && !is.na(unit) && nzchar(unit)) return(unit)
  }
  NA_character_
}

carrier_name <- function(x) {
  if (inherits(x, "SpatRaster")) "the layer's units" else "the units object"
}

# Which field stands where, with its unit (map_columns); the names ignored
# are named in one warning.
map_inputs <- function(columns, holder, word, with_id, units, output_units) {
  mapping <- from_core(map_columns(
    names(columns), vapply(columns, carried_unit, ""), vapply(columns, carrier_name, ""),
    unit_option(units, "units"), holder, word, with_id, unit_option(output_units, "output_units")
  ))
  if (nzchar(mapping$notice)) warning(mapping$notice, call. = FALSE)
  mapping
}

# One input's values as doubles, or its text cells read in its `unit`:
# list(values, unit: NA once applied, refused: NULL or list(codes, reasons)).
input_values <- function(x, field, unit, label, text) {
  if (inherits(x, "units")) x <- unclass(x)
  if (is.numeric(x) || is.logical(x)) {
    return(list(values = as.double(x), unit = unit, refused = NULL))
  }
  if (!text || !(is.character(x) || is.factor(x))) {
    stop(label, ": numbers are needed, not ", class(x)[1], call. = FALSE)
  }
  cells <- from_core(read_cells(field, if (is.na(unit)) "" else unit, as.character(x)))
  reasons <- cells$reasons
  kept <- attr(x, "reasons")
  if (!is.null(kept)) reasons[!is.na(kept)] <- kept[!is.na(kept)]
  bad <- !is.na(reasons)
  refused <- NULL
  if (any(bad)) {
    refused <- list(codes = as.integer(ifelse(bad, cumsum(bad) - 1L, -1L)), reasons = reasons[bad])
  }
  list(values = cells$values, unit = NA_character_, refused = refused)
}

# The model on the mapped inputs of `cells` cells, each input of 1 or `cells`
# values: the C++ core's columns, codes and input errors (balance_cells).
run_model <- function(columns, mapping, cells, output_units, no_data, lines, threads,
                      text = FALSE) {
  fields <- contract()$inputs$name
  values <- vector("list", length(fields))
  refused <- vector("list", length(fields))
  units <- mapping$unit
  for (f in which(!is.na(mapping$position))) {
    position <- mapping$position[f]
    label <- names(columns)[position]
    input <- input_values(columns[[position]], fields[f], units[f], label, text)
    values[[f]] <- input$values
    units[f] <- input$unit
    if (!is.null(input$refused)) refused[[f]] <- input$refused
  }
  from_core(balance_cells(values, cells, refused, units, unit_option(output_units, "output_units"),
                          no_data, lines, thread_count(threads)))
}

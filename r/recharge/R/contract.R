# The contract of inputs and results, from the model's C++ tables
# (contract_tables): names, units, codes and texts, read once per session.
contract_cache <- new.env(parent = emptyenv())

contract <- function() {
  if (is.null(contract_cache$tables)) contract_cache$tables <- contract_tables()
  contract_cache$tables
}

# The value columns of the results, as the table orders them.
value_columns <- function() {
  results <- contract()$results
  results$name[!results$text]
}

# Codes as a factor of `texts` (code 0 the first); codes in `absent` are NA.
code_factor <- function(codes, texts, absent = integer()) {
  kept <- setdiff(seq_along(texts) - 1L, absent)
  structure(match(codes, kept), levels = texts[kept + 1L], class = "factor")
}

# R errors of the C++ core as the caller's, without the internal call.
from_core <- function(expr) {
  tryCatch(expr, error = function(e) stop(conditionMessage(e), call. = FALSE))
}

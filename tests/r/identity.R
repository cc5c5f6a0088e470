# The R package's results for a table, written for identity.py to compare:
#   Rscript identity.R TABLE FRAME_OUT BALANCE_OUT TIMES_OUT
# FRAME_OUT: balance_frame(read_table(TABLE)), every number in hexadecimal
# (exact), NA empty, the statuses as recharge-table writes them.
# BALANCE_OUT: the same of balance() on the doubles read_table read, when
# every input cell is a number. TIMES_OUT: microseconds a row of
# balance_frame on 1 thread and on the default threads.
library(recharge)
args <- commandArgs(TRUE)
table <- read_table(args[1])

write_results <- function(out, file) {
  cells <- lapply(out[setdiff(names(out), c("id", "method", "status", "input_error"))],
                  function(x) ifelse(is.na(x), "", sprintf("%a", x)))
  cells$method <- ifelse(is.na(out$method), "", as.character(out$method))
  cells$status <- ifelse(out$status == "input error", paste0("input error: ", out$input_error),
                         as.character(out$status))
  utils::write.csv(as.data.frame(cells), file, row.names = FALSE, na = "")
}

seconds <- function(threads) {
  system.time(out <- balance_frame(table, threads = threads))[["elapsed"]]
}
times <- c(one = seconds(1), default = seconds(NULL)) * 1e6 / nrow(table)
write_results(balance_frame(table), args[2])
inputs <- table[, names(table) != "id", drop = FALSE]
if (all(vapply(inputs, is.numeric, TRUE))) {
  write_results(do.call(balance, as.list(inputs)), args[3])
}
writeLines(format(round(times, 1)), args[4])

# The README's first soil, and its results as recharge-table writes them, in
# hexadecimal, which R reads exactly.
sand <- list(P = 60, ETp = 55, Ps = 30, ETps = 40, Cs = 0.3, zr = 60, zgw = 200, class = 1)
sand_ETa <- as.numeric("0x1.86597f4179405p+5")  # 48.79369975234298
sand_R <- as.numeric("0x1.669a02fa1afecp+3")    # 11.206300247657019
sand_R_mm <- as.numeric("0x1.c04083b8a1be7p+6") # 112.06300247657019

soil <- function(...) do.call(balance, utils::modifyList(sand, list(...)))

# The statuses as recharge-table writes them.
table_status <- function(out) {
  ifelse(out$status == "input error", paste0("input error: ", out$input_error),
         as.character(out$status))
}

# The threads of a call: the CPUs the process may use (OMP_NUM_THREADS, the
# affinity mask, the container's quota) unless `threads` names a number.
thread_count <- function(threads) {
  if (is.null(threads)) return(available_cpus())
  most <- contract()$max_threads
  if (!is.numeric(threads) || length(threads) != 1 || is.na(threads) ||
      threads != round(threads) || threads < 1 || threads > most) {
    stop("threads: a whole number from 1 to ", most, " is needed", call. = FALSE)
  }
  as.integer(threads)
}

// Esc or Ctrl-C while the model runs: asked on R's own thread between blocks
// of cells (grid_blocks.h: ForEachCell), never on a worker, which touches no
// R object.
#pragma once

namespace recharge::r {

// Whether the user has asked R to interrupt; the interrupt is then taken
// from R, and the caller ends the call with Rcpp's interrupt once its
// threads have finished.
bool Interrupted();

}  // namespace recharge::r

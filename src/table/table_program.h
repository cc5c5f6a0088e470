// recharge-table: a CSV table of soils in, a CSV table of results out, one
// output row for every input row, in the same order, whatever happens to any
// row (table_row.h says what a row holds).
//
// Rows are streamed in chunks: a chunk is read, its rows are computed in
// parallel, each on its own, and written, so memory does not grow with the
// table and the output is the same for any number of threads.
//
// Exit status: 0 when every row is ok; 1 when the table is complete but some
// rows are not; 2 when nothing could be computed (the command line, an
// unreadable input, a header without a required column or with a column
// twice, the threads could not be started) or the output could not be
// written, with one message on standard error. Unless quiet, a summary of
// the statuses follows on standard error.
//
// When the reader of the output goes away (`recharge-table big.csv | head`)
// the run ends without a message or summary: by SIGPIPE, as the process
// inherited it, or, where SIGPIPE is ignored, with status 2.
#pragma once

namespace recharge::table {

int RunTableProgram(int argc, char** argv);

}  // namespace recharge::table

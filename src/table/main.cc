// recharge-table: actual evapotranspiration and groundwater recharge for
// every row of a table of soils.
#include "table/table_program.h"

int main(int argc, char** argv) { return recharge::table::RunTableProgram(argc, argv); }

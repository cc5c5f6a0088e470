#include "balance/case_result.h"

namespace recharge {

double GroundwaterRecharge(const double& P, const double& ETa) { return P - ETa; }

}  // namespace recharge

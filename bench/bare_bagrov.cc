#include "bare_bagrov.h"

#include <cmath>

namespace recharge::bench {

namespace {

double Integrand(double E, double ETp, double nB) {
  double r = E / ETp;
  r = (0.9999 > r) ? r : 0.9999;
  return 1.0 / (1.0 - std::pow(r, nB));
}

double Integral(double ETp, double E, double nB) {
  const double h = E / 200.0;
  double x = 0.0;
  double sum = Integrand(0.0, ETp, nB);
  for (int i = 0; i < 100; ++i) {
    x = x + h;
    sum = 4.0 * Integrand(x, ETp, nB) + sum;
    x = x + h;
    const double fx = Integrand(x, ETp, nB);
    sum = (sum + fx) + fx;
  }
  const double fE = Integrand(E, ETp, nB);
  return ((sum - fE) * h) * static_cast<double>(0.33333334f);
}

}  // namespace

double BareSolveBagrov(double nB, double P, double ETp) {
  const double b = std::sqrt(P / ETp);
  double r0 = (b * static_cast<double>(0.6198f) + nB * static_cast<double>(0.0495f)) +
              static_cast<double>(-0.00406f);
  r0 = (0.99 > r0) ? r0 : 0.99;
  r0 = (0.3 < r0) ? r0 : 0.3;
  double E = r0 * ETp;
  double f = Integrand(E, ETp, nB);
  double PI = Integral(ETp, E, nB);
  double F = PI - P;
  double E_new;
  for (;;) {
    E_new = E - (F / f) * 0.5;
    if (!(std::abs(PI - P) >= static_cast<double>(0.0001f))) break;
    PI = Integral(ETp, E_new, nB);
    F = PI - P;
    f = Integrand(E_new, ETp, nB);
    E = E_new;
  }
  double ETa = (E_new > ETp) ? ETp : E_new;
  return (P > ETa) ? ETa : P;
}

}  // namespace recharge::bench

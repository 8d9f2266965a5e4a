#include "tools/form_factor_table.h"

#include <xraylib.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "tools/quadrature.h"

namespace dosavia::datagen {

namespace {

using XraylibFunction = double (*)(int, double, xrl_error**);

double Call(XraylibFunction f, const char* name, int Z, double x) {
  xrl_error* error = nullptr;
  const double v = f(Z, x, &error);
  if (error != nullptr) {
    const std::string message = error->message;
    xrl_error_free(error);
    throw std::runtime_error(std::string("xraylib ") + name + "(" + std::to_string(Z) + ", " +
                             std::to_string(x) + "): " + message);
  }
  return v;
}

double WaterFormFactorSquared(double x) {
  const double h = Call(FF_Rayl, "FF_Rayl", 1, x);
  const double o = Call(FF_Rayl, "FF_Rayl", 8, x);
  return 2 * h * h + o * o;
}

double WaterIncoherentFunction(double x) {
  if (x <= 0) return 0;
  return 2 * Call(SF_Compt, "SF_Compt", 1, x) + Call(SF_Compt, "SF_Compt", 8, x);
}

struct Grid {
  std::vector<double> x, u, s;
  int reference_index;  // grid index of kLowestBackscatterX
};

Grid FineGrid() {
  static const GaussLegendreRule rule(8);
  const int n = static_cast<int>(std::lround(kFormFactorMaxX / kFormFactorGridStep));
  Grid g;
  g.x.resize(static_cast<std::size_t>(n) + 1);
  g.u.resize(g.x.size());
  g.s.resize(g.x.size());
  for (int k = 0; k <= n; ++k) g.x[k] = k * kFormFactorGridStep;
  g.u[0] = 0;
  for (int k = 0; k < n; ++k) {
    // d(x^2) = 2 x dx
    g.u[k + 1] = g.u[k] + rule.Integrate([](double x) { return WaterFormFactorSquared(x) * 2 * x; },
                                         g.x[k], g.x[k + 1]);
  }
  for (int k = 0; k <= n; ++k) g.s[k] = WaterIncoherentFunction(g.x[k]);
  g.reference_index = static_cast<int>(std::ceil(kLowestBackscatterX / kFormFactorGridStep));
  return g;
}

struct IntervalError {
  double cumulative = 0;
  double incoherent = 0;
  double Worst() const { return std::max(cumulative, incoherent); }
};

IntervalError ErrorOf(const Grid& g, int a, int b) {
  IntervalError e;
  const int ref = std::max(b, g.reference_index);
  for (int k = a + 1; k < b; ++k) {
    const double f = static_cast<double>(k - a) / (b - a);
    const double u = g.u[a] + f * (g.u[b] - g.u[a]);
    const double s = g.s[a] + f * (g.s[b] - g.s[a]);
    e.cumulative = std::max(e.cumulative, std::fabs(u - g.u[k]) / g.u[ref]);
    e.incoherent = std::max(e.incoherent, std::fabs(s - g.s[k]) / g.s[ref]);
  }
  return e;
}

}  // namespace

FormFactorTable BuildWaterFormFactorTable() {
  const Grid g = FineGrid();
  std::vector<int> nodes = {0, static_cast<int>(g.x.size()) - 1};
  std::vector<IntervalError> errors = {ErrorOf(g, nodes[0], nodes[1])};
  while (static_cast<int>(nodes.size()) < kFormFactorRows) {
    std::size_t worst = 0;
    for (std::size_t i = 1; i < errors.size(); ++i)
      if (errors[i].Worst() > errors[worst].Worst()) worst = i;
    const int a = nodes[worst], b = nodes[worst + 1];
    if (b - a < 2) throw std::runtime_error("form-factor grid too coarse for 45 rows");
    const int mid = (a + b) / 2;
    nodes.insert(nodes.begin() + static_cast<std::ptrdiff_t>(worst) + 1, mid);
    errors[worst] = ErrorOf(g, a, mid);
    errors.insert(errors.begin() + static_cast<std::ptrdiff_t>(worst) + 1, ErrorOf(g, mid, b));
  }
  FormFactorTable table;
  for (int k : nodes) table.rows.push_back({g.x[k], g.u[k], g.s[k]});
  for (const IntervalError& e : errors) {
    table.cumulative_error = std::max(table.cumulative_error, e.cumulative);
    table.incoherent_error = std::max(table.incoherent_error, e.incoherent);
  }
  return table;
}

}  // namespace dosavia::datagen

// Gauss–Legendre quadrature for the data generators.
#pragma once

#include <cmath>
#include <vector>

namespace dosavia::datagen {

// Nodes and weights of the n-point Gauss–Legendre rule on [-1, 1], found by Newton's
// iteration on P_n from Chebyshev starting points (Press et al., Numerical Recipes, 4.6).
struct GaussLegendreRule {
  std::vector<double> nodes;
  std::vector<double> weights;

  explicit GaussLegendreRule(int n) : nodes(n), weights(n) {
    const double pi = std::acos(-1.0);
    for (int i = 0; i < (n + 1) / 2; ++i) {
      double z = std::cos(pi * (i + 0.75) / (n + 0.5));
      double dp = 0;
      for (int iteration = 0; iteration < 100; ++iteration) {
        double p0 = 1, p1 = 0;
        for (int k = 1; k <= n; ++k) {
          const double p2 = p1;
          p1 = p0;
          p0 = ((2.0 * k - 1.0) * z * p1 - (k - 1.0) * p2) / k;
        }
        dp = n * (z * p0 - p1) / (z * z - 1.0);
        const double dz = p0 / dp;
        z -= dz;
        if (std::fabs(dz) < 1e-15) break;
      }
      nodes[i] = -z;
      nodes[n - 1 - i] = z;
      weights[i] = weights[n - 1 - i] = 2.0 / ((1.0 - z * z) * dp * dp);
    }
  }

  // Integral of f over [a, b].
  template <typename F>
  double Integrate(F&& f, double a, double b) const {
    const double half = 0.5 * (b - a), mid = 0.5 * (a + b);
    double sum = 0;
    for (std::size_t k = 0; k < nodes.size(); ++k) sum += weights[k] * f(mid + half * nodes[k]);
    return sum * half;
  }
};

}  // namespace dosavia::datagen

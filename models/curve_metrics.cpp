#include "models/curve_metrics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "models/visual_depth_dose.h"

namespace dosavia {

namespace {

constexpr double kBinCm = 0.1;  // the engine's depth bins
// The bins the build-up model is fitted to: those of the first 12 cm.
constexpr int kFitBins = static_cast<int>(kDoseFitDepthCm / kBinCm + 0.5);
constexpr int kLogFitHalfBins = 10;
constexpr int kBin10cm = 100;
constexpr int kBin20cm = 200;
// Longest lag of the bins' noise correlation looked at [bins]: 3 cm, beyond the range of
// most secondary electrons of a 15 MV beam.
constexpr int kCorrelationMaxLag = 30;
// Bins before the far face left out of the fall-off: the dose drops there for want of
// backscatter, which no smooth line through the fall-off follows.
constexpr int kExitFaceBins = 20;

int LastBin(std::span<const double> dose) { return static_cast<int>(dose.size()) - 1; }

// Least-squares polynomial of degree N (coefficients c0..cN) by Gaussian elimination with
// partial pivoting on the normal equations; nothing when they are singular.
template <int N>
std::optional<std::array<double, N + 1>> PolyFit(const std::vector<double>& xs,
                                                 const std::vector<double>& ys) {
  constexpr int n = N + 1;
  std::array<std::array<double, n + 1>, n> m{};
  for (int i = 0; i < n; ++i) {
    for (int k = 0; k < n; ++k) {
      double s = 0;
      for (double x : xs) s += std::pow(x, i + k);
      m[i][k] = s;
    }
    double s = 0;
    for (std::size_t p = 0; p < xs.size(); ++p) s += ys[p] * std::pow(xs[p], i);
    m[i][n] = s;
  }
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int r = col + 1; r < n; ++r)
      if (std::abs(m[r][col]) > std::abs(m[pivot][col])) pivot = r;
    if (m[pivot][col] == 0) return std::nullopt;
    std::swap(m[col], m[pivot]);
    for (int r = 0; r < n; ++r) {
      if (r == col) continue;
      const double f = m[r][col] / m[col][col];
      for (int k = 0; k <= n; ++k) m[r][k] -= f * m[col][k];
    }
  }
  std::array<double, n> c{};
  for (int i = 0; i < n; ++i) c[i] = m[i][n] / m[i][i];
  return c;
}

double Cubic(const std::array<double, 4>& c, double x) {
  return c[0] + x * (c[1] + x * (c[2] + x * c[3]));
}

}  // namespace

std::vector<double> RunningMean(std::span<const double> values, int half_width) {
  const int n = static_cast<int>(values.size());
  std::vector<double> out(values.size(), 0.0);
  for (int i = 0; i < n; ++i) {
    const int h = std::min({half_width, i, n - 1 - i});
    double sum = 0;
    for (int k = i - h; k <= i + h; ++k) sum += values[static_cast<std::size_t>(k)];
    out[static_cast<std::size_t>(i)] = sum / (2 * h + 1);
  }
  return out;
}

double LogLinearDoseAt(std::span<const double> dose, int j, double depth_cm) {
  if (j - kLogFitHalfBins < 1 || j + kLogFitHalfBins > LastBin(dose)) return 0;
  std::vector<double> xs, ys;
  for (int k = j - kLogFitHalfBins; k <= j + kLogFitHalfBins; ++k) {
    if (!(dose[k] > 0)) return 0;
    xs.push_back(DepthBinCentreCm(k) - DepthBinCentreCm(j));
    ys.push_back(std::log(dose[k]));
  }
  const auto c = PolyFit<1>(xs, ys);
  if (!c) return 0;
  return std::exp((*c)[0] + (*c)[1] * (depth_cm - DepthBinCentreCm(j)));
}

std::vector<double> BinNoiseCorrelation(std::span<const double> dose, int first_bin, int last_bin) {
  first_bin = std::max(first_bin, 1);
  last_bin = std::min(last_bin, LastBin(dose));
  std::vector<double> xs, ys;
  const double x_ref = DepthBinCentreCm((first_bin + last_bin) / 2);
  for (int j = first_bin; j <= last_bin; ++j) {
    if (!(dose[j] > 0)) return {1.0};
    xs.push_back(DepthBinCentreCm(j) - x_ref);
    ys.push_back(std::log(dose[j]));
  }
  const int n = static_cast<int>(xs.size());
  if (n < 4 * kCorrelationMaxLag) return {1.0};
  // ln D of the fall-off is a gently bending line (the beam hardens with depth): a cubic
  // takes the bend, and what is left over is the noise.
  const auto c = PolyFit<3>(xs, ys);
  if (!c) return {1.0};
  std::vector<double> e(static_cast<std::size_t>(n));
  for (int p = 0; p < n; ++p) e[static_cast<std::size_t>(p)] = ys[p] - Cubic(*c, xs[p]);
  const auto lag_mean = [&](int lag) {
    double s = 0;
    for (int p = 0; p + lag < n; ++p)
      s += e[static_cast<std::size_t>(p)] * e[static_cast<std::size_t>(p + lag)];
    return s / (n - lag);
  };
  const double variance = lag_mean(0);
  if (!(variance > 0)) return {1.0};
  // Lags up to the first that is not clearly above the estimate's own noise (two standard
  // errors of a correlation from n values): beyond it the sums would only add noise.
  const double floor = 2.0 / std::sqrt(static_cast<double>(n));
  std::vector<double> rho{1.0};
  for (int lag = 1; lag <= kCorrelationMaxLag; ++lag) {
    const double r = lag_mean(lag) / variance;
    if (!(r > floor)) break;
    rho.push_back(r);
  }
  return rho;
}

double DmaxUncertaintyCm(std::span<const double> dose, const DoseMaximum& maximum) {
  constexpr int kNoiseHalfBins = 10;  // the cubic that measures the noise: 1 cm either side
  const int bins = std::min(kFitBins, LastBin(dose));
  const int peak = static_cast<int>(maximum.depth_cm / kBinCm) + 1;
  if (!(maximum.depth_cm > 0) || !(maximum.dose > 0) || peak - kNoiseHalfBins < 1 ||
      peak + kNoiseHalfBins > bins)
    return -1;
  // The noise about the maximum: the scatter about a cubic is smaller than the noise when
  // neighbours move together (the cubic follows part of it): E[rss] = sigma^2 tr((I - H) R),
  // with H the cubic's hat matrix and R the correlation. Column q of H R is the cubic fitted
  // to column q of R.
  const std::vector<double> rho =
      BinNoiseCorrelation(dose, bins + kCorrelationMaxLag / 2, LastBin(dose) - kExitFaceBins);
  const auto correlation = [&](int p, int q) {
    const auto lag = static_cast<std::size_t>(std::abs(p - q));
    return lag < rho.size() ? rho[lag] : 0.0;
  };
  std::vector<double> xs, ys;
  for (int j = peak - kNoiseHalfBins; j <= peak + kNoiseHalfBins; ++j) {
    xs.push_back(DepthBinCentreCm(j) - DepthBinCentreCm(peak));
    ys.push_back(dose[j]);
  }
  const auto c = PolyFit<3>(xs, ys);
  if (!c) return -1;
  const int m = static_cast<int>(xs.size());
  double rss = 0;
  for (int p = 0; p < m; ++p) rss += std::pow(ys[p] - Cubic(*c, xs[p]), 2);
  double trace = 0;
  std::vector<double> column(static_cast<std::size_t>(m));
  for (int q = 0; q < m; ++q) {
    for (int p = 0; p < m; ++p) column[p] = correlation(p, q);
    const auto cq = PolyFit<3>(xs, column);
    if (!cq) return -1;
    trace += column[q] - Cubic(*cq, xs[q]);
  }
  if (!(trace > 0)) return -1;
  const double noise = std::sqrt(rss / trace);
  if (!(noise > 0)) return 0;
  // The fitted depth's derivative with respect to each bin, from the model linearised about
  // the fit (Gauss-Newton): d(depth)/dy = J (J^T J)^-1 grad(depth), J the model's derivatives
  // by A, B, mu and beta at the bins.
  const std::vector<double> values(dose.begin() + 1, dose.begin() + 1 + bins);
  const FittedMaximum top = FitMaximum(values, kBinCm);
  if (!(top.value > 0) || !(top.depth_cm > 0)) return -1;
  const double a = top.a, b = top.b, mu = top.mu, beta = top.beta;
  std::vector<std::array<double, 4>> jacobian(static_cast<std::size_t>(bins));
  std::array<std::array<double, 5>, 4> normal{};
  for (int p = 0; p < bins; ++p) {
    const double z = DepthBinCentreCm(p + 1);
    const double e1 = std::exp(-mu * z), e2 = std::exp(-(mu + beta) * z);
    jacobian[p] = {e1, -e2, -z * a * e1 + z * b * e2, z * b * e2};
    for (int i = 0; i < 4; ++i)
      for (int k = 0; k < 4; ++k) normal[i][k] += jacobian[p][i] * jacobian[p][k];
  }
  const double ratio = b * (mu + beta) / (a * mu);
  const std::array<double, 4> depth_by = {
      -1 / (a * beta), 1 / (b * beta), (1 / (mu + beta) - 1 / mu) / beta,
      1 / ((mu + beta) * beta) - std::log(ratio) / (beta * beta)};
  for (int i = 0; i < 4; ++i) normal[i][4] = depth_by[i];
  // (J^T J) t = grad(depth), by Gaussian elimination with partial pivoting.
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r)
      if (std::abs(normal[r][col]) > std::abs(normal[pivot][col])) pivot = r;
    if (normal[pivot][col] == 0) return -1;
    std::swap(normal[col], normal[pivot]);
    for (int r = 0; r < 4; ++r) {
      if (r == col) continue;
      const double f = normal[r][col] / normal[col][col];
      for (int k = col; k < 5; ++k) normal[r][k] -= f * normal[col][k];
    }
  }
  std::array<double, 4> t{};
  for (int i = 0; i < 4; ++i) t[i] = normal[i][4] / normal[i][i];
  std::vector<double> gradient(static_cast<std::size_t>(bins));
  std::vector<double> sigma(static_cast<std::size_t>(bins));
  for (int p = 0; p < bins; ++p) {
    for (int i = 0; i < 4; ++i) gradient[p] += jacobian[p][i] * t[i];
    sigma[p] = noise * std::sqrt(std::max(0.0, values[p]) / maximum.dose);
  }
  double variance = 0;
  for (int p = 0; p < bins; ++p)
    for (int q = std::max(0, p - static_cast<int>(rho.size()) + 1);
         q < std::min(bins, p + static_cast<int>(rho.size())); ++q)
      variance += gradient[p] * gradient[q] * correlation(p, q) * sigma[p] * sigma[q];
  return std::sqrt(std::max(0.0, variance));
}

DoseMaximum FitDoseMaximum(std::span<const double> dose) {
  const int bins = std::min(kFitBins, LastBin(dose));
  if (bins < 4) return {};
  const std::vector<double> values(dose.begin() + 1, dose.begin() + 1 + bins);
  const FittedMaximum top = FitMaximum(values, kBinCm);
  DoseMaximum result;
  if (!(top.value > 0)) return result;
  result.depth_cm = top.depth_cm;
  result.dose = top.value;
  result.window_first_cm = DepthBinCentreCm(1);
  result.window_last_cm = DepthBinCentreCm(bins);
  return result;
}

double FittedSurfaceKerma(std::span<const double> kerma) {
  constexpr int kFitBins = 50;  // the first 5 cm, where the result file takes its maximum
  if (LastBin(kerma) < kFitBins) return 0;
  std::vector<double> xs, ys;
  for (int k = 1; k <= kFitBins; ++k) {
    if (!(kerma[k] > 0)) return 0;
    xs.push_back(DepthBinCentreCm(k));
    ys.push_back(std::log(kerma[k]));
  }
  const auto c = PolyFit<1>(xs, ys);
  return c ? std::exp((*c)[0] + (*c)[1] * DepthBinCentreCm(1)) : 0;
}

double Tpr2010(std::span<const double> dose_10x10) {
  const double d10 = LogLinearDoseAt(dose_10x10, kBin10cm, DepthBinCentreCm(kBin10cm));
  const double d20 = LogLinearDoseAt(dose_10x10, kBin20cm, DepthBinCentreCm(kBin20cm));
  return d10 > 0 ? d20 / d10 : 0;
}

double BootstrapSigma(int groups, const std::function<double(std::span<const int>)>& estimate) {
  std::uint64_t state = 0x5EEDull;  // SplitMix64
  const auto next = [&state] {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  };
  std::vector<int> picks(static_cast<std::size_t>(groups));
  double sum = 0, squares = 0;
  for (int r = 0; r < kBootstrapResamples; ++r) {
    for (int& p : picks) p = static_cast<int>(next() % static_cast<std::uint64_t>(groups));
    const double value = estimate(picks);
    if (value < 0) return -1;
    sum += value;
    squares += value * value;
  }
  const double mean = sum / kBootstrapResamples;
  return std::sqrt(
      std::max(0.0, (squares - kBootstrapResamples * mean * mean) / (kBootstrapResamples - 1)));
}

CurveMetrics MeasureCurve(std::span<const double> dose) {
  CurveMetrics m;
  m.maximum = FitDoseMaximum(dose);
  if (m.maximum.dose > 0) {
    m.surface_ratio = dose[1] / m.maximum.dose;
    const int bins = std::min(LastBin(dose), static_cast<int>(kBuildUpSurfaceCm / kBinCm + 0.5));
    double sum = 0;
    for (int j = 1; j <= bins; ++j) sum += dose[j];
    m.build_up_ratio = sum / bins / m.maximum.dose;
    m.d10_ratio = LogLinearDoseAt(dose, kBin10cm, 10.0) / m.maximum.dose;
  }
  return m;
}

}  // namespace dosavia

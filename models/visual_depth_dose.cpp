#include "models/visual_depth_dose.h"

#include <algorithm>
#include <numbers>

#include "models/curve_metrics.h"

namespace dosavia {

namespace {

// 1 keV per gram of water in gray, times 10^12 for pGy.
constexpr double kPicoGrayPerKeVPerGram = 1.602176634e-13 * 1e12;
// Fine slabs per shown bin, finest last; 0.5 cm is the coarsest.
constexpr int kSlabsPerBin[] = {5, 3, 2, 1};
// Largest relative noise of the bin at the maximum for a finer binning.
constexpr double kFinerBinNoise = 0.03;

// The tallied quantities.
enum class Tallied { kDose, kPrimaryDose, kKerma };

double GroupSum(const VisualDepthDose& tally, Tallied what, int g, int first, int count) {
  double s = 0;
  for (int k = first; k < first + count && k < kDepthDoseBins; ++k)
    s += what == Tallied::kKerma         ? tally.GroupKerma(g, k)
         : what == Tallied::kPrimaryDose ? tally.GroupPrimaryDose(g, k)
                                         : tally.GroupDose(g, k);
  return s;
}

double Sum(const VisualDepthDose& tally, Tallied what, int first, int count) {
  double s = 0;
  for (int g = 0; g < kDepthDoseGroups; ++g) s += GroupSum(tally, what, g, first, count);
  return s;
}

// Index of the bin whose mean with its two neighbours is highest, so that one noisy bin on
// a broad peak does not take the lead.
int HighestSmoothedBin(const std::vector<double>& v) {
  const std::vector<double> smooth = RunningMean(v, 1);
  return static_cast<int>(std::max_element(smooth.begin(), smooth.end()) - smooth.begin());
}

}  // namespace

double ScoringRadius(double field_side) { return 0.25 * field_side; }

void VisualDepthDose::Clear(double field_side) {
  field_side_ = field_side;
  radius_ = ScoringRadius(field_side);
  radius2_ = radius_ * radius_;
  histories_ = 0;
  group_ = 0;
  for (auto& g : dose_) g.fill(0);
  for (auto& g : primary_) g.fill(0);
  for (auto& g : kerma_) g.fill(0);
}

void VisualDepthDose::SetLayers(const SlabLayers<double>* layers) {
  per_mass_ = WaterBins();
  if (layers == nullptr) return;
  constexpr double kBinCm = 1.0 / kDepthDoseBinsPerCm;
  for (int k = 0; k < kDepthDoseBins; ++k) {
    // The bin's mass per cm^2 over its depth: layers' faces need not fall on the bins'.
    const double top = k * kBinCm;
    const double bottom = top + kBinCm;
    double mass = 0;
    for (int j = 0; j < layers->count; ++j) {
      const auto u = static_cast<std::size_t>(j);
      const double overlap = std::min(bottom, static_cast<double>(layers->z[u + 1])) -
                             std::max(top, static_cast<double>(layers->z[u]));
      if (overlap > 0) mass += overlap * layers->mass_density[u];
    }
    if (mass > 0) per_mass_[static_cast<std::size_t>(k)] = kBinCm / mass;
  }
}

double DosePerFluence(double kev, double volume_cm3, double photons, double field_area_cm2) {
  if (!(volume_cm3 > 0) || !(photons > 0)) return 0;
  return kev / volume_cm3 * kPicoGrayPerKeVPerGram * field_area_cm2 / photons;
}

double RelativeNoise(const VisualDepthDose& tally, int first, int count) {
  if (tally.Histories() < 2 * kDepthDoseGroups) return -1;
  std::array<double, kDepthDoseGroups> s{};
  double total = 0;
  for (int g = 0; g < kDepthDoseGroups; ++g) {
    s[static_cast<std::size_t>(g)] = GroupSum(tally, Tallied::kDose, g, first, count);
    total += s[static_cast<std::size_t>(g)];
  }
  if (!(total > 0)) return -1;
  const double mean = total / kDepthDoseGroups;
  double squares = 0;
  for (double x : s) squares += (x - mean) * (x - mean);
  // The total is the sum of the groups: its variance is G times the groups' variance.
  const double variance = kDepthDoseGroups * squares / (kDepthDoseGroups - 1);
  return std::sqrt(variance) / total;
}

double ChooseBinWidth(const VisualDepthDose& tally) {
  double width = static_cast<double>(kSlabsPerBin[0]) / kDepthDoseBinsPerCm;
  std::vector<double> coarse(kDepthDoseBins / kSlabsPerBin[0]);
  for (std::size_t i = 0; i < coarse.size(); ++i)
    coarse[i] = Sum(tally, Tallied::kDose, static_cast<int>(i) * kSlabsPerBin[0], kSlabsPerBin[0]);
  const int peak = HighestSmoothedBin(coarse);
  const double noise = RelativeNoise(tally, peak * kSlabsPerBin[0], kSlabsPerBin[0]);
  if (noise < 0) return width;
  // Noise grows as the square root of the number of slabs given up.
  for (int slabs : kSlabsPerBin) {
    if (noise * std::sqrt(static_cast<double>(kSlabsPerBin[0]) / slabs) <= kFinerBinNoise)
      width = static_cast<double>(slabs) / kDepthDoseBinsPerCm;
  }
  return width;
}

FittedMaximum FitMaximum(const std::vector<double>& values, double bin_cm) {
  constexpr int kGrid = 48;
  // Ranges of the attenuation mu and the build-up rate beta [1/cm], searched on log grids.
  constexpr double kMu[] = {0.005, 0.2};
  constexpr double kBeta[] = {0.2, 20.0};
  std::vector<double> z;
  std::vector<double> y;
  for (std::size_t i = 0; i < values.size() && (i + 0.5) * bin_cm <= kDoseFitDepthCm; ++i) {
    z.push_back((i + 0.5) * bin_cm);
    y.push_back(values[i]);
  }
  if (z.size() < 4) return {};

  // For fixed mu and beta the model is linear in A and B: solve their normal equations.
  // e1 and e2 hold e^(-mu z) and e^(-beta z) at the bin centres.
  struct Fit {
    double residual = -1, mu = 0, beta = 0, a = 0, b = 0;
  };
  const std::size_t m = z.size();
  std::vector<double> e1(m), e2(m);
  const auto solve = [&](double mu, double beta) {
    double s11 = 0, s12 = 0, s22 = 0, t1 = 0, t2 = 0;
    for (std::size_t i = 0; i < m; ++i) {
      const double f1 = e1[i];
      const double f2 = -e1[i] * e2[i];
      s11 += f1 * f1;
      s12 += f1 * f2;
      s22 += f2 * f2;
      t1 += f1 * y[i];
      t2 += f2 * y[i];
    }
    Fit fit;
    const double det = s11 * s22 - s12 * s12;
    if (!(std::abs(det) > 0)) return fit;
    fit.a = (t1 * s22 - t2 * s12) / det;
    fit.b = (s11 * t2 - s12 * t1) / det;
    if (!(fit.a > 0) || fit.b < 0 || fit.b > fit.a) return fit;
    double r = 0;
    for (std::size_t i = 0; i < m; ++i) {
      const double d = y[i] - fit.a * e1[i] + fit.b * e1[i] * e2[i];
      r += d * d;
    }
    fit.residual = r;
    fit.mu = mu;
    fit.beta = beta;
    return fit;
  };
  // A coarse log grid, then a finer one around its best point.
  Fit best;
  double mu_lo = kMu[0], mu_hi = kMu[1], beta_lo = kBeta[0], beta_hi = kBeta[1];
  for (int pass = 0; pass < 2; ++pass) {
    const double mu_step = std::log(mu_hi / mu_lo) / (kGrid - 1);
    const double beta_step = std::log(beta_hi / beta_lo) / (kGrid - 1);
    std::vector<double> beta_exp(kGrid * m);
    for (int j = 0; j < kGrid; ++j)
      for (std::size_t k = 0; k < m; ++k)
        beta_exp[j * m + k] = std::exp(-beta_lo * std::exp(j * beta_step) * z[k]);
    for (int i = 0; i < kGrid; ++i) {
      const double mu = mu_lo * std::exp(i * mu_step);
      for (std::size_t k = 0; k < m; ++k) e1[k] = std::exp(-mu * z[k]);
      for (int j = 0; j < kGrid; ++j) {
        std::copy_n(beta_exp.begin() + static_cast<std::ptrdiff_t>(j * m), m, e2.begin());
        const Fit fit = solve(mu, beta_lo * std::exp(j * beta_step));
        if (fit.residual >= 0 && (best.residual < 0 || fit.residual < best.residual)) best = fit;
      }
    }
    if (best.residual < 0) return {};
    mu_lo = best.mu * std::exp(-mu_step);
    mu_hi = best.mu * std::exp(mu_step);
    beta_lo = best.beta * std::exp(-beta_step);
    beta_hi = best.beta * std::exp(beta_step);
  }
  // Newton's method on the residual over (ln mu, ln beta) from the grid's best point, within
  // its cell: the grid alone would make the maximum a step function of the bins, and the
  // jackknife over the history groups, whose leave-one-out fits differ by less than a step,
  // would see the steps rather than the noise.
  const auto at = [&](double u, double v) {
    const double mu = std::exp(u), beta = std::exp(v);
    for (std::size_t k = 0; k < m; ++k) {
      e1[k] = std::exp(-mu * z[k]);
      e2[k] = std::exp(-beta * z[k]);
    }
    return solve(mu, beta);
  };
  const double cell_u = std::log(mu_hi / mu_lo) / 2, cell_v = std::log(beta_hi / beta_lo) / 2;
  const double u0 = std::log(best.mu), v0 = std::log(best.beta);
  double u = u0, v = v0;
  constexpr double kNewtonStep = 1e-3;  // of the finite differences [in ln mu and ln beta]
  for (int iteration = 0; iteration < 12; ++iteration) {
    double r[3][3];
    bool inside = true;
    for (int i = 0; i < 3 && inside; ++i)
      for (int j = 0; j < 3 && inside; ++j) {
        r[i][j] = at(u + (i - 1) * kNewtonStep, v + (j - 1) * kNewtonStep).residual;
        inside = r[i][j] >= 0;
      }
    if (!inside) break;
    const double h2 = kNewtonStep * kNewtonStep;
    const double gu = (r[2][1] - r[0][1]) / (2 * kNewtonStep);
    const double gv = (r[1][2] - r[1][0]) / (2 * kNewtonStep);
    const double huu = (r[2][1] - 2 * r[1][1] + r[0][1]) / h2;
    const double hvv = (r[1][2] - 2 * r[1][1] + r[1][0]) / h2;
    const double huv = (r[2][2] - r[2][0] - r[0][2] + r[0][0]) / (4 * h2);
    const double det = huu * hvv - huv * huv;
    if (!(huu > 0) || !(det > 0)) break;
    const double du = -(hvv * gu - huv * gv) / det;
    const double dv = -(huu * gv - huv * gu) / det;
    const double nu = std::clamp(u + du, u0 - cell_u, u0 + cell_u);
    const double nv = std::clamp(v + dv, v0 - cell_v, v0 + cell_v);
    const Fit moved = at(nu, nv);
    if (!(moved.residual >= 0) || moved.residual > best.residual) break;
    best = moved;
    const bool converged = std::abs(nu - u) < 1e-9 && std::abs(nv - v) < 1e-9;
    u = nu;
    v = nv;
    if (converged) break;
  }
  // dD/dz = 0 where B (mu + beta) e^(-beta z) = A mu; no root: the maximum is at the surface.
  const double ratio = best.b * (best.mu + best.beta) / (best.a * best.mu);
  const double depth = ratio > 1 ? std::log(ratio) / best.beta : 0.0;
  FittedMaximum top{depth, 0, best.a, best.b, best.mu, best.beta};
  top.value = top.At(depth);
  return top;
}

FittedKerma FitKerma(const std::vector<double>& values, double bin_cm) {
  double sw = 0, sz = 0, sy = 0, szz = 0, szy = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (!(values[i] > 0)) continue;
    const double w = values[i];
    const double z = (i + 0.5) * bin_cm;
    const double y = std::log(values[i]);
    sw += w;
    sz += w * z;
    sy += w * y;
    szz += w * z * z;
    szy += w * z * y;
  }
  const double det = sw * szz - sz * sz;
  if (!(det > 0)) return {};
  const double slope = (sw * szy - sz * sy) / det;
  return {std::exp((sy - slope * sz) / sw), -slope};
}

DepthDoseCurve MakeDepthDoseCurve(const VisualDepthDose& tally, double bin_cm) {
  DepthDoseCurve curve;
  curve.photons = tally.Histories();
  curve.bin_cm = bin_cm > 0 ? bin_cm : ChooseBinWidth(tally);
  const int slabs = SlabsPerBin(curve.bin_cm);
  const int bins = kDepthDoseBins / slabs;
  const double volume = std::numbers::pi * tally.Radius() * tally.Radius() * curve.bin_cm;
  const double area = tally.FieldSide() * tally.FieldSide();
  const auto per_fluence = [&](double kev) {
    return DosePerFluence(kev, volume, static_cast<double>(curve.photons), area);
  };
  std::vector<double> dose(static_cast<std::size_t>(bins));
  std::vector<double> primary(static_cast<std::size_t>(bins));
  std::vector<double> kerma(static_cast<std::size_t>(bins));
  for (int i = 0; i < bins; ++i) {
    const auto b = static_cast<std::size_t>(i);
    dose[b] = per_fluence(Sum(tally, Tallied::kDose, i * slabs, slabs));
    primary[b] = per_fluence(Sum(tally, Tallied::kPrimaryDose, i * slabs, slabs));
    kerma[b] = per_fluence(Sum(tally, Tallied::kKerma, i * slabs, slabs));
  }
  std::vector<double> fit_bins(static_cast<std::size_t>(FitBinCount()));
  const int fit_slabs = SlabsPerBin(kMaximumFitBinCm);
  const double fit_volume = std::numbers::pi * tally.Radius() * tally.Radius() * kMaximumFitBinCm;
  for (std::size_t i = 0; i < fit_bins.size(); ++i)
    fit_bins[i] =
        DosePerFluence(Sum(tally, Tallied::kDose, static_cast<int>(i) * fit_slabs, fit_slabs),
                       fit_volume, static_cast<double>(curve.photons), area);
  const FittedMaximum top = FitMaximum(fit_bins, kMaximumFitBinCm);
  curve.has_maximum = top.value > 0;
  const double scale = curve.has_maximum ? 100.0 / top.value : 0.0;
  for (double& v : dose) v *= scale;
  for (double& v : primary) v *= scale;
  for (double& v : kerma) v *= scale;
  if (curve.has_maximum) {
    curve.dose_fit = [top, scale](double z) { return scale * top.At(z); };
    const FittedKerma k = FitKerma(kerma, curve.bin_cm);
    if (k.surface > 0) curve.kerma_fit = [k](double z) { return k.At(z); };
  }
  curve.dose = std::move(dose);
  curve.primary = std::move(primary);
  curve.kerma = std::move(kerma);
  if (curve.has_maximum) {
    curve.d_max_cm = top.depth_cm;
    curve.d_max_dose = top.value;
    const int at = std::clamp(static_cast<int>(top.depth_cm / curve.bin_cm), 0, bins - 1);
    curve.noise_at_max = RelativeNoise(tally, at * slabs, slabs);
  }
  return curve;
}

}  // namespace dosavia

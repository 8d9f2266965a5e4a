#include "models/depth_probe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "models/curve_table.h"

namespace dosavia {

namespace {

// `value` to `decimals` decimals with a decimal point whatever the locale (zero and negative
// values too: a scatter dose near the surface may be 0.0).
std::string Decimal(double value, int decimals) {
  char buffer[48];
  const int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
  // The C library's "%f" may follow the locale's decimal comma.
  for (char& c : text)
    if (c == ',') c = '.';
  return text;
}

std::string ValueText(const ProbedValue& v) {
  std::string text = Decimal(v.percent, 1);
  if (v.sigma_percent >= 0) text += " ± " + Decimal(std::max(v.sigma_percent, 0.1), 1);
  return text;
}

}  // namespace

int ProbedDepthBin(double depth_cm) {
  if (!std::isfinite(depth_cm) || depth_cm < 0 || depth_cm >= kDepthBins / 10.0) return 0;
  return std::min(kDepthBins, 1 + static_cast<int>(std::floor(depth_cm * 10.0)));
}

ProbedSet ProbeCurveSet(const ResultTables& tables, int field, int bin,
                        const RunStatistics* statistics) {
  ProbedSet set;
  if (bin < 1 || bin > kDepthBins || field < 1 || field > kFieldColumns) return set;
  const double scale = 100.0 * DisplayScale(tables);
  set.total.percent = scale * tables.DoseTable[kTotalDose][field][bin];
  set.primary.percent = scale * tables.DoseTable[kPrimaryDose][field][bin];
  set.scatter.percent = scale * tables.DoseTable[kScatterDose][field][bin];
  set.kerma.percent = scale * tables.Kerma[bin];
  // The groups' spread measures the result only when there are groups enough, each of
  // photons enough, and a curve's u is kept only where the run made it (a missing one is 0).
  if (statistics == nullptr || statistics->groups < 2 ||
      statistics->histories < kFewestMeasuredHistories)
    return set;
  const auto sigma = [&](int curve) {
    const double u = statistics->u[curve][bin];
    return std::isfinite(u) && u > 0 ? scale * u : -1.0;
  };
  set.total.sigma_percent = sigma(field);
  set.primary.sigma_percent = sigma(kFields + field);
  set.kerma.sigma_percent = sigma(RunStatistics::kKerma);
  return set;
}

std::string DepthProbeHeading(int bin, bool english) {
  return (english ? "depth " : "深さ ") + Decimal(ProbedDepthCm(bin), 2) + " cm";
}

std::string DepthProbeValues(const ProbedSet& set, bool english) {
  const char* const total = english ? "total " : "全 ";
  const char* const primary = english ? "  primary " : "  一次 ";
  const char* const scatter = english ? "  scatter " : "  散乱 ";
  return total + ValueText(set.total) + primary + ValueText(set.primary) + scatter +
         ValueText(set.scatter) + " [%]";
}

}  // namespace dosavia

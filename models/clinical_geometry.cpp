#include "models/clinical_geometry.h"

#include <cmath>
#include <stdexcept>

#include "engine/beam_geometry.h"
#include "models/curve_metrics.h"

namespace dosavia {

double FieldSideAtDepthCm(double surface_side_cm, double ssd_cm, double depth_cm) {
  return surface_side_cm * (ssd_cm + depth_cm) / ssd_cm;
}

double InterpolatedFieldDose(const ResultTables& parallel, int component, double side_cm, int bin) {
  const auto& columns = parallel.DoseTable[component];
  if (!(side_cm > kFieldSideCm[1])) return columns[1][bin];
  if (!(side_cm < kFieldSideCm[kFields])) return columns[kFields][bin];
  int upper = 2;
  while (kFieldSideCm[upper] < side_cm) ++upper;
  const double a = kFieldSideCm[upper - 1];
  const double b = kFieldSideCm[upper];
  const double t = (side_cm - a) / (b - a);
  return (1 - t) * columns[upper - 1][bin] + t * columns[upper][bin];
}

std::unique_ptr<ResultTables> ClinicalGeometryTables(const ResultTables& parallel, double ssd_cm) {
  if (!(ssd_cm > 0 && std::isfinite(ssd_cm)))
    throw std::invalid_argument("the SSD must be a positive number of centimetres");
  auto clinical = std::make_unique<ResultTables>();
  for (int i = 1; i <= kDepthBins; ++i) {
    const double depth = DepthBinCentreCm(i);
    const double fall = ssd_cm / (ssd_cm + depth);
    const double inverse_square = fall * fall;
    clinical->Kerma[i] = parallel.Kerma[i] * inverse_square;
    for (int j = 1; j <= kFieldColumns; ++j) {
      const double side = FieldSideAtDepthCm(kFieldSideCm[j], ssd_cm, depth);
      // Total as primary plus scatter, as the file's reading forms it.
      const double primary =
          InterpolatedFieldDose(parallel, kPrimaryDose, side, i) * inverse_square;
      const double scatter =
          InterpolatedFieldDose(parallel, kScatterDose, side, i) * inverse_square;
      clinical->DoseTable[kPrimaryDose][j][i] = primary;
      clinical->DoseTable[kScatterDose][j][i] = scatter;
      clinical->DoseTable[kTotalDose][j][i] = primary + scatter;
    }
  }
  return clinical;
}

std::vector<double> ClinicalPercentDepthDose(const ResultTables& parallel, int field,
                                             double ssd_cm) {
  const auto clinical = ClinicalGeometryTables(parallel, ssd_cm);
  const auto& dose = clinical->DoseTable[kTotalDose][field];
  const double maximum = FitDoseMaximum(dose).dose;
  std::vector<double> percent(dose.begin(), dose.end());
  percent[0] = 0;
  if (maximum > 0)
    for (double& v : percent) v *= 100 / maximum;
  return percent;
}

}  // namespace dosavia

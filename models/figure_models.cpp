#include "models/figure_models.h"

#include <algorithm>
#include <cstdlib>

namespace dosavia {

std::vector<double> ModelKerma(int volumes, double first, double transmission) {
  std::vector<double> kerma;
  double k = first;
  for (int i = 0; i < volumes; ++i) {
    kerma.push_back(k);
    k *= transmission;
  }
  return kerma;
}

std::vector<double> ModelDose(const std::vector<double>& kerma, int range) {
  std::vector<double> dose(kerma.size(), 0.0);
  for (std::size_t i = 0; i < kerma.size(); ++i)
    for (int k = 0; k < range && i + static_cast<std::size_t>(k) < kerma.size(); ++k)
      dose[i + static_cast<std::size_t>(k)] += kerma[i] / range;
  return dose;
}

double LateralCentralDose(int field_volumes, double kerma, int reach) {
  const double share = kerma / 2 / reach;
  const int half = field_volumes / 2;
  double dose = 0;
  for (int offset = -half; offset <= half; ++offset) {
    if (offset == 0)
      dose += 2 * share;
    else if (std::abs(offset) < reach)
      dose += share;
  }
  return dose;
}

DoseMaximum CurveMaximum(const std::vector<double>& dose) {
  std::vector<double> bins(dose.size() + 1, 0.0);  // bin j at element j, as the engine counts
  std::copy(dose.begin(), dose.end(), bins.begin() + 1);
  return FindDoseMaximum(bins);
}

std::vector<double> TissueMaximumRatio(const DepthDoseCurves& curves, int column) {
  const std::vector<double>& dose = curves.dose[static_cast<std::size_t>(column)];
  const double maximum = CurveMaximum(dose).dose;
  if (!(maximum > 0)) return {};
  std::vector<double> tmr(dose.size());
  for (std::size_t i = 0; i < dose.size(); ++i) tmr[i] = dose[i] / maximum;
  return tmr;
}

}  // namespace dosavia

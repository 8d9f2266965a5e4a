#include "models/figure_models.h"

#include <algorithm>
#include <cstdlib>

#include "records/number_text.h"

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
  // Electrons that do not move drop their energy where they were set in motion; a range
  // below one volume must not lose it.
  range = std::max(range, 1);
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
  return FitDoseMaximum(bins);
}

std::optional<DepthDoseCurves> ParseDepthDoseCurves(std::string_view text) {
  constexpr std::size_t kNumbersPerLine = 12;
  const auto is_space = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
  };
  DepthDoseCurves curves;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    while (!line.empty() && is_space(line.front())) line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;
    std::array<double, kNumbersPerLine> numbers{};
    std::size_t count = 0;
    while (!line.empty()) {
      std::size_t length = 0;
      while (length < line.size() && !is_space(line[length])) ++length;
      if (count == kNumbersPerLine) return std::nullopt;
      double value = 0;
      if (!ParseReal(line.substr(0, length), value)) return std::nullopt;
      numbers[count++] = value;
      line.remove_prefix(length);
      while (!line.empty() && is_space(line.front())) line.remove_prefix(1);
    }
    if (count != kNumbersPerLine) return std::nullopt;
    // How far a stored depth may lie from its bin centre: the file gives two decimals [cm].
    constexpr double kDepthTolerance = 1e-6;
    if (std::abs(numbers[0] - DepthBinCentreCm(static_cast<int>(curves.depth_cm.size()) + 1)) >
        kDepthTolerance)
      return std::nullopt;
    curves.depth_cm.push_back(numbers[0]);
    curves.kerma.push_back(numbers[1]);
    for (std::size_t f = 0; f < curves.dose.size(); ++f) curves.dose[f].push_back(numbers[2 + f]);
  }
  if (curves.depth_cm.size() < kMinimumCurveDepths) return std::nullopt;
  return curves;
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

#include "models/interface_curves.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "engine/beam_geometry.h"
#include "engine/phantom_file.h"
#include "models/curve_metrics.h"
#include "models/phantom_bands.h"
#include "models/phantom_presets.h"
#include "records/number_text.h"

namespace dosavia {

namespace {

// Fig.10: the lung slab at 15 MV, where a narrow field loses most; Fig.11: the air gap at the
// same energy; Fig.12: bone and a bolus at 6 MV, where bone's lower dose per mass and the
// bolus's shift of the build-up are not hidden by a long electron range.
constexpr InterfaceCurveKey kLungCurves[] = {{"lung", 1}, {"lung", 10}};
constexpr InterfaceCurveKey kAirCurves[] = {{"air", 1}, {"air", 10}};
constexpr InterfaceCurveKey kBoneBolusCurves[] = {{"bone", 10}, {"bolus", 10}};
constexpr InterfaceFigure kFigures[] = {
    {PageFigure::kLungSlab, 15, kLungCurves},
    {PageFigure::kAirGap, 15, kAirCurves},
    {PageFigure::kBoneAndBolus, 6, kBoneBolusCurves},
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The words of a line, split at blanks.
std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  while (!line.empty()) {
    while (!line.empty() && IsSpace(line.front())) line.remove_prefix(1);
    std::size_t length = 0;
    while (length < line.size() && !IsSpace(line[length])) ++length;
    if (length > 0) words.push_back(line.substr(0, length));
    line.remove_prefix(length);
  }
  return words;
}

}  // namespace

std::span<const InterfaceFigure> InterfaceFigures() { return kFigures; }

const InterfaceFigure* FindInterfaceFigure(PageFigure figure) {
  for (const InterfaceFigure& f : kFigures)
    if (f.figure == figure) return &f;
  return nullptr;
}

std::string InterfaceCurveName(std::string_view phantom, int energy_mv, int side_cm) {
  return std::string(phantom) + "/" + std::to_string(energy_mv) + "/" + std::to_string(side_cm);
}

std::vector<std::string> InterfaceCurveNames() {
  std::vector<std::string> names;
  const auto add = [&](std::string name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  };
  for (const InterfaceFigure& figure : kFigures)
    for (const InterfaceCurveKey& curve : figure.curves) {
      add(InterfaceCurveName(curve.phantom, figure.energy_mv, curve.side_cm));
      add(InterfaceCurveName("water", figure.energy_mv, curve.side_cm));
    }
  return names;
}

const std::vector<double>* InterfaceCurves::Find(std::string_view name) const {
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return &values[i];
  return nullptr;
}

std::optional<InterfaceCurves> ParseInterfaceCurves(std::string_view text) {
  InterfaceCurves curves;
  bool have_columns = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words.front().front() == '#') continue;
    if (!have_columns) {
      if (words.size() < 3 || words[0] != "columns" || words[1] != "depth") return std::nullopt;
      for (std::size_t k = 2; k < words.size(); ++k) curves.names.emplace_back(words[k]);
      curves.values.resize(curves.names.size());
      have_columns = true;
      continue;
    }
    if (words.size() != curves.names.size() + 1) return std::nullopt;
    std::vector<double> numbers(words.size());
    for (std::size_t k = 0; k < words.size(); ++k)
      if (!ParseReal(words[k], numbers[k])) return std::nullopt;
    // How far a stored depth may lie from its bin centre: the file gives two decimals [cm].
    constexpr double kDepthTolerance = 1e-6;
    const int bin = static_cast<int>(curves.depth_cm.size()) + 1;
    if (bin > kSlabs || std::abs(numbers[0] - DepthBinCentreCm(bin)) > kDepthTolerance)
      return std::nullopt;
    curves.depth_cm.push_back(numbers[0]);
    for (std::size_t k = 1; k < numbers.size(); ++k) curves.values[k - 1].push_back(numbers[k]);
  }
  if (curves.depth_cm.empty() || curves.depth_cm.back() < kInterfaceDepthCm - 0.1)
    return std::nullopt;
  for (const std::string& name : InterfaceCurveNames())
    if (curves.Find(name) == nullptr) return std::nullopt;
  return curves;
}

std::vector<FigureBand> FigureBands(std::string_view phantom_key) {
  std::vector<FigureBand> bands;
  const std::optional<std::string> text = PhantomTextOfLink(phantom_key);
  if (!text) return bands;
  try {
    for (const PhantomBand& band : PhantomBands(ParsePhantom(*text, std::string(phantom_key))))
      bands.push_back({std::string(band.material), band.top_cm, band.bottom_cm});
  } catch (const std::exception&) {
    // the presets are read by the same reader in their own test
  }
  return bands;
}

std::optional<InterfaceFigureData> InterfaceFigureOf(const InterfaceCurves& curves,
                                                     PageFigure figure) {
  const InterfaceFigure* entry = FindInterfaceFigure(figure);
  if (entry == nullptr) return std::nullopt;
  InterfaceFigureData data;
  data.energy_mv = entry->energy_mv;
  data.depth_cm = curves.depth_cm;
  std::vector<int> sides;
  for (std::size_t k = 0; k < entry->curves.size(); ++k) {
    const InterfaceCurveKey& key = entry->curves[k];
    const std::vector<double>* values =
        curves.Find(InterfaceCurveName(key.phantom, entry->energy_mv, key.side_cm));
    if (values == nullptr) return std::nullopt;
    data.curves.push_back(
        {std::string(key.phantom), key.side_cm, false, static_cast<int>(k), *values});
    for (FigureBand& band : FigureBands(key.phantom)) {
      const bool known = std::any_of(data.bands.begin(), data.bands.end(), [&](const auto& b) {
        return b.material == band.material && b.from_cm == band.from_cm;
      });
      if (!known) data.bands.push_back(std::move(band));
    }
    if (std::find(sides.begin(), sides.end(), key.side_cm) == sides.end())
      sides.push_back(key.side_cm);
  }
  for (const int side : sides) {
    const std::vector<double>* values =
        curves.Find(InterfaceCurveName("water", entry->energy_mv, side));
    if (values == nullptr) return std::nullopt;
    int colour = -1;
    for (const InterfaceFigureCurve& c : data.curves)
      if (!c.water && c.side_cm == side) colour = colour == -1 ? c.colour : -2;
    data.curves.push_back({"water", side, true, std::max(colour, -1), *values});
  }
  return data;
}

}  // namespace dosavia

#include "models/curve_table.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "engine/beam_geometry.h"
#include "engine/conditions_file.h"
#include "engine/physics_switch_names.h"
#include "models/curve_metrics.h"

namespace dosavia {

namespace {

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string CsvField(std::string_view s) {
  if (s.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(s);
  std::string quoted = "\"";
  for (char c : s) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

// Six significant digits (the file holds four; a total adds two of them), whatever the C
// locale says. Emscripten's C++ library has no floating-point to_chars; its C library knows
// the C locale only, where printf's %.6g is what to_chars is defined to give.
std::string Number(double v) {
  char buffer[32];
#ifdef __EMSCRIPTEN__
  const int n = std::snprintf(buffer, sizeof buffer, "%.6g", v);
  return std::string(buffer, static_cast<std::size_t>(n));
#else
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
  return std::string(buffer, result.ptr);
#endif
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string EnergyOfResultFileName(std::string_view file) {
  const std::size_t slash = file.find_last_of("/\\");
  if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
  for (std::size_t p = 1; p + 3 <= file.size(); ++p)
    if (Lower(file[p]) == 'm' && Lower(file[p + 1]) == 'v' && file[p + 2] == '-')
      return std::string(file.substr(0, p)) + " MV";
  return {};
}

std::string FieldSizeLabel(int field) {
  const std::string side = std::to_string(static_cast<int>(kFieldSideCm[field]));
  return side + " × " + side + " cm";
}

std::string SwitchedPhysicsNote(std::string_view file, bool english) {
  const std::size_t slash = file.find_last_of("/\\");
  if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
  const PhysicsSwitches physics = ParseResultFileName(file).physics;
  if (physics.AllOn()) return {};
  return english ? " [without " + SwitchedOffText(physics, true) + "]"
                 : " [なし: " + SwitchedOffText(physics, false) + "]";
}

std::string CurveLegendText(std::string_view energy, int field, std::string_view file,
                            bool english) {
  return std::string(energy.empty() ? std::string_view("?") : energy) + ", " +
         FieldSizeLabel(field) + ", " + std::string(file) + SwitchedPhysicsNote(file, english);
}

CurveTableRow MeasureCurveSet(const ResultTables& tables, int field,
                              const ResultTables* beam_quality) {
  const auto& dose = tables.DoseTable[kTotalDose][field];
  const auto& reference =
      (beam_quality != nullptr ? *beam_quality : tables).DoseTable[kTotalDose][kReferenceFieldColumn];
  const CurveMetrics m = MeasureCurve(dose);
  CurveTableRow row;
  row.dmax_cm = m.maximum.depth_cm;
  row.dmax_sigma_cm = DmaxUncertaintyCm(dose, m.maximum);
  row.surface_percent = 100 * m.surface_ratio;
  row.d10_percent = 100 * m.d10_ratio;
  row.tpr2010 = Tpr2010(reference);
  row.tpr2010_sigma = Tpr2010Uncertainty(reference);
  return row;
}

namespace {

constexpr char kUnknown[] = "—";
// The smallest uncertainty of d_max shown [cm]: the last decimal the table gives.
constexpr double kSmallestDmaxSigmaCm = 0.01;

// `value` with `decimals` decimals and a decimal point, whatever the locale says (as Number);
// "—" when it is not positive.
std::string Fixed(double value, int decimals) {
  if (!(value > 0)) return kUnknown;
  char buffer[48];
#ifdef __EMSCRIPTEN__
  const int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return std::string(buffer, static_cast<std::size_t>(n));
#else
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
#endif
}

}  // namespace

CurveTableCells CurveTableText(const CurveTableRow& row) {
  CurveTableCells cells;
  cells.dmax = Fixed(row.dmax_cm, 2);
  if (row.dmax_cm > 0 && row.dmax_sigma_cm >= 0)
    cells.dmax += " ± " + Fixed(std::max(kSmallestDmaxSigmaCm, row.dmax_sigma_cm), 2);
  cells.surface = Fixed(row.surface_percent, 1);
  cells.d10 = Fixed(row.d10_percent, 1);
  cells.tpr = Fixed(row.tpr2010, 3);
  return cells;
}

std::string CurvesCsvText(const ResultTables* kerma, std::string_view kerma_file,
                          std::span<const CsvCurveSet> sets, const CurveCsvNames& names) {
  std::string text = "\xEF\xBB\xBF";
  text += CsvField(names.depth);
  const std::string relative = names.relative.empty() ? std::string() : ' ' + names.relative;
  if (kerma != nullptr) {
    const std::string energy = EnergyOfResultFileName(kerma_file);
    text += ',' + CsvField((energy.empty() ? std::string() : energy + ' ') + names.kerma + ' ' +
                           std::string(kerma_file) + relative);
  }
  for (const CsvCurveSet& set : sets)
    for (const std::string& name : names.dose)
      text += ',' + CsvField((set.energy.empty() ? std::string() : set.energy + ' ') +
                             FieldSizeLabel(set.field) + ' ' + name + ' ' + set.file + relative);
  text += "\r\n";
  for (int i = 1; i <= kDepthBins; ++i) {
    text += Number((2 * i - 1) / 20.0);  // the bin centre, 0.05 cm, 0.15 cm, ...
    if (kerma != nullptr) text += ',' + Number(kerma->Kerma[i]);
    for (const CsvCurveSet& set : sets)
      for (int k : {kTotalDose, kPrimaryDose, kScatterDose})
        text += ',' + Number(set.tables->DoseTable[k][set.field][i]);
    text += "\r\n";
  }
  return text;
}

}  // namespace dosavia

#include "models/curve_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/beam_geometry.h"
#include "engine/conditions_file.h"
#include "engine/physics_switch_names.h"
#include "models/curve_metrics.h"
#include "models/phantom_session.h"

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
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
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
  return SwitchedPhysicsNote(ParseResultFileName(file).physics, english);
}

std::string SwitchedPhysicsNote(const PhysicsSwitches& physics, bool english) {
  // A run in the accurate transport says so wherever its curves are named.
  const std::string transport = !physics.accurate_transport ? std::string()
                                : english                   ? " [accurate transport]"
                                                            : " [精密な電子輸送]";
  if (physics.AllOn()) return transport;
  return (english ? " [without " + SwitchedOffText(physics, true) + "]"
                  : " [なし: " + SwitchedOffText(physics, false) + "]") +
         transport;
}

double DisplayScale(const ResultTables& tables) {
  const double k = FittedSurfaceKerma(tables.Kerma);
  return k > 0 ? 1.0 / k : 1.0;
}

CurveLegend CurveLegendParts(const CurveLegendFacts& facts, bool english) {
  CurveLegend legend;
  legend.head = std::string(facts.energy.empty() ? std::string_view("?") : facts.energy) + ", " +
                FieldSizeLabel(facts.field) + ", ";
  legend.file = std::string(facts.file);
  legend.tail = facts.physics != nullptr ? SwitchedPhysicsNote(*facts.physics, english)
                                         : SwitchedPhysicsNote(facts.file, english);
  if (facts.seed != kDefaultSeed)
    legend.tail += (english ? ", seed " : ", 乱数の種 ") + std::to_string(facts.seed);
  const std::optional<Phantom> phantom = facts.physics != nullptr
                                             ? PhantomOfDescription(facts.phantom)
                                             : PhantomOfResult(facts.file, nullptr);
  if (phantom) legend.tail += ", " + PhantomName(*phantom, english);
  if (facts.ssd_cm > 0) legend.tail += ", SSD " + Number(facts.ssd_cm) + " cm";
  if (!facts.energy.empty() && EnergyOfResultFileName(facts.file) == facts.energy) {
    const std::string side = std::to_string(static_cast<int>(kFieldSideCm[facts.field]));
    legend.compact_head = side + "×" + side + ", ";
  }
  return legend;
}

std::string CurveLegendText(std::string_view energy, int field, std::string_view file,
                            bool english) {
  return CurveLegendParts({energy, field, file}, english).Text();
}

namespace {

// The jackknife's standard uncertainty of a value from its leave-one-group-out values.
double JackknifeSigma(const std::vector<double>& values) {
  const double n = static_cast<double>(values.size());
  double mean = 0;
  for (const double v : values) mean += v / n;
  double sum = 0;
  for (const double v : values) sum += (v - mean) * (v - mean);
  return std::sqrt((n - 1) / n * sum);
}

}  // namespace

CurveTableRow MeasureCurveSet(const ResultTables& tables, int field,
                              const RunStatistics* statistics, const ResultTables* beam_quality) {
  const auto& dose = tables.DoseTable[kTotalDose][field];
  const auto& reference = (beam_quality != nullptr ? *beam_quality : tables)
                              .DoseTable[kTotalDose][kReferenceFieldColumn];
  const CurveMetrics m = MeasureCurve(dose);
  CurveTableRow row;
  row.dmax_cm = m.maximum.depth_cm;
  row.surface_percent = 100 * m.surface_ratio;
  row.d10_percent = 100 * m.d10_ratio;
  row.tpr2010 = Tpr2010(reference);
  // A build-up whose maximum could lie anywhere in the build-up region cannot be read.
  const auto read = [&row](BuildUp build_up) {
    return build_up == BuildUp::kYes && !DmaxReadable(build_up, row.dmax_sigma_cm)
               ? BuildUp::kTooFewPhotons
               : build_up;
  };
  // The run's seed is the result's, in whatever geometry its curves are shown; its groups'
  // spread is the parallel beam's, and measures a point source's curves not at all.
  if (statistics != nullptr) {
    row.seed = statistics->seed;
    row.transport = statistics->physics.accurate_transport ? "accurate" : "exact";
    row.phantom = statistics->phantom.empty() ? std::string("water") : statistics->phantom;
  }
  if (beam_quality != nullptr && statistics != nullptr && statistics->groups >= 2) {
    // The point source's curve is the parallel beam's of the same histories times a smooth
    // factor (the inverse square, the field's growth), which makes no build-up and no noise
    // of its own: where the parallel beam's groups show no build-up, or too few photons to
    // tell, so does the point source (a run without electrons shows no d_max in either
    // view); where they show one, its d_max scatters from run to run at least as the
    // parallel beam's does, more than the curve's own noise alone suggests (still marked
    // estimated: it is not measured on the point source's curve itself).
    const CurveTableRow parallel = MeasureCurveSet(*beam_quality, field, statistics);
    row.dmax_sigma_cm = std::max(DmaxUncertaintyCm(dose, m.maximum), parallel.dmax_sigma_cm);
    row.build_up = parallel.build_up == BuildUp::kYes ? read(ReadBuildUp(m.build_up_ratio, -1))
                                                      : parallel.build_up;
    return row;
  }
  if (beam_quality != nullptr) statistics = nullptr;
  if (statistics == nullptr || statistics->groups < 2) {
    row.dmax_sigma_cm = DmaxUncertaintyCm(dose, m.maximum);
    row.build_up = read(ReadBuildUp(m.build_up_ratio, -1));
    return row;
  }
  row.measured = true;
  row.seed = statistics->seed;
  if (statistics->histories < kFewestMeasuredHistories) {
    row.build_up = BuildUp::kTooFewPhotons;
    return row;
  }
  // The jackknife over the history groups: each value again from the run without group g.
  const int n = statistics->groups;
  const auto leave_out = [&](int curve, int g, RunStatistics::Curve& out) {
    out[0] = 0;
    for (int k = 1; k <= kDepthBins; ++k) {
      double sum = 0;
      for (int h = 0; h < n; ++h) sum += statistics->group[h][curve][k];
      out[k] = (sum - statistics->group[g][curve][k]) / (n - 1);
    }
  };
  std::vector<double> surface, d10, tpr, build_up;
  RunStatistics::Curve curve{};
  for (int g = 0; g < n; ++g) {
    leave_out(field, g, curve);
    const CurveMetrics without = MeasureCurve(curve);
    surface.push_back(without.surface_ratio);
    build_up.push_back(without.build_up_ratio);
    d10.push_back(without.d10_ratio);
    leave_out(kReferenceFieldColumn, g, curve);
    tpr.push_back(Tpr2010(curve));
  }
  // d_max: the bootstrap over the groups (BootstrapSigma); a run whose maximum cannot be
  // fitted in one of the resamplings has too few photons to say it.
  row.dmax_sigma_cm = BootstrapSigma(n, [&](std::span<const int> picks) {
    curve[0] = 0;
    for (int k = 1; k <= kDepthBins; ++k) {
      double sum = 0;
      for (const int p : picks) sum += statistics->group[p][field][k];
      curve[k] = sum / n;
    }
    const DoseMaximum top = FitDoseMaximum(curve);
    return top.dose > 0 ? top.depth_cm : -1.0;
  });
  const bool fitted = row.dmax_sigma_cm >= 0;
  row.surface_sigma_percent = 100 * JackknifeSigma(surface);
  row.d10_sigma_percent = 100 * JackknifeSigma(d10);
  row.tpr2010_sigma = JackknifeSigma(tpr);
  row.build_up = fitted ? read(ReadBuildUp(m.build_up_ratio, JackknifeSigma(build_up)))
                        : BuildUp::kTooFewPhotons;
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

CurveTableCells CurveTableText(const CurveTableRow& row, bool english) {
  CurveTableCells cells;
  // A value with its uncertainty, when that is known.
  const auto with_sigma = [](double value, double sigma, int decimals, double smallest) {
    std::string text = Fixed(value, decimals);
    if (value > 0 && sigma >= 0) text += " ± " + Fixed(std::max(smallest, sigma), decimals);
    return text;
  };
  // A curve with a maximum at all has a surface dose.
  const bool curve = row.surface_percent > 0 && std::isfinite(row.surface_percent);
  if (curve && row.build_up == BuildUp::kNone) {
    cells.dmax = english ? "at the surface: no build-up" : "表面で最大: ビルドアップなし";
  } else if (curve && !ShowsDmax(row)) {
    cells.dmax = english ? "too few photons to tell" : "光子が少なすぎて判定できない";
  } else {
    cells.dmax = with_sigma(row.dmax_cm, row.dmax_sigma_cm, 2, kSmallestDmaxSigmaCm);
    if (row.dmax_cm > 0 && row.dmax_sigma_cm >= 0 && !row.measured) cells.dmax += "*";
  }
  cells.surface = with_sigma(row.surface_percent, row.surface_sigma_percent, 1, 0.1);
  cells.d10 = with_sigma(row.d10_percent, row.d10_sigma_percent, 1, 0.1);
  cells.tpr = with_sigma(row.tpr2010, row.tpr2010_sigma, 3, 0.001);
  return cells;
}

std::string CurveTableTsv(std::span<const TableTsvRow> rows) {
  // A number, or an empty cell where it is not known.
  const auto cell = [](double v, bool known) { return known && std::isfinite(v) ? Number(v) : ""; };
  // Tabs and line ends inside a name would shift the columns.
  const auto plain = [](std::string s) {
    for (char& c : s)
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return s;
  };
  std::string text =
      "set\tenergy\tfield_cm\td_max_cm\td_max_u_cm\tsurface_pct\tsurface_u_pct\td10_pct\t"
      "d10_u_pct\ttpr20_10\ttpr20_10_u\tbuild_up\tuncertainty\tseed\tssd_cm\ttransport\tphantom\n";
  for (const TableTsvRow& r : rows) {
    const CurveTableRow& v = r.row;
    const bool dmax = ShowsDmax(v);
    text += plain(r.set) + '\t' + plain(r.energy) + '\t' +
            std::to_string(static_cast<int>(kFieldSideCm[r.field])) + '\t' + cell(v.dmax_cm, dmax) +
            '\t' + cell(v.dmax_sigma_cm, dmax && v.dmax_sigma_cm >= 0) + '\t' +
            cell(v.surface_percent, v.surface_percent > 0) + '\t' +
            cell(v.surface_sigma_percent, v.surface_sigma_percent >= 0) + '\t' +
            cell(v.d10_percent, v.d10_percent > 0) + '\t' +
            cell(v.d10_sigma_percent, v.d10_sigma_percent >= 0) + '\t' +
            cell(v.tpr2010, v.tpr2010 > 0) + '\t' + cell(v.tpr2010_sigma, v.tpr2010_sigma >= 0) +
            '\t' + BuildUpWord(v.build_up) + '\t' + (v.measured ? "measured" : "estimated") + '\t' +
            (v.seed >= 0 ? std::to_string(v.seed) : std::string()) + '\t' +
            cell(r.ssd_cm, r.ssd_cm > 0) + '\t' + std::string(v.transport) + '\t' +
            plain(v.phantom) + '\n';
  }
  return text;
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
  // A set of another file brings that file's kerma, before its first doses: each dose is
  // read against its own beam's kerma, as the graph draws it.
  std::vector<const ResultTables*> kermas{kerma};
  std::vector<bool> own_kerma;
  for (const CsvCurveSet& set : sets) {
    const std::string energy = set.energy.empty() ? std::string() : set.energy + ' ';
    own_kerma.push_back(std::find(kermas.begin(), kermas.end(), set.tables) == kermas.end());
    if (own_kerma.back()) {
      kermas.push_back(set.tables);
      text += ',' + CsvField(energy + names.kerma + ' ' + set.file + relative);
    }
    const std::optional<Phantom> phantom = PhantomOfResult(set.file, set.statistics);
    const std::string layers = phantom ? ", " + PhantomName(*phantom, names.english) : "";
    for (const std::string& name : names.dose)
      text += ',' + CsvField(energy + FieldSizeLabel(set.field) + ' ' + name + ' ' + set.file +
                             layers + relative);
  }
  text += "\r\n";
  for (int i = 1; i <= kDepthBins; ++i) {
    text += Number((2 * i - 1) / 20.0);  // the bin centre, 0.05 cm, 0.15 cm, ...
    if (kerma != nullptr) text += ',' + Number(kerma->Kerma[i]);
    for (std::size_t s = 0; s < sets.size(); ++s) {
      const CsvCurveSet& set = sets[s];
      if (own_kerma[s]) text += ',' + Number(set.tables->Kerma[i]);
      for (int k : {kTotalDose, kPrimaryDose, kScatterDose})
        text += ',' + Number(set.tables->DoseTable[k][set.field][i]);
    }
    text += "\r\n";
  }
  return text;
}

}  // namespace dosavia

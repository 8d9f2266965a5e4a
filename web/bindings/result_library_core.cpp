// The browser edition's result library: the result files the engine screen opened, by a
// number of its own, with their run statistics; their curves in the parallel beam or a point
// source's geometry, the value table's rows, the TSV and the CSV of compared sets, the depth
// probe, the legends and a phantom result's values at its interfaces; and the checks and
// names of a result file before it is read. All of it the models' C++; the page only draws.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/conditions_file.h"
#include "engine/program_files.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "models/clinical_geometry.h"
#include "models/curve_metrics.h"
#include "models/curve_table.h"
#include "models/depth_probe.h"
#include "models/phantom_session.h"
#include "models/result_library.h"
#include "records/file_io.h"
#include "records/problem.h"
#include "records/problem_text.h"
#include "web/bindings/report_language.h"
#include "web/bindings/typed_arrays.h"

namespace dosavia::web {

using emscripten::val;

namespace {

// A failure as the user reads it, in the report language.
std::string Report(const std::exception& e) { return ReportOf(e, report_language); }

// The result files the page shows, by a number of its own.
class ResultLibrary {
 public:
  // Parses a result file's text; { id } or { error }.
  val Open(const std::string& text, const std::string& name) {
    val out = val::object();
    try {
      std::shared_ptr<const ResultTables> tables = ParseResultFile(text, name);
      const int id = next_id_++;
      tables_[id] = tables;
      result_texts_[id] = text;
      names_[id] = name;
      out.set("id", id);
    } catch (const std::exception& e) {
      out.set("error", Report(e));
    }
    return out;
  }

  // The screen's comparison (models/result_library.h) after `action` with `arg`: "list"
  // (the kept results' names), "load" (a name), "draw" (a field), "remove" (a set's index),
  // "forget" (a name), "undo", "clear", "return", "kerma", or "state" to change nothing.
  // Returns { sets: [{ file, field, family }], listed, loaded, kerma, canSave, canUndo,
  // undoFile }.
  val Compare(const std::string& action, const val& arg) {
    if (action == "list")
      comparison_.List(emscripten::vecFromJSArray<std::string>(arg));
    else if (action == "load")
      comparison_.Load(arg.as<std::string>());
    else if (action == "draw")
      comparison_.Draw(arg.as<int>());
    else if (action == "remove")
      comparison_.RemoveSet(static_cast<std::size_t>(arg.as<int>()));
    else if (action == "forget")
      comparison_.Forget(arg.as<std::string>());
    else if (action == "undo")
      comparison_.Undo();
    else if (action == "clear")
      comparison_.Clear();
    else if (action == "return")
      comparison_.Return();
    else if (action == "kerma")
      comparison_.ShowKerma();
    val sets = val::array();
    for (const ::dosavia::ComparedSet& compared : comparison_.Sets()) {
      val set = val::object();
      set.set("file", compared.file);
      set.set("field", compared.field);
      set.set("family", compared.family);
      sets.call<void>("push", set);
    }
    val out = val::object();
    out.set("sets", sets);
    out.set("listed", val::array(comparison_.Listed()));
    out.set("loaded", comparison_.Loaded());
    out.set("kerma", comparison_.KermaShown());
    out.set("canSave", comparison_.CanSave());
    out.set("canUndo", comparison_.CanUndo());
    out.set("undoFile", comparison_.UndoFile());
    return out;
  }

  void Close(int id) {
    tables_.erase(id);
    statistics_.erase(id);
    result_texts_.erase(id);
    names_.erase(id);
    std::erase_if(clinical_, [id](const auto& entry) { return entry.first.first == id; });
  }

  // Gives result `id` its run's statistics (the text of its ".stat" file), with which the
  // table's uncertainties are measured rather than estimated. Returns an empty text when
  // they were taken; otherwise why not, in the report language (another run's, damaged, or
  // numbers that no run gives), and the result then stands alone.
  std::string AttachStatistics(int id, const std::string& text, const std::string& name) {
    try {
      MatchedStatistics matched =
          MatchRunStatistics(text, name, result_texts_.at(id), *tables_.at(id));
      if (!matched.statistics)
        return matched.problem ? ProblemLine(*matched.problem, report_language) : "?";
      statistics_[id] = std::move(matched.statistics);
      return {};
    } catch (const std::exception& e) {
      return Report(e);
    }
  }

  // The factor that puts the result's curves on the scale of its fitted surface kerma
  // (FittedSurfaceKerma), where curves of one beam line up whatever their photon count.
  double DisplayScale(int id) const {
    const double k = FittedSurfaceKerma(tables_.at(id)->Kerma);
    return k > 0 ? 1.0 / k : 1.0;
  }

  // { kerma: 300 values, dose: [component 0..2][field 1..10][bin 1..300] as 9000 values },
  // of the parallel beam (ssd_cm 0) or of a point source at SSD ssd_cm (50..150 cm), on the
  // parallel beam's scale at the surface, so that DisplayScale applies to both.
  val Curves(int id, double ssd_cm) {
    const ResultTables& t = Tables(id, ssd_cm);
    std::vector<double> kerma(t.Kerma.begin() + 1, t.Kerma.end());
    std::vector<double> dose;
    dose.reserve(3 * kFieldColumns * kDepthBins);
    for (int k = 0; k < 3; ++k)
      for (int f = 1; f <= kFieldColumns; ++f)
        dose.insert(dose.end(), t.DoseTable[k][f].begin() + 1, t.DoseTable[k][f].end());
    val out = val::object();
    out.set("kerma", TypedArray(kerma));
    out.set("dose", TypedArray(dose));
    return out;
  }

  val TableRow(int id, int field, double ssd_cm) {
    const CurveTableRow row = Row(id, field, ssd_cm);
    val out = val::object();
    out.set("dmaxCm", row.dmax_cm);
    out.set("dmaxSigmaCm", row.dmax_sigma_cm);
    out.set("surfacePercent", row.surface_percent);
    out.set("d10Percent", row.d10_percent);
    out.set("tpr2010", row.tpr2010);
    out.set("tpr2010Sigma", row.tpr2010_sigma);
    out.set("measured", row.measured);
    out.set("buildUp", std::string(BuildUpWord(row.build_up)));
    out.set("surfaceSigmaPercent", row.surface_sigma_percent);
    out.set("d10SigmaPercent", row.d10_sigma_percent);
    out.set("seed", static_cast<double>(row.seed));
    // The cells as Dosavia's table and saved picture word them.
    const CurveTableCells text = CurveTableText(row, report_language == TextLanguage::kEnglish);
    val cells = val::object();
    // Where a slab bends the curve, its interface values are read instead of its d_max.
    const auto name = names_.find(id);
    const auto statistics = statistics_.find(id);
    const bool dmax_read = DmaxIsReadIn(
        PhantomOfResult(name == names_.end() ? std::string_view() : std::string_view(name->second),
                        statistics == statistics_.end() ? nullptr : statistics->second.get()));
    cells.set("dmax", dmax_read ? text.dmax : std::string("—"));
    cells.set("surface", text.surface);
    cells.set("d10", text.d10);
    cells.set("tpr", text.tpr);
    out.set("cells", cells);
    return out;
  }

  // The value table of `sets` ([{ id, field, energy, file, ssd }], ssd 0 or absent: the
  // parallel beam) as tab-separated text.
  std::string Tsv(val sets) {
    std::vector<TableTsvRow> rows;
    const int n = sets["length"].as<int>();
    for (int i = 0; i < n; ++i) {
      val s = sets[i];
      const int field = s["field"].as<int>();
      const double ssd_cm = SsdOf(s);
      rows.push_back({s["file"].as<std::string>(), s["energy"].as<std::string>(), field,
                      Row(s["id"].as<int>(), field, ssd_cm), ssd_cm});
    }
    return CurveTableTsv(rows);
  }

  // The graph's depth probe (models/depth_probe.h) at `depth_cm` for sets [{ id, field }] of
  // the geometry of ssd_cm: { heading, values: [one line per set] }, the heading empty off
  // the depth axis; a point source's values without ± (the groups measured the parallel beam).
  val Probe(val sets, double depth_cm, bool english, double ssd_cm) {
    val out = val::object();
    const int bin = ProbedDepthBin(depth_cm);
    out.set("heading", bin == 0 ? std::string() : DepthProbeHeading(bin, english));
    val values = val::array();
    const int n = bin == 0 ? 0 : sets["length"].as<int>();
    for (int i = 0; i < n; ++i) {
      const int id = sets[i]["id"].as<int>();
      const auto statistics = statistics_.find(id);
      const RunStatistics* measured =
          ssd_cm == 0 && statistics != statistics_.end() ? statistics->second.get() : nullptr;
      values.call<void>(
          "push", DepthProbeValues(
                      ProbeCurveSet(Tables(id, ssd_cm), sets[i]["field"].as<int>(), bin, measured),
                      english));
    }
    out.set("values", values);
    return out;
  }

  // The legend of field `field` of result `id` as Dosavia's words it, in the geometry of
  // ssd_cm: the physics, seed and phantom its run recorded where it has statistics (layers
  // of no preset are known only there), else those its name tells.
  std::string Legend(int id, int field, bool english, double ssd_cm) const {
    const auto found = statistics_.find(id);
    const RunStatistics* statistics = found == statistics_.end() ? nullptr : found->second.get();
    const std::string& file = names_.at(id);
    const std::string energy = EnergyOfResultFileName(file);
    return CurveLegendParts(
               {energy, field, file, statistics ? &statistics->physics : nullptr,
                statistics ? statistics->seed : kDefaultSeed, ssd_cm,
                statistics ? std::string_view(statistics->phantom) : std::string_view()},
               english)
        .Text();
  }

  // The layers result `id` was run in, as its statistics record them or its name's mark
  // says ("water 3 lung 10 water 17"); empty for water or layers that cannot be known.
  std::string PhantomDescription(int id) const {
    const auto phantom = PhantomOf(id);
    return phantom ? phantom->Description() : std::string();
  }

  // A phantom result's values at its interfaces for `field` in one line (InterfaceSummary),
  // read against the water result `water_id` of its beam (< 0: none kept), in the report
  // language; empty for a result of water.
  std::string Interfaces(int id, int field, int water_id) const {
    const auto phantom = PhantomOf(id);
    if (!phantom) return {};
    const auto statistics = statistics_.find(id);
    const auto water_statistics = statistics_.find(water_id);
    const auto water = tables_.find(water_id);
    const InterfaceValues values = MeasureInterfaces(
        *phantom, *tables_.at(id), field,
        statistics == statistics_.end() ? nullptr : statistics->second.get(),
        water == tables_.end() ? nullptr : water->second.get(),
        water_statistics == statistics_.end() ? nullptr : water_statistics->second.get());
    return InterfaceSummary(values, EnergyOfResultFileName(names_.at(id)),
                            report_language == TextLanguage::kEnglish);
  }

  // sets: [{ id, field, energy, file }]; kermaId < 0: no kerma column; names: { depth,
  // kerma, dose: [total, primary, scatter], relative }; every curve, the kerma's too, of the
  // geometry of ssd_cm (0: the parallel beam), which `names.relative` is to say; a phantom
  // set's layers named in the report language.
  std::string Csv(val sets, int kerma_id, const std::string& kerma_file, val names, double ssd_cm) {
    std::vector<CsvCurveSet> rows;
    const int n = sets["length"].as<int>();
    for (int i = 0; i < n; ++i) {
      val s = sets[i];
      const int id = s["id"].as<int>();
      const auto statistics = statistics_.find(id);
      rows.push_back({&Tables(id, ssd_cm), s["field"].as<int>(), s["energy"].as<std::string>(),
                      s["file"].as<std::string>(),
                      statistics == statistics_.end() ? nullptr : statistics->second.get()});
    }
    const CurveCsvNames csv_names{
        names["depth"].as<std::string>(),
        names["kerma"].as<std::string>(),
        {names["dose"][0].as<std::string>(), names["dose"][1].as<std::string>(),
         names["dose"][2].as<std::string>()},
        names["relative"].as<std::string>(),
        report_language == TextLanguage::kEnglish};
    const ResultTables* kerma = kerma_id >= 0 ? &Tables(kerma_id, ssd_cm) : nullptr;
    return CurvesCsvText(kerma, kerma_file, rows, csv_names);
  }

 private:
  static double SsdOf(val set) {
    const val ssd = set["ssd"];
    return ssd.isUndefined() || ssd.isNull() ? 0.0 : ssd.as<double>();
  }

  std::optional<Phantom> PhantomOf(int id) const {
    const auto statistics = statistics_.find(id);
    return PhantomOfResult(names_.at(id),
                           statistics == statistics_.end() ? nullptr : statistics->second.get());
  }

  // The tables of result `id` in a geometry: its own (the parallel beam) for ssd_cm 0, else
  // those of a point source at that SSD, made once and kept until the result is closed.
  const ResultTables& Tables(int id, double ssd_cm) {
    const ResultTables& parallel = *tables_.at(id);
    if (ssd_cm == 0) return parallel;
    if (!(ssd_cm >= kSmallestSsdCm && ssd_cm <= kLargestSsdCm))
      throw std::invalid_argument("an SSD of 50 to 150 cm");
    std::unique_ptr<ResultTables>& made = clinical_[{id, ssd_cm}];
    if (!made) made = ClinicalGeometryTables(parallel, ssd_cm);
    return *made;
  }

  // The point source's curves are measured with TPR20,10 from the parallel tables, a ratio of
  // constant field, and without the run's statistics but for its seed (MeasureCurveSet).
  CurveTableRow Row(int id, int field, double ssd_cm) {
    const auto statistics = statistics_.find(id);
    return MeasureCurveSet(Tables(id, ssd_cm), field,
                           statistics == statistics_.end() ? nullptr : statistics->second.get(),
                           ssd_cm != 0 ? tables_.at(id).get() : nullptr);
  }

  std::map<int, std::shared_ptr<const ResultTables>> tables_;
  std::map<std::pair<int, double>, std::unique_ptr<ResultTables>> clinical_;
  std::map<int, std::unique_ptr<RunStatistics>> statistics_;
  std::map<int, std::string> result_texts_;  // for the statistics' checksum
  std::map<int, std::string> names_;         // for the phantom its name marks
  ::dosavia::ResultLibrary comparison_;
  int next_id_ = 1;
};

}  // namespace

EMSCRIPTEN_BINDINGS(dosavia_results) {
  emscripten::class_<ResultLibrary>("ResultLibrary")
      .constructor<>()
      .function("open", &ResultLibrary::Open)
      .function("close", &ResultLibrary::Close)
      .function("curves", &ResultLibrary::Curves)
      .function("tableRow", &ResultLibrary::TableRow)
      .function("attachStatistics", &ResultLibrary::AttachStatistics)
      .function("displayScale", &ResultLibrary::DisplayScale)
      .function("tsv", &ResultLibrary::Tsv)
      .function("csv", &ResultLibrary::Csv)
      .function("compare", &ResultLibrary::Compare)
      .function("probe", &ResultLibrary::Probe)
      .function("legend", &ResultLibrary::Legend)
      .function("phantomDescription", &ResultLibrary::PhantomDescription)
      .function("interfaces", &ResultLibrary::Interfaces);
  // The page's check of an upload before it is read: empty, or why a file of `bytes` is
  // refused, worded as every reader of a result words it.
  emscripten::function("resultSizeProblem",
                       emscripten::optional_override([](const std::string& name, double bytes) {
                         if (bytes <= static_cast<double>(kMaxInputFileBytes)) return std::string();
                         return ProblemLine(Problem(ProblemKind::kFileTooLarge)
                                                .In(name)
                                                .WithLimit(std::to_string(kMaxInputFileBytes)),
                                            report_language);
                       }));
  // The name of a result's run statistics file (10MV-1M.data -> 10MV-1M.stat), as Kestrun
  // writes it and Dosavia looks for it beside a result.
  emscripten::function(
      "statisticsFileName",
      emscripten::optional_override([](const std::string& f) { return RunStatisticsFileName(f); }));
  emscripten::function("energyOfResultName",
                       emscripten::optional_override(
                           [](const std::string& f) { return EnergyOfResultFileName(f); }));
  // A set's legend in the page's language, as Dosavia words it: the note on switched-off
  // physics (from the file's name), a seeded run's seed (0: none) and a point source's SSD
  // (0: the parallel beam).
  emscripten::function(
      "legendText", emscripten::optional_override([](const std::string& energy, int field,
                                                     const std::string& file, bool english,
                                                     double seed, double ssd_cm) {
        return CurveLegendParts({energy, field, file, nullptr, static_cast<RunSeed>(seed), ssd_cm},
                                english)
            .Text();
      }));
}

}  // namespace dosavia::web

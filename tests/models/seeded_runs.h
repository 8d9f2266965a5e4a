// Seeded runs measured as the screens measure them, for the tests that check what a class is
// told over many seeds: an engine run (the block streams, as Kestrun --seed runs them) read
// as the value table reads it with its own statistics, and a visual batch series read as
// both visual screens read it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/block_run.h"
#include "engine/conditions_file.h"
#include "engine/field_superposition.h"
#include "engine/history_groups.h"
#include "engine/phantom_file.h"
#include "engine/run_statistics.h"
#include "models/clinical_geometry.h"
#include "models/curve_table.h"
#include "models/dmax_uncertainty.h"
#include "models/phantom_presets.h"
#include "models/visual_batch.h"
#include "models/visual_depth_dose.h"

namespace dosavia {

// The value table's rows of field columns `fields` of one engine run of `photons` (as the
// conditions file writes them, "3.00E+03") of `energy` MV with `seed`; with `ssd_cm` > 0,
// then the rows of the same curves in the clinical geometry at that SSD, as the screens
// measure them (with the run's statistics and the parallel tables).
inline std::vector<CurveTableRow> EngineRun(int energy, const std::string& photons, RunSeed seed,
                                            const std::vector<int>& fields,
                                            const PhysicsSwitches& physics = {},
                                            double ssd_cm = 0) {
  const auto inputs = LoadBlockRunInputs(
      DOSAVIA_DATA_DIR, ConditionsFileText(std::to_string(energy) + "MV.csv", "r.data", photons),
      physics, seed);
  auto tally =
      std::make_unique<DoseTally>(std::span<const float, kSlabs + 1>(inputs->tables.DepthBinWidth));
  auto growth = std::make_unique<GroupGrowth>();
  const std::int64_t histories = RunBlockStreams(
      inputs->tables, inputs->spectrum, inputs->conditions.photon_total, 2, *tally, [](int) {},
      physics, seed, growth.get());
  auto field = std::make_unique<FieldDoseTable>();
  Superpose(*tally, *field);
  const NormalisedResults results = Normalise(*tally, *field);
  const std::string text = ResultFileText(results);
  const auto statistics = MakeRunStatistics(GroupCurves(*growth), results.kmax, histories, seed,
                                            physics, ResultChecksum(text));
  const auto tables = ParseResultFile(text, "r.data");
  std::vector<CurveTableRow> rows;
  for (const int f : fields) rows.push_back(MeasureCurveSet(*tables, f, statistics.get()));
  if (ssd_cm > 0) {
    const auto clinical = ClinicalGeometryTables(*tables, ssd_cm);
    for (const int f : fields)
      rows.push_back(MeasureCurveSet(*clinical, f, statistics.get(), tables.get()));
  }
  return rows;
}

// The total dose (primary + scatter) of every field column, bin by bin, of one engine run of
// `energy` MV through the slab phantom of a preset (`phantom`, its key; "water": the plain
// accurate run) with `seed`, as Kestrun --phantom writes it: the accurate transport, the
// block streams, normalised as the result file is.
inline std::array<std::vector<double>, kFields> PhantomRun(int energy, const std::string& photons,
                                                           RunSeed seed,
                                                           const std::string& phantom) {
  PhysicsSwitches physics;
  physics.accurate_transport = true;
  const auto inputs = LoadBlockRunInputs(
      DOSAVIA_DATA_DIR, ConditionsFileText(std::to_string(energy) + "MV.csv", "r.data", photons),
      physics, seed);
  std::unique_ptr<PhantomData> data;
  if (phantom != "water")
    data = std::make_unique<PhantomData>(
        ParsePhantom(PhantomTextOfLink(phantom).value(), phantom),
        [](const std::string& name) { return std::string(DOSAVIA_DATA_DIR) + "/" + name; });
  const SlabLayers<float>* layers = data ? &data->layers() : nullptr;
  auto tally =
      std::make_unique<DoseTally>(std::span<const float, kSlabs + 1>(inputs->tables.DepthBinWidth));
  RunBlockStreams(
      inputs->tables, inputs->spectrum, inputs->conditions.photon_total, 2, *tally, [](int) {},
      physics, seed, nullptr, layers);
  auto field = std::make_unique<FieldDoseTable>();
  Superpose(*tally, *field);
  const auto results = std::make_unique<NormalisedResults>(Normalise(*tally, *field, layers));
  std::array<std::vector<double>, kFields> doses;
  for (int f = 1; f <= kFields; ++f)
    for (int j = 1; j <= kSlabs; ++j)
      doses[static_cast<std::size_t>(f - 1)].push_back(results->field.at(kPrimary, f, j) +
                                                       results->field.at(kScatter, f, j));
  return doses;
}

// What the visual screens read from a series of `photons` photons of `energy` MV in a field
// of `field_cm`, begun on `seed`, and the curve they read it from.
struct VisualRun {
  DepthDoseCurve curve;
  VisualCurveReading reading;
};
inline VisualRun VisualSeries(int energy, double field_cm, long long photons, RunSeed seed,
                              const PhysicsSwitches& physics = {}) {
  static const auto simulation = [] {
    auto s = std::make_unique<VisualSimulation>();
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(DOSAVIA_DATA_DIR);
    s->Init();
    std::filesystem::current_path(here);
    return s;
  }();
  const std::string spectrum =
      std::string(DOSAVIA_DATA_DIR) + "/" + std::to_string(energy) + "MV.csv";
  simulation->LoadSpectrum(spectrum, spectrum);
  simulation->SetField(field_cm);
  simulation->Seed(seed);
  auto tally = std::make_unique<VisualDepthDose>();
  tally->Clear(field_cm);
  const TransportContext<double> context = simulation->Context(physics);
  for (long long n = 0; n < photons; ++n) {
    tally->StartHistory();
    simulation->SimulatePhoton(context, *tally);
  }
  VisualRun run;
  run.curve = MakeDepthDoseCurve(*tally);
  run.reading = ReadVisualCurve(*tally, run.curve);
  return run;
}

}  // namespace dosavia

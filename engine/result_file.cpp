#include "engine/result_file.h"

#include "engine/program_files.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <system_error>
#include <vector>

#include "engine/engine_error.h"
#include "records/file_io.h"
#include "records/fixed_format.h"
#include "records/free_format.h"
#include "records/input_error.h"

namespace dosavia {

namespace {

// Whether bin j lies in a layer of water (water's own data at water's density).
bool InWater(const SlabLayers<float>& layers, int j) {
  const int k = layers.LayerAt((static_cast<float>(j) - 0.5f) / kKermaBinsPerCm);
  return layers.tables[static_cast<std::size_t>(k)] == nullptr &&
         layers.mass_density[static_cast<std::size_t>(k)] == 1.0f &&
         layers.density[static_cast<std::size_t>(k)] == 1.0f;
}

}  // namespace

float KermaMaximum(const DoseTally& tally, const SlabLayers<float>* layers) {
  bool any_water = layers == nullptr;
  for (int j = 1; j <= kNormalisationBins && !any_water; ++j) any_water = InWater(*layers, j);
  float kmax = 0.0f;
  for (int j = 1; j <= kNormalisationBins; ++j)
    if (tally.Kerma(j) > kmax && (layers == nullptr || !any_water || InWater(*layers, j)))
      kmax = tally.Kerma(j);
  return kmax;
}

NormalisedResults Normalise(const DoseTally& tally, const FieldDoseTable& field,
                            const SlabLayers<float>* layers) {
  NormalisedResults out;
  out.kmax = KermaMaximum(tally, layers);
  if (!(out.kmax > 0.0f)) throw EngineError(Problem(ProblemKind::kNoPrimaryKerma));
  for (int c = 1; c <= kComponents; ++c)
    for (int l = 1; l <= kFields; ++l)
      for (int j = 1; j <= kSlabs; ++j) out.field.at(c, l, j) = field.at(c, l, j) / out.kmax;
  for (int j = 1; j <= kKermaBins; ++j) out.kerma[j] = tally.Kerma(j) / out.kmax;
  return out;
}

std::string ResultFileText(const NormalisedResults& results) {
  static const FixedFormat format(kResultRecordFormat);
  std::string text;
  text.reserve(static_cast<std::size_t>(kResultRecords) * (kResultRecordLength + 2));
  std::vector<FieldValue> values;
  values.reserve(2 + kFields);
  for (int c = 1; c <= kComponents; ++c) {
    for (int j = 1; j <= kResultRecordsPerBlock; ++j) {
      values.clear();
      values.emplace_back(j);
      values.emplace_back(results.kerma[j]);
      for (int l = 1; l <= kFields; ++l) values.emplace_back(results.field.at(c, l, j));
      text += format.WriteRecord(values);
      text += "\r\n";
    }
  }
  return text;
}

void WriteResultFile(const std::filesystem::path& path, const NormalisedResults& results) {
  CheckNotProgramFile(path);
  WriteFileAtomically(path.string(), ResultFileText(results));
}

std::unique_ptr<ResultTables> ParseResultFile(std::string_view content, const std::string& name) {
  // The same limit as ReadWholeFile's, for a text that came some other way (the browser's
  // upload): a result file is about 80 kB.
  if (content.size() > kMaxInputFileBytes)
    throw InputError(
        Problem(ProblemKind::kFileTooLarge).In(name).WithLimit(std::to_string(kMaxInputFileBytes)));
  // A fresh table: the caller's tables change only when the whole file has been read.
  auto tables = std::make_unique<ResultTables>();
  FreeFormatReader reader(name, content);
  for (int component : {kPrimaryDose, kScatterDose}) {
    for (int i = 1; i <= kDepthBins; ++i) {
      double values[kNumbersPerRecord];
      for (double& v : values) {
        const int record = (component - 1) * kDepthBins + i;
        if (!reader.Next(v))
          throw InputError(Problem(ProblemKind::kResultEndsEarly)
                               .In(name, reader.line())
                               .WithValue(std::to_string(record))
                               .WithLimit(std::to_string(kResultRecords)));
        // The engine writes single-precision values; anything larger is not its file, and
        // would let primary plus scatter overflow.
        if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) {
          char text[32];
          std::snprintf(text, sizeof text, "%.4g", v);
          throw InputError(Problem(ProblemKind::kResultValueTooLarge)
                               .In(name, reader.line())
                               .At(ProblemField::NthRecord(record))
                               .WithValue(text));
        }
      }
      // values[0] is the record's bin index; the order of the numbers places them.
      tables->Kerma[i] = values[1];
      for (int j = 1; j <= kFieldColumns; ++j) tables->DoseTable[component][j][i] = values[1 + j];
    }
  }
  for (int j = 1; j <= kFieldColumns; ++j)
    for (int i = 1; i <= kDepthBins; ++i)
      tables->DoseTable[kTotalDose][j][i] =
          tables->DoseTable[kScatterDose][j][i] + tables->DoseTable[kPrimaryDose][j][i];
  return tables;
}

std::unique_ptr<ResultTables> ReadResultFile(const std::filesystem::path& path,
                                             const std::string& display_name) {
  // A plain file of at most the size every reader of the program takes: a folder or a pipe
  // named "*.data" is refused, and so is a file that only starts like a result.
  return ParseResultFile(ReadWholeFile(path.string(), display_name), display_name);
}

}  // namespace dosavia

#include "engine/result_file.h"

#include <vector>

#include "engine/engine_error.h"
#include "records/file_io.h"
#include "records/fixed_format.h"

namespace dosavia {

float KermaMaximum(const DoseTally& tally) {
  float kmax = 0.0f;
  for (int j = 1; j <= kNormalisationBins; ++j)
    if (tally.Kerma(j) > kmax) kmax = tally.Kerma(j);
  return kmax;
}

NormalisedResults Normalise(const DoseTally& tally, const FieldDoseTable& field) {
  NormalisedResults out;
  out.kmax = KermaMaximum(tally);
  if (!(out.kmax > 0.0f))
    throw EngineError(
        "no primary kerma was scored in the first 5 cm, so the curves cannot be normalised "
        "(too few photons?); no result file was written");
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
  WriteFileAtomically(path.string(), ResultFileText(results));
}

}  // namespace dosavia

#include "gui/result_file.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <system_error>
#include <string>

#include "records/free_format.h"
#include "records/input_error.h"

namespace dosavia::gui {

namespace {

// Far more than 600 records of 127 bytes, however generously they are spaced.
constexpr std::size_t kMaxBytesRead = 8u << 20;

void Report(ResultFileProblem* problem, std::string message) {
  if (problem) problem->message = std::move(message);
}

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; }

}  // namespace

std::unique_ptr<ResultTables> ParseResultFile(std::string_view content, const std::string& name,
                                              ResultFileProblem* problem) {
  // A fresh table: the caller's tables change only when the whole file has been read.
  auto tables = std::make_unique<ResultTables>();
  FreeFormatReader reader(name, content);
  try {
    for (int component : {kPrimaryDose, kScatterDose}) {
      for (int i = 1; i <= kDepthBins; ++i) {
        double values[kNumbersPerRecord];
        for (double& v : values) {
          const int record = (component - 1) * kDepthBins + i;
          if (!reader.Next(v)) {
            Report(problem, name + ", line " + std::to_string(reader.line()) +
                                ": the file ends in record " + std::to_string(record) + " of " +
                                std::to_string(2 * kDepthBins));
            return nullptr;
          }
          // The engine writes single-precision values; anything larger is not its file, and
          // would let primary plus scatter overflow.
          if (std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) {
            char text[32];
            std::snprintf(text, sizeof text, "%.4g", v);
            Report(problem, name + ", line " + std::to_string(reader.line()) + ", record " +
                                std::to_string(record) + ": out of range: " + text +
                                " is larger than any value the engine writes");
            return nullptr;
          }
        }
        // values[0] is the record's bin index; the order of the numbers places them.
        tables->Kerma[i] = values[1];
        for (int j = 1; j <= kFieldColumns; ++j) tables->DoseTable[component][j][i] = values[1 + j];
      }
    }
  } catch (const InputError& e) {
    Report(problem, e.what());
    return nullptr;
  }
  for (int j = 1; j <= kFieldColumns; ++j)
    for (int i = 1; i <= kDepthBins; ++i)
      tables->DoseTable[kTotalDose][j][i] =
          tables->DoseTable[kScatterDose][j][i] + tables->DoseTable[kPrimaryDose][j][i];
  return tables;
}

std::unique_ptr<ResultTables> ReadResultFile(const std::filesystem::path& path,
                                             const std::string& display_name,
                                             ResultFileProblem* problem) {
  // Only a plain file: a folder or a pipe named "*.data" would fail or block the reading.
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    Report(problem, display_name + (std::filesystem::exists(path, ec) ? ": not a plain file"
                                                                      : ": cannot be opened"));
    return nullptr;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Report(problem, display_name + ": cannot be opened");
    return nullptr;
  }
  std::string content(kMaxBytesRead, '\0');
  in.read(content.data(), static_cast<std::streamsize>(content.size()));
  if (in.bad()) {
    Report(problem, display_name + ": cannot be read");
    return nullptr;
  }
  content.resize(static_cast<std::size_t>(in.gcount()));
  // When the file goes on beyond what was read, a number may have been cut in two at the
  // end of the buffer: keep only what lies before the last separator.
  if (content.size() == kMaxBytesRead && in.peek() != std::char_traits<char>::eof()) {
    std::size_t keep = content.size();
    while (keep > 0 && !IsSeparator(content[keep - 1])) --keep;
    content.resize(keep);
  }
  return ParseResultFile(content, display_name, problem);
}

}  // namespace dosavia::gui

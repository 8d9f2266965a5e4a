// The value table of result files, as Dosavia's engine screen measures them (with each
// file's statistics when it has matching ones), as tab-separated text on standard output:
// for scripts that look at many runs at once, such as bench/seed_calibration.sh.
//   result_table FIELD_CM RESULT.data...
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "engine/beam_geometry.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "models/curve_table.h"
#include "records/file_io.h"

int main(int argc, char** argv) {
  using namespace dosavia;
  if (argc < 3) {
    std::cerr << "usage: result_table FIELD_CM RESULT.data...\n";
    return 2;
  }
  int field = 0;
  for (int f = 1; f <= kFields; ++f)
    if (std::to_string(static_cast<int>(kFieldSideCm[f])) == argv[1]) field = f;
  if (field == 0) {
    std::cerr << "result_table: no field of side " << argv[1] << " cm\n";
    return 2;
  }
  std::vector<TableTsvRow> rows;
  try {
    for (int a = 2; a < argc; ++a) {
      const std::filesystem::path path(argv[a]);
      const std::string bytes = ReadWholeFile(path.string(), path.filename().string());
      const auto tables = ParseResultFile(bytes, path.filename().string());
      const auto matched = ReadMatchingRunStatistics(path, bytes, *tables);
      rows.push_back({path.filename().string(), EnergyOfResultFileName(path.filename().string()),
                      field, MeasureCurveSet(*tables, field, matched.statistics.get())});
    }
  } catch (const std::exception& e) {
    std::cerr << "result_table: " << e.what() << "\n";
    return 1;
  }
  std::cout << CurveTableTsv(rows);
  return 0;
}

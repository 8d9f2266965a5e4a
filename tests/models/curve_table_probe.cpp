// Prints the value table Dosavia shows for a result file, one line per field column:
// "field d_max sigma surface% d10% tpr", from the functions the desktop's table calls, for
// the browser edition's tests to compare against.
#include <cstdio>
#include <exception>

#include "engine/result_file.h"
#include "models/curve_metrics.h"
#include "models/curve_table.h"

int main(int argc, char** argv) {
  using namespace dosavia;
  if (argc != 2) {
    std::fprintf(stderr, "usage: curve_table_probe RESULT_FILE\n");
    return 2;
  }
  try {
    const auto tables = ReadResultFile(argv[1], argv[1]);
    for (int field = 1; field <= kFieldColumns; ++field) {
      const auto& dose = tables->DoseTable[kTotalDose][field];
      const CurveMetrics m = MeasureCurve(dose);
      std::printf("%d %.17g %.17g %.17g %.17g %.17g\n", field, m.maximum.depth_cm,
                  DmaxUncertaintyCm(dose, m.maximum), 100 * m.surface_ratio, 100 * m.d10_ratio,
                  Tpr2010(tables->DoseTable[kTotalDose][kReferenceFieldColumn]));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}

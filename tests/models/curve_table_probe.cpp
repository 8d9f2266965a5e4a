// Prints the value table Dosavia shows for a result file, one line per field column:
// "field d_max sigma surface% d10% tpr", from the functions the desktop's table calls, for
// the browser edition's tests to compare against. With --cells first, the cells as the
// table words them instead, tab-separated: "field<TAB>d_max<TAB>surface<TAB>D10<TAB>TPR".
#include <cstdio>
#include <cstring>
#include <exception>

#include "engine/result_file.h"
#include "models/curve_metrics.h"
#include "models/curve_table.h"

int main(int argc, char** argv) {
  using namespace dosavia;
  const bool cells = argc == 3 && std::strcmp(argv[1], "--cells") == 0;
  if (argc != 2 && !cells) {
    std::fprintf(stderr, "usage: curve_table_probe [--cells] RESULT_FILE\n");
    return 2;
  }
  const char* file = argv[argc - 1];
  try {
    const auto tables = ReadResultFile(file, file);
    for (int field = 1; field <= kFieldColumns; ++field) {
      if (cells) {
        const CurveTableCells text = CurveTableText(MeasureCurveSet(*tables, field));
        std::printf("%d\t%s\t%s\t%s\t%s\n", field, text.dmax.c_str(), text.surface.c_str(),
                    text.d10.c_str(), text.tpr.c_str());
        continue;
      }
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

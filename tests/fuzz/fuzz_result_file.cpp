// Fuzz target: the non-visual screen's free-format reading of a result file. A file that
// loads gives finite curves and a total dose that is primary plus scatter; one that does
// not is refused with a reason naming the file and line, and gives no tables at all.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "engine/result_file.h"
#include "records/input_error.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dosavia;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<ResultTables> t;
  try {
    t = ParseResultFile(text, "10MV-30M.data");
  } catch (const InputError& e) {
    FUZZ_CHECK(e.file() == "10MV-30M.data" && e.line() >= 1);
    FUZZ_CHECK(std::string(e.what()).rfind("10MV-30M.data, line ", 0) == 0);
    return 0;
  }
  FUZZ_CHECK(t != nullptr);
  const double largest = std::numeric_limits<float>::max();
  for (int i = 1; i <= kDepthBins; ++i) {
    FUZZ_CHECK(std::fabs(t->Kerma[i]) <= largest);
    for (int j = 1; j <= kFieldColumns; ++j) {
      const double primary = t->DoseTable[kPrimaryDose][j][i];
      const double scatter = t->DoseTable[kScatterDose][j][i];
      FUZZ_CHECK(std::fabs(primary) <= largest && std::fabs(scatter) <= largest);
      FUZZ_CHECK(t->DoseTable[kTotalDose][j][i] == primary + scatter);
      // The screen plots 100 times each value.
      FUZZ_CHECK(std::isfinite(100 * t->DoseTable[kTotalDose][j][i]));
    }
  }
  return 0;
}

// Fuzz target: the fixed-column record reader with every format the programs read by.
// Input: one selector byte (which format), then the record text.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "records/fixed_format.h"
#include "records/free_format.h"
#include "records/input_error.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

const char* const kFormats[] = {"(I3)",           "(F9.6)",         "(E9.3,5E10.3)",
                                "(E10.3,2E12.5)", "(1X,8I6)",       "(1X,4E15.7)",
                                "(A20)",          "(F6.3,A2,E9.3)", "(I4,11E11.4)"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dosavia;
  if (size < 1) return 0;
  const dosavia::FixedFormat format(kFormats[data[0] % std::size(kFormats)]);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const int count = 1 + (data[0] / 16) % 24;
  RecordReader in("fuzz.txt", text);
  try {
    const auto fields = in.Read(format, count);
    FUZZ_CHECK(static_cast<int>(fields.size()) == count);
    for (const auto& f : fields) {
      if (f.kind == FormatItem::Kind::kFixed || f.kind == FormatItem::Kind::kExponent) {
        // Both programs read the same number from the field: the float is the double to
        // within one rounding step, a number too small for a float reads as 0, and one too
        // large for a float never passes the reader.
        const double d = f.As<double>();
        const float x = f.As<float>();
        FUZZ_CHECK(std::isfinite(d) && std::isfinite(x));
        FUZZ_CHECK(std::fabs(static_cast<double>(x) - d) <=
                   std::max<double>(std::numeric_limits<float>::denorm_min(),
                                    std::fabs(d) * std::numeric_limits<float>::epsilon()));
      }
    }
    // What was read writes back in the same layout and reads again to the same numbers.
    std::vector<FieldValue> values;
    for (const auto& f : fields) {
      if (f.kind == FormatItem::Kind::kText)
        values.emplace_back(f.text);
      else if (f.kind == FormatItem::Kind::kInteger)
        values.emplace_back(f.integer);
      else
        values.emplace_back(f.As<double>());
    }
    RecordReader again("again.txt", format.WriteRecord(values));
    try {
      const auto back = again.Read(format, count);
      for (std::size_t k = 0; k < back.size(); ++k)
        if (back[k].kind == FormatItem::Kind::kInteger)
          FUZZ_CHECK(back[k].integer == fields[k].integer);
    } catch (const InputError&) {
      // Values too wide for their field are written as asterisks, which do not read back.
    }
  } catch (const InputError& e) {
    FUZZ_CHECK(e.file() == "fuzz.txt");
    FUZZ_CHECK(e.line() >= 1);
  }
  double v;
  FreeFormatReader free("free.txt", text);
  try {
    while (free.Next(v)) FUZZ_CHECK(std::isfinite(v));
  } catch (const InputError& e) {
    FUZZ_CHECK(e.line() >= 1);
  }
  return 0;
}

// The four shipped X-ray spectra, read by the engine's loader (fixed columns) and by the
// free-format reader of the interactive program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "data_test_support.h"
#include "engine/spectrum_file.h"

namespace dosavia::testing {
namespace {

struct SpectrumCase {
  const char* file;
  double end_point_mev;  // electron kinetic energy, the nominal MV value
  double mean_mev;       // mean photon energy [MeV] of the shipped spectrum (data/README.md)
};

void PrintTo(const SpectrumCase& c, std::ostream* os) { *os << c.file; }

class SpectrumDataTest : public ::testing::TestWithParam<SpectrumCase> {};

double Centre(int i) { return BinEnergy(i) / 1000.0; }

TEST_P(SpectrumDataTest, EngineReadsRelativeWeightsThatEndAtTheEndPoint) {
  const SpectrumCase& c = GetParam();
  const BeamSpectrum s = ReadBeamSpectrumFile(ShippedFile(c.file), c.file);
  double sum = 0, moment = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    EXPECT_GE(s.weight[i], 0.0f) << "bin " << i;
    if (Centre(i) >= c.end_point_mev) {
      EXPECT_EQ(s.weight[i], 0.0f) << "bin " << i;
    }
    sum += s.weight[i];
    moment += s.weight[i] * Centre(i);
  }
  // The last bin below the end point still emits.
  EXPECT_GT(s.weight[static_cast<int>(std::lround(c.end_point_mev / 0.05))], 0.0f);
  const double mean = moment / sum;
  std::printf("[ spectra ] %-8s mean energy %.3f MeV (%.3f of the end point)\n", c.file, mean,
              mean / c.end_point_mev);
  EXPECT_NEAR(mean, c.mean_mev, 0.005);
  // Flattened clinical beams: roughly a third of the nominal energy.
  EXPECT_GT(mean / c.end_point_mev, 0.25);
  EXPECT_LT(mean / c.end_point_mev, 0.40);
}

TEST_P(SpectrumDataTest, FreeFormatReaderSeesEnergyAndWeightPairs) {
  const SpectrumCase& c = GetParam();
  const std::string path = ShippedFile(c.file);
  const FreeFormatSpectrum free = ReadFreeFormatSpectrumFile(path, c.file);
  const BeamSpectrum fixed = ReadBeamSpectrumFile(path, c.file);
  for (int i = 1; i <= kSpectrumBins; ++i) {
    EXPECT_NEAR(free.energy_mev[i], Centre(i), 1e-9) << "record " << i;
    const double share = free.cumulative[i] - (i > 1 ? free.cumulative[i - 1] : 0.0);
    EXPECT_NEAR(share, fixed.weight[i], 1e-6) << "record " << i;
  }
}

TEST_P(SpectrumDataTest, RecordsHaveTheFixedColumns) {
  const SpectrumCase& c = GetParam();
  const CrLfText text = ReadCrLfLines(ShippedFile(c.file));
  EXPECT_TRUE(text.all_crlf);
  ASSERT_EQ(text.lines.size(), static_cast<std::size_t>(kSpectrumBins));
  for (const std::string& line : text.lines) {
    ASSERT_EQ(line.size(), 17u) << line;
    EXPECT_EQ(line.substr(6, 2), ", ") << line;
    EXPECT_EQ(line[13], 'E') << line;  // d.dddE-dd fills columns 9-17
  }
}

INSTANTIATE_TEST_SUITE_P(
    Beams, SpectrumDataTest,
    ::testing::Values(SpectrumCase{"4MV.csv", 4, 1.297}, SpectrumCase{"6MV.csv", 6, 1.860},
                      SpectrumCase{"10MV.csv", 10, 2.935}, SpectrumCase{"15MV.csv", 15, 4.029}),
    [](const auto& info) {
      return std::string(info.param.file).substr(0, info.param.file[1] == 'M' ? 3 : 4);
    });

// The build lays the shipped files beside the binaries; a stale copy would run old data.
TEST(ShippedDataFiles, WorkingDirectoryHoldsTheSameBytes) {
  for (const char* name :
       {"water20.dat", "ELDAT.dat", "4MV.csv", "6MV.csv", "10MV.csv", "15MV.csv"}) {
    const std::string shipped = ReadWholeFile(ShippedFile(name), name);
    const std::string copy = ReadWholeFile(std::string(DOSAVIA_WORKDIR) + "/" + name, name);
    EXPECT_EQ(copy, shipped) << name;
  }
}

}  // namespace
}  // namespace dosavia::testing

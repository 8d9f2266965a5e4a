// The shipped "water20.dat" against its source, the NIST XCOM element tables of hydrogen and
// oxygen, read through the programs' own loader in both precisions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "data_test_support.h"
#include "tools/xcom_table.h"

namespace dosavia::testing {
namespace {

using datagen::MixWater;
using datagen::ReadXcomElement;
using datagen::WaterCoefficients;

const WaterCoefficients& Xcom() {
  static const WaterCoefficients water =
      MixWater(ReadXcomElement(ShippedFile("sources/MDATX3.001")),
               ReadXcomElement(ShippedFile("sources/MDATX3.008")));
  return water;
}

// Index of the XCOM grid energy equal to e [MeV], or -1.
int XcomIndex(double e) {
  const auto& grid = Xcom().energy;
  for (std::size_t k = 0; k < grid.size(); ++k)
    if (std::fabs(grid[k] - e) <= 1e-6 * grid[k]) return static_cast<int>(k);
  return -1;
}

// XCOM's own interpolation in log energy and log coefficient, cubic through the four grid
// energies around e [MeV] (component by component; straight where a neighbour is 0).
double XcomCubicTotal(double e) {
  const WaterCoefficients& w = Xcom();
  const std::vector<double>* components[] = {&w.coherent, &w.incoherent, &w.photoelectric,
                                             &w.pair_nuclear, &w.pair_electron};
  std::size_t hi = 1;
  while (w.energy[hi] <= e) ++hi;
  const std::size_t lo = hi - 1;
  const double x = std::log(e);
  double total = 0;
  for (const std::vector<double>* c : components) {
    const std::vector<double>& v = *c;
    if (!(v[lo] > 0 && v[hi] > 0)) continue;
    if (lo >= 1 && hi + 1 < v.size() && v[lo - 1] > 0 && v[hi + 1] > 0) {
      const std::size_t ids[] = {lo - 1, lo, hi, hi + 1};
      double s = 0;
      for (std::size_t p : ids) {
        double l = 1;
        for (std::size_t q : ids)
          if (q != p)
            l *= (x - std::log(w.energy[q])) / (std::log(w.energy[p]) - std::log(w.energy[q]));
        s += l * std::log(v[p]);
      }
      total += std::exp(s);
    } else {
      const double f = (x - std::log(w.energy[lo])) / std::log(w.energy[hi] / w.energy[lo]);
      total += std::exp(std::log(v[lo]) + f * std::log(v[hi] / v[lo]));
    }
  }
  return total;
}

template <typename Real>
class WaterDataTest : public ::testing::Test {
 protected:
  void SetUp() override { tables_ = LoadShippedTables<Real>(); }
  std::unique_ptr<PhysicsTables<Real>> tables_;
};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(WaterDataTest, Precisions);

TYPED_TEST(WaterDataTest, RowsSpanEveryPhotonEnergyTheProgramsFollow) {
  const auto& t = *this->tables_;
  EXPECT_LE(t.photon_rows, 46);
  EXPECT_LE(t.PhotonTable[1].energy, TypeParam(5.0));
  EXPECT_GE(t.PhotonTable[t.photon_rows].energy, TypeParam(22000));
}

TYPED_TEST(WaterDataTest, EveryRowIsAnXcomGridEnergyWithXcomsCoefficients) {
  const auto& t = *this->tables_;
  const WaterCoefficients& x = Xcom();
  double worst_total = 0;
  for (int i = 1; i <= t.photon_rows; ++i) {
    const PhotonRow<TypeParam>& row = t.PhotonTable[i];
    const int k = XcomIndex(row.energy / 1000.0);
    ASSERT_GE(k, 0) << "row " << i << " (" << row.energy << " keV) is no XCOM grid energy";
    const double expected[] = {x.coherent[k], x.incoherent[k], x.photoelectric[k],
                               x.pair_nuclear[k] + x.pair_electron[k]};
    const double actual[] = {row.coherent, row.incoherent, row.photoelectric, row.pair};
    const char* names[] = {"coherent", "incoherent", "photoelectric", "pair"};
    for (int c = 0; c < 4; ++c) {
      if (expected[c] == 0) {
        EXPECT_EQ(actual[c], 0) << names[c] << " at " << row.energy << " keV";
        continue;
      }
      // Four significant digits in the file, and float rounding.
      EXPECT_NEAR(actual[c] / expected[c], 1.0, 1e-3) << names[c] << " at " << row.energy << " keV";
    }
    const double mu = t.PhotonCoefficients(row.energy).mu;
    const double deviation = std::fabs(mu / x.Total(static_cast<std::size_t>(k)) - 1);
    EXPECT_LT(deviation, 0.005) << "mu/rho at " << row.energy << " keV";
    worst_total = std::max(worst_total, deviation);
  }
  std::printf("[ water20 ] largest deviation of mu/rho from XCOM at the rows: %.3f %%\n",
              100 * worst_total);
}

TYPED_TEST(WaterDataTest, XcomTotalAttenuationAtOneAndTenMeV) {
  struct Case {
    double kev, mu;
  };
  const Case cases[] = {{1000, 0.07072}, {10000, 0.02219}};
  for (const Case& c : cases)
    EXPECT_NEAR(this->tables_->PhotonCoefficients(TypeParam(c.kev)).mu / c.mu, 1.0, 5e-4) << c.kev;
}

// Every XCOM grid energy inside the table that is not a row, and the geometric middle of
// every pair of rows, where the lookup's straight log-log line is compared with XCOM's
// cubic log-log interpolation: the rows are dense enough for the lookup.
TYPED_TEST(WaterDataTest, InterpolationBetweenRowsFollowsXcom) {
  const auto& t = *this->tables_;
  const WaterCoefficients& x = Xcom();
  const double first = t.PhotonTable[1].energy, last = t.PhotonTable[t.photon_rows].energy;
  int off_row = 0;
  for (std::size_t k = 0; k < x.energy.size(); ++k) {
    const double kev = 1000 * x.energy[k];
    if (kev < first || kev > last) continue;
    bool is_row = false;
    for (int i = 1; i <= t.photon_rows; ++i)
      is_row = is_row || std::fabs(t.PhotonTable[i].energy - kev) <= 1e-6 * kev;
    if (is_row) continue;
    ++off_row;
    EXPECT_NEAR(t.PhotonCoefficients(TypeParam(kev)).mu / x.Total(k), 1.0, 0.02) << kev << " keV";
  }
  double worst = 0;
  for (int i = 1; i < t.photon_rows; ++i) {
    const double kev = std::sqrt(double(t.PhotonTable[i].energy) * t.PhotonTable[i + 1].energy);
    const double deviation =
        std::fabs(t.PhotonCoefficients(TypeParam(kev)).mu / XcomCubicTotal(kev / 1000) - 1);
    EXPECT_LT(deviation, 0.02) << kev << " keV";
    worst = std::max(worst, deviation);
  }
  std::printf(
      "[ water20 ] XCOM grid energies off the rows: %d; largest deviation at the "
      "mid-points between rows: %.2f %%\n",
      off_row, 100 * worst);
}

// The atomic functions of a water molecule: 10 electrons, so S(x) tends to 10 and the
// coherent integral starts as F(0)^2 x^2 with F(0)^2 = 2 * 1^2 + 8^2 = 66.
TYPED_TEST(WaterDataTest, AtomicFunctionsHaveTheLimitsOfTenElectrons) {
  const auto& t = *this->tables_;
  const auto& ff = t.FormFactorTable;
  constexpr int n = PhysicsTables<TypeParam>::kFormFactorRows;
  EXPECT_EQ(ff[1].x, 0);
  EXPECT_EQ(ff[1].cumulative, 0);
  EXPECT_EQ(ff[1].incoherent, 0);
  EXPECT_GE(ff[n].x, 10);
  EXPECT_NEAR(t.IncoherentMax, 10, 0.01);
  EXPECT_EQ(t.CoherentCumMax, ff[n].cumulative);
  const double x2 = ff[2].x;
  EXPECT_NEAR(ff[2].cumulative / (x2 * x2), 66, 66 * 0.02);
  for (int i = 2; i <= n; ++i) {
    EXPECT_GE(ff[i].incoherent, ff[i - 1].incoherent) << "row " << i;
    EXPECT_LE(ff[i].incoherent, 10) << "row " << i;
  }
  // Sampling by inversion covers the table from 0 to its end.
  EXPECT_EQ(t.CoherentInverse(0), 0);
  EXPECT_NEAR(t.CoherentInverse(t.CoherentCumMax * TypeParam(0.999999)), ff[n].x, 0.01);
}

TEST(WaterDataFile, ColumnsServeTheFixedAndTheFreeFormatReader) {
  const CrLfText text = ReadCrLfLines(ShippedFile(kWaterDataFile));
  EXPECT_TRUE(text.all_crlf);
  ASSERT_GE(text.lines.size(), 2u);
  const int n = std::stoi(text.lines[0]);
  ASSERT_EQ(text.lines.size(), static_cast<std::size_t>(n + 2 + 45));
  EXPECT_EQ(text.lines[1], " 1.000000");  // density of water [g/cm^3], read and ignored
  const FixedFormat photon("(E9.3,5E10.3)"), form_factor("(E10.3,2E12.5)");
  for (int i = 2; i < n + 2; ++i) {
    EXPECT_EQ(text.lines[i].size(), 59u) << text.lines[i];
    EXPECT_EQ(CrowdedField(text.lines[i], photon), "");
  }
  for (int i = n + 2; i < n + 47; ++i) {
    EXPECT_EQ(text.lines[i].size(), 34u) << text.lines[i];
    EXPECT_EQ(CrowdedField(text.lines[i], form_factor), "");
  }
}

}  // namespace
}  // namespace dosavia::testing

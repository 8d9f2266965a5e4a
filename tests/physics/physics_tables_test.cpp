#include "physics/physics_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <regex>

#include "physics/physics_loader.h"
#include "physics/random_stream.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/problem_text.h"
#include "tests/physics/small_data_files.h"

namespace dosavia {
namespace {

using testing::EldatFile;
using testing::TempDir;
using testing::TypicalWaterRows;
using testing::WaterFile;

template <typename Real>
PhysicsTables<Real> LoadSmall(const TempDir& dir, const std::vector<testing::WaterRow>& rows,
                              double line2 = 0.5) {
  PhysicsTables<Real> t;
  LoadPhysicsTables(t, dir.Write("water20.dat", WaterFile(rows, line2)),
                    dir.Write("ELDAT.dat", EldatFile()));
  return t;
}

template <typename Real>
class PhysicsTablesTest : public ::testing::Test {
 protected:
  TempDir dir_{"tables_test"};
};
using RealTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(PhysicsTablesTest, RealTypes);

TYPED_TEST(PhysicsTablesTest, RowsAreStoredInKeVWithPairColumnsSummed) {
  const auto t = LoadSmall<TypeParam>(this->dir_, TypicalWaterRows());
  ASSERT_EQ(t.photon_rows, 7);
  const auto& row = t.PhotonTable[6];
  EXPECT_EQ(row.energy, static_cast<TypeParam>(10.0) * 1000);
  EXPECT_NEAR(row.pair, 5.9e-3 + 2.1e-4, 1e-9);
  EXPECT_NEAR(row.incoherent, 1.6e-2, 1e-9);
  // 0.511 MeV is exactly 511 keV in double; single precision rounds 0.511 first.
  if constexpr (std::is_same_v<TypeParam, double>)
    EXPECT_EQ(t.PhotonTable[3].energy, 511.0);
  else
    EXPECT_EQ(t.PhotonTable[3].energy, 510.99997f);
  EXPECT_EQ(t.CoherentCumMax, t.FormFactorTable[45].cumulative);
  EXPECT_EQ(t.IncoherentMax, t.FormFactorTable[45].incoherent);
  EXPECT_EQ(t.StepLossFraction, PhysicsTables<TypeParam>::kStepLossFraction);
}

TYPED_TEST(PhysicsTablesTest, LineTwoHasNoEffect) {
  const auto a = LoadSmall<TypeParam>(this->dir_, TypicalWaterRows(), 0.5);
  const auto b = LoadSmall<TypeParam>(this->dir_, TypicalWaterRows(), 9.876543);
  for (TypeParam e : {10.0, 345.6, 1500.0, 19975.0}) {
    EXPECT_EQ(a.PhotonCoefficients(e).mu, b.PhotonCoefficients(e).mu);
    EXPECT_EQ(a.PhotonCoefficients(e).P3, b.PhotonCoefficients(e).P3);
  }
}

TYPED_TEST(PhysicsTablesTest, PhotonCoefficientsAtRowsBetweenRowsAndBeyond) {
  const auto t = LoadSmall<TypeParam>(this->dir_, TypicalWaterRows());
  // At a row energy the interpolation fraction is 0: exactly that row's values.
  const auto& r2 = t.PhotonTable[2];
  const auto at = t.PhotonCoefficients(r2.energy);
  EXPECT_NEAR(at.mu, r2.coherent + r2.incoherent + r2.photoelectric, 1e-6 * at.mu);
  EXPECT_NEAR(at.P1, r2.coherent / at.mu, 1e-6);
  // Below 1022 keV the pair coefficient is 0 and P3 is exactly 1; above, P3 < 1.
  for (TypeParam e : {5.0, 10.0, 200.0, 511.0, 1000.0, 1021.9})
    EXPECT_EQ(t.PhotonCoefficients(e).P3, 1) << e;
  EXPECT_EQ(t.PhotonCoefficients(1500).P3, 1);  // the 1022 keV row holds no pair value
  EXPECT_LT(t.PhotonCoefficients(2500).P3, 1);
  // Log-log interpolation halfway in log energy is the geometric mean of the incoherent values.
  const TypeParam mid = std::sqrt(t.PhotonTable[5].energy * t.PhotonTable[6].energy);
  const auto m = t.PhotonCoefficients(mid);
  const double inc = (m.P2 - m.P1) * m.mu;
  EXPECT_NEAR(inc, std::sqrt(4.9e-2 * 1.6e-2), 1e-5 * inc);
  // An energy at or beyond the last row extrapolates the last interval: finite, no read past.
  for (TypeParam e : {30000.0, 45000.0}) {
    const auto beyond = t.PhotonCoefficients(e);
    EXPECT_TRUE(std::isfinite(beyond.mu) && beyond.mu > 0) << e;
    EXPECT_LE(beyond.P3, 1);
  }
}

TYPED_TEST(PhysicsTablesTest, FormFactorLookups) {
  const auto t = LoadSmall<TypeParam>(this->dir_, TypicalWaterRows());
  // The small table has cum = x^2 on a grid of 0.25, S = 10 (1 - exp(-x)).
  EXPECT_NEAR(t.CoherentInverse(0), 0, 1e-6);
  EXPECT_NEAR(t.CoherentInverse(static_cast<TypeParam>(0.0625)), 0.25, 1e-6);
  EXPECT_NEAR(t.CoherentInverse(static_cast<TypeParam>(0.25)), 0.5, 1e-5);
  EXPECT_LT(t.CoherentInverse(t.CoherentCumMax * static_cast<TypeParam>(0.99993)), 11);
  EXPECT_NEAR(t.IncoherentFunction(static_cast<TypeParam>(0.25)), 10 * (1 - std::exp(-0.25)), 1e-4);
  EXPECT_NEAR(t.IncoherentFunction(static_cast<TypeParam>(0.375)),
              5 * (2 - std::exp(-0.25) - std::exp(-0.5)), 1e-4);
}

TYPED_TEST(PhysicsTablesTest, DeflectionCosineQuantiles) {
  const auto t = LoadSmall<TypeParam>(this->dir_, TypicalWaterRows());
  const TypeParam largest = static_cast<TypeParam>(16383) / RandomStream<TypeParam>::kDivisor;
  const TypeParam scale = PhysicsTables<TypeParam>::kQuantileScale;
  // At a row energy h = 0; r1 = 0 gives exactly column 1 of that row.
  const TypeParam e5 = t.ScatterEnergies[5];
  EXPECT_EQ(t.DeflectionRow(e5), 5);
  EXPECT_EQ(t.DeflectionCosine(e5, 0), std::min<TypeParam>(1, scale * t.ScatterAngleTable[5][1]));
  // The largest uniform interpolates between columns 64 and 65.
  const TypeParam c = t.DeflectionCosine(e5, largest);
  const TypeParam c64 = scale * t.ScatterAngleTable[5][64],
                  c65 = scale * t.ScatterAngleTable[5][65];
  EXPECT_LE(c, c64);
  EXPECT_GE(c, c65);
  EXPECT_NEAR(c, c65, 0.01 * std::fabs(c64 - c65) + 1e-6);
  // Rows 1 and 2 are never used; above row 3 the search extrapolates from rows 3 and 4.
  EXPECT_EQ(t.DeflectionRow(1e6), 3);
  // At or below every energy from row 4 on: no deflection.
  EXPECT_EQ(t.DeflectionRow(t.ScatterEnergies[24]), 0);
  EXPECT_EQ(t.DeflectionCosine(t.ScatterEnergies[24], static_cast<TypeParam>(0.7)), 1);
  EXPECT_EQ(t.DeflectionRow(t.ScatterEnergies[24] * static_cast<TypeParam>(1.001)), 23);
}

TYPED_TEST(PhysicsTablesTest, DeflectionCosineIsClampedToMinusOne) {
  // -16384 times 6.10352E-05 is -1.0000007: the cosine must still be a cosine.
  PhysicsTables<TypeParam> t;
  LoadPhysicsTables(t, this->dir_.Write("water20.dat", WaterFile(TypicalWaterRows())),
                    this->dir_.Write("ELDAT.dat", EldatFile(-16384)));
  const TypeParam largest = static_cast<TypeParam>(16383) / RandomStream<TypeParam>::kDivisor;
  t.ScatterAngleTable[23][64] = t.ScatterAngleTable[23][65] = -16384;
  t.ScatterAngleTable[24][64] = -16384;
  const TypeParam c = t.DeflectionCosine(t.ScatterEnergies[23], largest);
  EXPECT_EQ(c, -1);
  EXPECT_FALSE(std::isnan(std::sqrt(1 - c * c)));
}

// Each bad input: the file contents, which file is broken, and the line and field named.
struct BadDataCase {
  const char* name;
  std::string water;
  std::string eldat;
  const char* file;
  int line;
  const char* field;  // regular expression on the field as the English report names it
  ProblemKind kind;
};

std::string ReplaceLine(const std::string& text, int line, const std::string& with) {
  auto lines = SplitLines(text);
  lines.at(line - 1) = with;
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

std::string FirstLines(const std::string& text, int n) {
  auto lines = SplitLines(text);
  std::string out;
  for (int i = 0; i < n; ++i) out += lines.at(i) + "\r\n";
  return out;
}

std::vector<BadDataCase> BadDataCases() {
  const std::string water = WaterFile(TypicalWaterRows());
  const std::string eldat = EldatFile();
  auto rows = TypicalWaterRows();
  auto unordered = rows;
  std::swap(unordered[3], unordered[4]);
  auto one = rows;
  one.resize(1);
  std::vector<testing::WaterRow> many(47, rows[0]);
  for (int i = 0; i < 47; ++i) many[i][0] = 0.01 * (i + 1);
  return {
      {"short water file", FirstLines(water, 20), eldat, "water20.dat", 21, "",
       ProblemKind::kFileEndsEarly},
      {"row count 1", WaterFile(one), eldat, "water20.dat", 1, "field 1",
       ProblemKind::kPhotonRowCount},
      {"row count 47", WaterFile(many), eldat, "water20.dat", 1, "field 1",
       ProblemKind::kPhotonRowCount},
      {"row count not a number", ReplaceLine(water, 1, "  x"), eldat, "water20.dat", 1, "I3",
       ProblemKind::kNotAnInteger},
      {"energies not ascending", WaterFile(unordered), eldat, "water20.dat", 7, "field 1",
       ProblemKind::kPhotonEnergiesMustAscend},
      {"coefficient not a number",
       ReplaceLine(water, 4, "0.100E+00 2.800E-02 1.6ooE-01 2.760E-03 0.000E+00 0.000E+00"), eldat,
       "water20.dat", 4, "columns 20-29", ProblemKind::kNotANumber},
      {"zero coherent coefficient",
       ReplaceLine(water, 4, "0.100E+00 0.000E+00 1.600E-01 2.760E-03 0.000E+00 0.000E+00"), eldat,
       "water20.dat", 4, "field 2", ProblemKind::kMustBePositive},
      {"form factor x not ascending", ReplaceLine(water, 20, " 0.100E+00 0.12000E+01 0.50000E+01"),
       eldat, "water20.dat", 20, "field 1", ProblemKind::kXMustAscend},
      {"cumulative integral decreasing",
       ReplaceLine(water, 20, " 0.251E+01 0.10000E+01 0.50000E+01"), eldat, "water20.dat", 20,
       "field 2", ProblemKind::kIntegralMustNotDecrease},
      {"coefficient beyond single precision",
       ReplaceLine(water, 4, "0.100E+00 2.800E-02   1.0E+39 2.760E-03 0.000E+00 0.000E+00"), eldat,
       "water20.dat", 4, "columns 20-29", ProblemKind::kBeyondSinglePrecision},
      {"coefficients adding up beyond the range",
       ReplaceLine(water, 4, "0.100E+00 3.000E+38 3.000E+38 2.760E-03 0.000E+00 0.000E+00"), eldat,
       "water20.dat", 4, "fields 2-6", ProblemKind::kCoefficientsTooLarge},
      // A form-factor table that does not start at x = 0 with integral 0, or an S(x) of 0,
      // would leave coherent or Compton sampling rejecting for ever at low energies.
      {"form factor x not starting at 0",
       ReplaceLine(water, 10, " 0.100E+00 0.00000E+00 0.00000E+00"), eldat, "water20.dat", 10,
       "field 1", ProblemKind::kFirstXMustBeZero},
      {"integral not starting at 0", ReplaceLine(water, 10, " 0.000E+00 0.10000E-01 0.00000E+00"),
       eldat, "water20.dat", 10, "field 2", ProblemKind::kIntegralMustStartAtZero},
      {"S(x) zero beyond x = 0", ReplaceLine(water, 11, " 0.250E+00 0.62500E-01 0.00000E+00"),
       eldat, "water20.dat", 11, "field 3", ProblemKind::kMustBePositiveBeyondZero},
      {"short ELDAT", water, FirstLines(eldat, 100), "ELDAT.dat", 101, "",
       ProblemKind::kFileEndsEarly},
      {"quantile not an integer", water, ReplaceLine(eldat, 10, "  16384   1.5"), "ELDAT.dat", 10,
       "field 2 \\(columns 8-13", ProblemKind::kNotAnInteger},
      {"quantile out of range", water,
       ReplaceLine(eldat, 10, "  99999" + SplitLines(eldat)[9].substr(7)), "ELDAT.dat", 10,
       "field 1", ProblemKind::kCosineOutOfRange},
      {"energies not descending", water,
       ReplaceLine(eldat, 218, "  0.1228800E+05  0.9830400E+04  0.9900000E+04  0.6291456E+04"),
       "ELDAT.dat", 218, "field 3", ProblemKind::kEnergiesMustDescend},
  };
}

TYPED_TEST(PhysicsTablesTest, BadDataStopsLoadingAndKeepsTheOldTables) {
  const auto good = LoadSmall<TypeParam>(this->dir_, TypicalWaterRows());
  for (const auto& c : BadDataCases()) {
    PhysicsTables<TypeParam> t = good;
    const std::string water = this->dir_.Write("water20.dat", c.water);
    const std::string eldat = this->dir_.Write("ELDAT.dat", c.eldat);
    try {
      LoadPhysicsTables(t, water, eldat);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const InputError& e) {
      EXPECT_NE(e.file().find(c.file), std::string::npos) << c.name << ": " << e.what();
      EXPECT_EQ(e.line(), c.line) << c.name << ": " << e.what();
      EXPECT_TRUE(
          std::regex_search(FieldText(e.field(), TextLanguage::kEnglish), std::regex(c.field)))
          << c.name << ": " << e.what();
      EXPECT_EQ(e.kind(), c.kind) << c.name << ": " << e.what();
    }
    EXPECT_EQ(t.photon_rows, good.photon_rows) << c.name;
    EXPECT_EQ(t.PhotonTable[7].energy, good.PhotonTable[7].energy) << c.name;
    EXPECT_EQ(t.ScatterAngleTable, good.ScatterAngleTable) << c.name;
    EXPECT_EQ(t.ScatterEnergies, good.ScatterEnergies) << c.name;
  }
}

// Interpolation divides by the difference of two energies' logarithms: energies written
// with more digits than the format's decimals may differ in double yet share a float
// logarithm, which the single-precision engine must refuse rather than divide by 0.
TEST(PhysicsLoaderTest, EnergiesTooCloseForTheirFloatLogarithmsAreRefused) {
  const std::string water =
      ReplaceLine(ReplaceLine(WaterFile(TypicalWaterRows()), 6,
                              "1.1000002 3.600E-04 6.900E-02 4.000E-06 0.000E+00 0.000E+00"),
                  7, "1.1000003 9.700E-05 4.900E-02 1.100E-06 3.900E-04 0.000E+00");
  auto tables = std::make_unique<PhysicsTables<float>>();
  try {
    LoadPhysicsTablesFromText(*tables, "water20.dat", water, "ELDAT.dat", EldatFile());
    ADD_FAILURE() << "no error";
  } catch (const InputError& e) {
    EXPECT_EQ(e.line(), 7) << e.what();
    EXPECT_EQ(e.kind(), ProblemKind::kPhotonEnergyTooClose) << e.what();
  }
  auto wide = std::make_unique<PhysicsTables<double>>();
  LoadPhysicsTablesFromText(*wide, "water20.dat", water, "ELDAT.dat", EldatFile());
  EXPECT_EQ(wide->photon_rows, 7);
}

TYPED_TEST(PhysicsTablesTest, MissingFilesAreNamed) {
  PhysicsTables<TypeParam> t;
  const std::string water = this->dir_.Write("water20.dat", WaterFile(TypicalWaterRows()));
  try {
    LoadPhysicsTables(t, this->dir_.File("nowater.dat"), this->dir_.File("ELDAT.dat"));
    FAIL();
  } catch (const InputError& e) {
    EXPECT_NE(e.file().find("nowater.dat"), std::string::npos);
  }
  try {
    LoadPhysicsTables(t, water, this->dir_.File("noeldat.dat"));
    FAIL();
  } catch (const InputError& e) {
    EXPECT_NE(e.file().find("noeldat.dat"), std::string::npos);
  }
  EXPECT_EQ(t.photon_rows, 0);
}

}  // namespace
}  // namespace dosavia

namespace dosavia {
namespace {

// The bisection must give exactly the row that walking up one row at a time gives, for keys
// below, on, between and above the rows, repeated values, and NaN.
TEST(RowSearch, BisectionFindsTheRowTheUpwardWalkFinds) {
  const std::vector<std::vector<double>> columns = {
      {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
      {0, 0, 0.5, 0.5, 0.5, 2, 2, 3},  // non-decreasing, as the cumulative integral may be
      {0, 1, 2},                       // two rows: the search range is empty and row 2 is taken
      {0, 1, 2, 3},
  };
  for (const auto& col : columns) {
    const int last = static_cast<int>(col.size()) - 1;  // rows 1..last (element 0 unused)
    auto value = [&](int k) { return col[k]; };
    std::vector<double> keys = {-1, std::nan("")};
    for (double v : col) {
      keys.push_back(v);
      keys.push_back(std::nextafter(v, -1e9));
      keys.push_back(v + 0.25);
    }
    for (double key : keys) {
      int walk = 2;
      while (walk < last && !(col[walk] > key)) ++walk;
      EXPECT_EQ(PhysicsTables<double>::FirstAbove(2, last, key, value), walk)
          << "key " << key << " in a column of " << col.size();
    }
  }
}

TEST(RowSearch, DeflectionSearchFromTheLastRowFoundAgreesAlongATrack) {
  testing::TempDir dir("row_search");
  PhysicsTables<float> t;
  LoadPhysicsTables(t, dir.Write("water20.dat", WaterFile(TypicalWaterRows())),
                    dir.Write("ELDAT.dat", EldatFile()));
  int from = 4;
  for (float T = 40000; T > 100; T -= t.StepLossFraction * T) {
    const int row = t.DeflectionRow(T, from);
    ASSERT_EQ(row, t.DeflectionRow(T)) << T;
    if (row != 0) from = row + 1;
  }
}

}  // namespace
}  // namespace dosavia

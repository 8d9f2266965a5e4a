// The multi-core mode against the single stream: block seeds, the statistical equivalence
// of the two modes' depth doses, and the scoring thread's identical tally.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <memory>
#include <set>
#include <span>
#include <vector>

#include "engine/beam_spectrum.h"
#include "engine/block_streams.h"
#include "engine/field_superposition.h"
#include "engine/phantom_file.h"
#include "engine/pencil_beam.h"
#include "engine/scoring_thread.h"
#include "physics/electron_data.h"
#include "physics/physics_loader.h"

namespace dosavia {
namespace {

const std::string kDataDir = DOSAVIA_DATA_DIR;

// Block streams must be independent of one another and of the single stream: no four
// consecutive integers (56 bits) of the first 4096 of any stream recur in another, as they
// would if a block were a shifted copy of another stream.
TEST(BlockStreamsTest, BlocksStartDifferentNonOverlappingStreams) {
  constexpr int kBlocks = 64;
  constexpr int kNumbers = 4096;
  std::set<std::uint64_t> seen;
  int repeats = 0;
  const auto add_stream = [&](RandomStream<float>& random) {
    std::uint64_t window = 0;
    std::set<std::uint64_t> own;
    for (int n = 0; n < kNumbers; ++n) {
      window = (window << 14 | static_cast<std::uint64_t>(random.Step())) & ((1ull << 56) - 1);
      if (n >= 3) own.insert(window);
    }
    for (const std::uint64_t w : own) repeats += seen.insert(w).second ? 0 : 1;
  };
  RandomStream<float> single;
  add_stream(single);
  for (int b = 0; b < kBlocks; ++b) {
    RandomStream<float> random;
    SeedBlockStream(random, b);
    EXPECT_EQ(random.J, 14);  // the 1000 warm-up steps were made
    EXPECT_EQ(random.K, 45);
    RandomStream<float> again;
    SeedBlockStream(again, b);
    EXPECT_EQ(random.A, again.A) << "block " << b;
    add_stream(random);
  }
  EXPECT_EQ(repeats, 0);
}

// The same photons in either mode: the 10 x 10 cm total dose per slab of a 10 MV run must
// agree within noise over slabs 5..250. The noise of each slab comes from the single stream
// split into batches; the block run has the same per-history variance. A chi-square far
// above its degrees of freedom means different physics or lost histories; far below, that
// the two modes share random numbers. 1.00E+06 photons (1.00E+05 under the sanitizers).
TEST(BlockStreamsTest, DepthDoseAgreesWithTheSingleStreamWithinNoise) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr float kPhotons = 1.0e5f;
#else
  constexpr float kPhotons = 1.0e6f;
#endif
  constexpr int kBatches = 20;
  constexpr int kField = 8;  // 10 x 10 cm
  auto tables = std::make_unique<PhysicsTables<float>>();
  LoadPhysicsTables(*tables, kDataDir + "/water20.dat", kDataDir + "/ELDAT.dat");
  tables->SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
  const BeamSpectrum spectrum = ReadBeamSpectrumFile(kDataDir + "/10MV.csv", "10MV.csv");
  const std::span<const float, kSlabs + 1> widths(tables->DepthBinWidth);
  const auto total_dose = [&](const DoseTally& tally) {
    auto field = std::make_unique<FieldDoseTable>();
    Superpose(tally, *field);
    std::vector<double> d(kSlabs + 1);
    for (int k = 1; k <= kSlabs; ++k)
      d[k] = double(field->at(kPrimary, kField, k)) + field->at(kScatter, kField, k);
    return d;
  };

  // The single stream, its histories dealt in turn into batches that each see the whole
  // spectrum.
  RandomStream<float> random;
  std::vector<std::unique_ptr<DoseTally>> batch_tallies;
  std::vector<std::unique_ptr<PencilBeam>> beams;
  for (int b = 0; b < kBatches; ++b) {
    batch_tallies.push_back(std::make_unique<DoseTally>(widths));
    beams.push_back(std::make_unique<PencilBeam>(*tables, random, *batch_tallies.back()));
  }
  std::int64_t histories = 0;
  RunSpectrumBins(
      spectrum, kPhotons, [](int) {},
      [&](float energy) { beams[histories++ % kBatches]->RunHistory(energy); });
  beams.clear();
  std::vector<double> sum(kSlabs + 1), sum2(kSlabs + 1);
  for (const auto& t : batch_tallies) {
    const std::vector<double> d = total_dose(*t);
    for (int k = 1; k <= kSlabs; ++k) {
      sum[k] += d[k];
      sum2[k] += d[k] * d[k];
    }
  }

  auto blocks = std::make_unique<DoseTally>(widths);
  EXPECT_EQ(RunBlockStreams(*tables, spectrum, kPhotons, 2, *blocks, [](int) {}), histories);
  const std::vector<double> block_dose = total_dose(*blocks);

  double chi2 = 0;
  int dof = 0;
  for (int k = 5; k <= 250; ++k, ++dof) {
    const double mean = sum[k] / kBatches;
    const double var_total =
        kBatches * (sum2[k] / kBatches - mean * mean) * kBatches / (kBatches - 1);
    const double diff = sum[k] - block_dose[k];
    chi2 += diff * diff / (2 * var_total);
  }
  EXPECT_GT(chi2, 0.5 * dof);
  EXPECT_LT(chi2, 1.8 * dof);
  std::cout << "chi-square " << chi2 << " for " << dof << " slabs\n";
}

// The blocks run on the calling thread alone (one thread, as where no thread can start) or
// on several give one tally to the last bit; a request for no thread still runs them all.
// So do a slab phantom's blocks in the accurate transport.
TEST(BlockStreamsTest, AnyThreadCountGivesTheSameTally) {
  auto tables = std::make_unique<PhysicsTables<float>>();
  LoadPhysicsTables(*tables, kDataDir + "/water20.dat", kDataDir + "/ELDAT.dat");
  LoadElectronData(tables->electrons, kDataDir + "/ELACC.dat");
  tables->SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
  const BeamSpectrum spectrum = ReadBeamSpectrumFile(kDataDir + "/6MV.csv", "6MV.csv");
  const std::span<const float, kSlabs + 1> widths(tables->DepthBinWidth);
  const SlabLayers<float> lung = ParsePhantom("water 3\nlung 10\n", "lung.txt").Layers();
  PhysicsSwitches accurate;
  accurate.accurate_transport = true;
  struct Case {
    const SlabLayers<float>* layers;
    PhysicsSwitches physics;
    float photons;  // a few blocks, the last one short
  };
  for (const Case& run : {Case{nullptr, {}, 3.0e4f}, Case{&lung, accurate, 2.6e4f}}) {
    std::unique_ptr<DoseTally> first;
    std::vector<int> first_bins;
    std::int64_t first_histories = 0;
    for (const int threads : {1, 3, 0, 2}) {
      auto tally = std::make_unique<DoseTally>(widths);
      std::vector<int> bins;
      const std::int64_t histories = RunBlockStreams(
          *tables, spectrum, run.photons, threads, *tally, [&bins](int i) { bins.push_back(i); },
          run.physics, RunSeed{7}, nullptr, run.layers);
      const std::string what =
          std::to_string(threads) + " threads" + (run.layers ? ", lung slab" : "");
      EXPECT_GT(histories, 3 * kBlockHistories) << what;
      if (!first) {
        first = std::move(tally);
        first_bins = bins;
        first_histories = histories;
        continue;
      }
      EXPECT_EQ(histories, first_histories) << what;
      EXPECT_EQ(bins, first_bins) << what;
      for (int c = 1; c <= kComponents; ++c)
        for (int k = 1; k <= kSlabs; ++k)
          for (int j = 1; j <= kRings; ++j)
            ASSERT_EQ(tally->RingDose(c, j, k), first->RingDose(c, j, k))
                << what << ": " << c << " " << j << " " << k;
      for (int b = 1; b <= kKermaBins; ++b) ASSERT_EQ(tally->Kerma(b), first->Kerma(b)) << what;
    }
  }
}

// The scoring thread applies the ring scores in event order: the tally is the same to the
// last bit as when the transport scores them itself.
TEST(BlockStreamsTest, ScoringThreadGivesTheSameTally) {
  auto tables = std::make_unique<PhysicsTables<float>>();
  LoadPhysicsTables(*tables, kDataDir + "/water20.dat", kDataDir + "/ELDAT.dat");
  tables->SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
  const std::span<const float, kSlabs + 1> widths(tables->DepthBinWidth);
  auto direct = std::make_unique<DoseTally>(widths);
  auto threaded = std::make_unique<DoseTally>(widths);
  {
    RandomStream<float> random;
    PencilBeam beam(*tables, random, *direct);
    for (int h = 0; h < 20000; ++h) beam.RunHistory(BinEnergy(1 + h % 300));
  }
  {
    RandomStream<float> random;
    ScoringThread scorer(*threaded);
    {
      PencilBeam beam(*tables, random, *threaded, scorer);
      for (int h = 0; h < 20000; ++h) beam.RunHistory(BinEnergy(1 + h % 300));
    }
    scorer.Finish();
  }
  for (int c = 1; c <= kComponents; ++c)
    for (int k = 1; k <= kSlabs; ++k)
      for (int j = 1; j <= kRings; ++j)
        ASSERT_EQ(direct->RingDose(c, j, k), threaded->RingDose(c, j, k))
            << c << " " << j << " " << k;
  for (int b = 1; b <= kKermaBins; ++b) ASSERT_EQ(direct->Kerma(b), threaded->Kerma(b));
  EXPECT_TRUE(threaded->AllFinite());
  threaded->ScoreLocal({25.0f, 25.0f, 1.0f}, std::numeric_limits<float>::quiet_NaN(), kScatter);
  EXPECT_FALSE(threaded->AllFinite());
}

}  // namespace
}  // namespace dosavia

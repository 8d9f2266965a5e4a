// The engine with parts of the physics switched off: what each experiment of the lesson must
// show in the tallies, and the command line and result names that keep such a result from
// being taken for a full one.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/beam_spectrum.h"
#include "engine/block_streams.h"
#include "engine/command_line.h"
#include "engine/conditions_file.h"
#include "engine/field_superposition.h"
#include "engine/pencil_beam.h"
#include "engine/physics_switch_names.h"
#include "physics/physics_loader.h"

namespace dosavia {
namespace {

const std::string kDataDir = DOSAVIA_DATA_DIR;

const PhysicsTables<float>& EngineTables() {
  static const std::unique_ptr<PhysicsTables<float>> tables = [] {
    auto t = std::make_unique<PhysicsTables<float>>();
    LoadPhysicsTables(*t, kDataDir + "/water20.dat", kDataDir + "/ELDAT.dat");
    t->SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
    return t;
  }();
  return *tables;
}

std::unique_ptr<DoseTally> RunMono(float energy_kev, int histories,
                                   const PhysicsSwitches& physics) {
  auto tally =
      std::make_unique<DoseTally>(std::span<const float, kSlabs + 1>(EngineTables().DepthBinWidth));
  RandomStream<float> random;
  random.Seed();
  PencilBeam beam(EngineTables(), random, *tally, physics);
  for (int h = 0; h < histories; ++h) beam.RunHistory(energy_kev);
  return tally;
}

// Primary dose of slab k summed over all rings [keV].
double PrimaryDose(const DoseTally& tally, int k) {
  double d = 0;
  for (int j = 1; j <= kRings; ++j) d += tally.RingDose(kPrimary, j, k);
  return d;
}

// Without electron transport every electron's energy stays where the primary photon set it
// in motion: the primary dose is the primary kerma from the first slab on, with no build-up.
// With it, the first millimetre gets far less than its kerma.
TEST(PhysicsSwitchesEngine, WithoutElectronTransportPrimaryDoseIsPrimaryKerma) {
  PhysicsSwitches kerma_only;
  kerma_only.electron_transport = false;
  const struct {
    const char* name;
    PhysicsSwitches physics;
    double first_slab_low, first_slab_high;
  } cases[] = {
      {"without electron transport", kerma_only, 0.97, 1.03},
      {"full physics", PhysicsSwitches{}, 0.0, 0.6},
  };
  for (const auto& c : cases) {
    const auto tally = RunMono(6000.0f, 40000, c.physics);
    const double ratio1 = PrimaryDose(*tally, 1) / tally->Kerma(1);
    EXPECT_GT(ratio1, c.first_slab_low) << c.name;
    EXPECT_LT(ratio1, c.first_slab_high) << c.name;
    if (&c != &cases[0]) continue;
    // Every centimetre of the first 15 cm: dose and kerma within 3 standard deviations of
    // the kerma's count.
    for (int cm = 0; cm < 15; ++cm) {
      double dose = 0, kerma = 0;
      for (int k = 10 * cm + 1; k <= 10 * cm + 10; ++k) {
        dose += PrimaryDose(*tally, k);
        kerma += tally->Kerma(k);
      }
      ASSERT_GT(kerma, 0) << cm;
      const double events = kerma / 3000.0;  // roughly, a few MeV per interaction
      EXPECT_NEAR(dose / kerma, 1.0, 3.0 / std::sqrt(events)) << c.name << ", cm " << cm;
    }
  }
}

// Primary photons only: nothing is scored in the scatter component anywhere.
TEST(PhysicsSwitchesEngine, WithoutPhotonScatterTheScatterDoseIsZero) {
  PhysicsSwitches primary_only;
  primary_only.photon_scatter = false;
  const auto tally = RunMono(10000.0f, 5000, primary_only);
  double scatter = 0, primary = 0;
  for (int k = 1; k <= kSlabs; ++k)
    for (int j = 1; j <= kRings; ++j) {
      scatter += tally->RingDose(kScatter, j, k);
      primary += tally->RingDose(kPrimary, j, k);
    }
  EXPECT_EQ(scatter, 0.0);
  EXPECT_GT(primary, 0.0);
}

// Electrons kept on their starting direction stay near the axis of a narrow field: a 1 x 1 cm
// field of the 10 MV beam keeps clearly more central-axis dose over its first 10 cm.
TEST(PhysicsSwitchesEngine, WithoutMultipleScatteringANarrowFieldKeepsMoreDose) {
  const BeamSpectrum spectrum = ReadBeamSpectrumFile(kDataDir + "/10MV.csv", "10MV.csv");
  PhysicsSwitches straight;
  straight.multiple_scattering = false;
  double axis_dose[2] = {0, 0};
  for (int run = 0; run < 2; ++run) {
    DoseTally tally(std::span<const float, kSlabs + 1>(EngineTables().DepthBinWidth));
    RunBlockStreams(
        EngineTables(), spectrum, 3.0e4f, 1, tally, [](int) {},
        run == 0 ? PhysicsSwitches{} : straight);
    auto field = std::make_unique<FieldDoseTable>();
    Superpose(tally, *field);
    for (int k = 1; k <= 100; ++k)
      axis_dose[run] += field->at(kPrimary, 1, k) + field->at(kScatter, 1, k);
  }
  EXPECT_GT(axis_dose[1], 1.1 * axis_dose[0]);
}

// The default instantiation is what the engine always ran: the same tally, cell for cell,
// whether the switches are left out or given all on.
TEST(PhysicsSwitchesEngine, AllOnIsTheFullPhysics) {
  const auto a = RunMono(4000.0f, 2000, PhysicsSwitches{});
  auto b =
      std::make_unique<DoseTally>(std::span<const float, kSlabs + 1>(EngineTables().DepthBinWidth));
  RandomStream<float> random;
  random.Seed();
  PencilBeam beam(EngineTables(), random, *b);
  for (int h = 0; h < 2000; ++h) beam.RunHistory(4000.0f);
  std::vector<float> ca(DoseTally::kCellCount), cb(DoseTally::kCellCount);
  a->CopyCellsTo(std::span<float, DoseTally::kCellCount>(ca));
  b->CopyCellsTo(std::span<float, DoseTally::kCellCount>(cb));
  EXPECT_EQ(ca, cb);
}

TEST(PhysicsSwitchesEngine, CommandLine) {
  const struct {
    std::vector<std::string_view> args;
    bool ok;
    std::string tag;      // of the switches parsed
    const char* message;  // part of the error
  } cases[] = {
      {{}, true, "", ""},
      {{"--without", "electron-transport"}, true, "-noe", ""},
      {{"--without", "pair", "--without", "coherent"}, true, "-nocp", ""},
      {{"--without", "pair", "--without", "pair"}, true, "-nop", ""},
      {{"--threads", "2", "--without", "photon-scatter"}, true, "-nos", ""},
      {{"--without", "multiple-scattering", "--threads", "0"}, true, "-nom", ""},
      {{"--without", "electron-transport", "--without", "multiple-scattering", "--without",
        "photon-scatter", "--without", "coherent", "--without", "pair"},
       true,
       "-noemscp",
       ""},
      {{"--without"}, false, "", "--without needs"},
      {{"--without", "electrons"}, false, "", "not 'electrons'"},
      {{"--without", "--threads", "2"}, false, "", "not '--threads'"},
      {{"--accurate"}, true, "", ""},
      {{"--threads", "2", "--accurate", "--seed", "3"}, true, "", ""},
      {{"--accurate", "--accurate"}, false, "", "--accurate given twice"},
      {{"--accurate", "--without", "pair"}, false, "", "cannot be combined with --without"},
      {{"--without", "pair", "--accurate"}, false, "", "cannot be combined with --without"},
      {{"--phantom", "lung.txt"}, true, "", ""},
      {{"--seed", "2", "--phantom", "lung.txt", "--accurate"}, true, "", ""},
      {{"--phantom"}, false, "", "--phantom needs"},
      {{"--phantom", ""}, false, "", "--phantom needs"},
      {{"--phantom", "a", "--phantom", "b"}, false, "", "--phantom given twice"},
      {{"--phantom", "a", "--threads", "2"}, true, "", ""},
      {{"--phantom", "a", "--without", "pair"}, false, "", "--phantom cannot be combined"},
  };
  for (const auto& c : cases) {
    const CommandLine line = ParseCommandLine(c.args);
    std::string joined;
    for (auto a : c.args) joined += std::string(a) + " ";
    EXPECT_EQ(line.action == CommandLine::Action::kRun, c.ok) << joined;
    if (c.ok) {
      EXPECT_EQ(PhysicsTag(line.physics), c.tag) << joined;
      // A slab phantom runs the accurate transport.
      const bool phantom = std::ranges::find(c.args, "--phantom") != c.args.end();
      const bool accurate = phantom || std::ranges::find(c.args, "--accurate") != c.args.end();
      EXPECT_EQ(line.phantom_file.empty(), !phantom) << joined;
      EXPECT_EQ(line.physics.accurate_transport, accurate) << joined;
      EXPECT_EQ(TransportArguments(line.physics).size(), accurate ? 1u : 0u) << joined;
    } else {
      EXPECT_NE(line.error.find(c.message), std::string::npos) << joined << ": " << line.error;
    }
  }
}

// What a front end passes to start the engine: every combination of switches, written as
// arguments, reads back as the same switches, alone and after the block streams' option.
TEST(PhysicsSwitchesEngine, WithoutArgumentsReadBackAsTheirSwitches) {
  for (int bits = 0; bits < 32; ++bits) {
    PhysicsSwitches s;
    for (int i = 0; i < 5; ++i)
      if (bits & (1 << i)) s.*kPhysicsSwitchNames[i].member = false;
    const std::vector<std::string> written = WithoutArguments(s);
    const int off = std::popcount(static_cast<unsigned>(bits));
    EXPECT_EQ(written.size(), 2 * static_cast<std::size_t>(off)) << bits;
    for (const bool threads : {false, true}) {
      std::vector<std::string_view> args;
      if (threads) args = {"--threads", "0"};
      args.insert(args.end(), written.begin(), written.end());
      const CommandLine line = ParseCommandLine(args);
      ASSERT_EQ(line.action, CommandLine::Action::kRun) << bits << ": " << line.error;
      EXPECT_TRUE(line.physics == s) << bits;
      EXPECT_EQ(line.threads.has_value(), threads) << bits;
    }
  }
}

// Result names: the full physics keeps today's names; every switched combination gets a tag
// that reads back to the same switches, and no two combinations share a name.
TEST(PhysicsSwitchesEngine, ResultNamesCarryTheSwitches) {
  std::vector<std::string> names;
  for (int bits = 0; bits < 32; ++bits) {
    PhysicsSwitches s;
    for (int i = 0; i < 5; ++i)
      if (bits & (1 << i)) s.*kPhysicsSwitchNames[i].member = false;
    const std::string name = TaggedResultFileName("15MV-2147M.data", s);
    if (bits == 0) {
      EXPECT_EQ(name, "15MV-2147M.data");
    }
    // The longest, "15MV-2147M-noemscp.data", is 23 bytes: the tag adds at most 8.
    EXPECT_LE(name.size(), std::string("15MV-2147M.data").size() + 8) << name;
    const ResultNameParts parts = ParseResultFileName(name);
    EXPECT_EQ(parts.energy, "15") << name;
    EXPECT_EQ(parts.photons, "2147000000") << name;
    EXPECT_TRUE(parts.physics == s) << name;
    for (const std::string& other : names) EXPECT_NE(name, other);
    names.push_back(name);
  }
  const struct {
    const char* name;
    const char* energy;
    const char* photons;
    std::string tag;
    bool accurate = false;     // marked as the screens mark a run in the accurate transport
    const char* phantom = "";  // the slab phantom's mark; a phantom runs the accurate transport
  } read_back[] = {
      {"10MV-30M.data", "10", "30000000", ""},
      {"10MV-30M-noe.data", "10", "30000000", "-noe"},
      {"7.5MV-1M-nosp.data", "7.5", "1000000", "-nosp"},
      {"10MV-100K-noe.data", "10", "100000", "-noe"},
      {"10MV-30M-run2.data", "10", "", ""},  // a renamed copy is full physics
      {"10MV-30M-nope.data", "10", "", ""},  // letters out of order: not a tag
      {"10MV-30M-noee.data", "10", "", ""},  // a letter twice: not a tag
      {"10MV-30M-no.data", "10", "", ""},    // no letter: not a tag
      {"mine-noe.data", "", "", "-noe"},     // a renamed result still says what was off
      {"10MV-30M-acc.data", "10", "30000000", "", true},
      {"10MV-30M-acc2.data", "10", "", "", false},  // a renamed copy, not the mark
      {"10MV-30M-lung.data", "10", "30000000", "", true, "lung"},
      {"6MV-1M-bolus.data", "6", "1000000", "", true, "bolus"},
      {"15MV-100K-slab.data", "15", "100000", "", true, "slab"},
      {"10MV-30M-water.data", "10", "", "", false, ""},  // water is no phantom
      {"10MV-30M-glass.data", "10", "", "", false, ""},  // no material of the layers
  };
  for (const auto& c : read_back) {
    const ResultNameParts parts = ParseResultFileName(c.name);
    EXPECT_EQ(parts.energy, c.energy) << c.name;
    EXPECT_EQ(parts.photons, c.photons) << c.name;
    EXPECT_EQ(PhysicsTag(parts.physics), c.tag) << c.name;
    EXPECT_EQ(parts.physics.accurate_transport, c.accurate) << c.name;
    EXPECT_EQ(parts.phantom, c.phantom) << c.name;
  }
  PhysicsSwitches no_e;
  no_e.electron_transport = false;
  EXPECT_EQ(TaggedResultFileName("r.data", no_e), "r-noe.data");
  EXPECT_EQ(TaggedResultFileName("result", no_e), "result-noe");
  EXPECT_EQ(TaggedResultFileName("R.DATA", no_e), "R-noe.DATA");
  EXPECT_EQ(AccurateResultFileName("R.DATA"), "R-acc.DATA");
  EXPECT_EQ(PhantomResultFileName("R.DATA", "lung"), "R-lung.DATA");
}

}  // namespace
}  // namespace dosavia

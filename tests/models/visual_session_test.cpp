// The visual screen's session as both front ends drive it: tables of user actions and the
// state each leaves, once for Dosavia's screen and the browser's page.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "models/visual_session.h"
#include "records/input_error.h"

namespace dosavia {
namespace {

enum class Act {
  kOk,
  kShow,
  kGo,
  kGraphClear,
  kReset,
  kElectronsOff,
  kAllOn,
  kAccurate,
  kKeep,
  kPhantom  // `energy` is the link's value
};

struct Step {
  Act act;
  const char* energy = "10";  // kOk, kShow
  const char* field = "4×4";  // kOk, kShow; kGo: the seed text ("0": the fixed sequence)
  long long photons = 0;      // kGo
  // The state after the step.
  VisualState state;
  long long total;
  bool new_series;                // the step started a new series (the views clear their tracks)
  bool reference;                 // a reference curve is kept
  const char* phantom = "water";  // the phantom in force as a link names it
  int slab_note = -1;  // 1: the curve's label is the slab's note, not d_max; -1: not read
};

struct Scenario {
  const char* name;
  std::vector<Step> steps;
};

constexpr auto kSettings = VisualState::kSettings;
constexpr auto kConfirmed = VisualState::kConfirmed;

class VisualSessionTest : public ::testing::TestWithParam<Scenario> {
 protected:
  static void SetUpTestSuite() { std::filesystem::current_path(DOSAVIA_DATA_DIR); }
};

TEST_P(VisualSessionTest, ActionsLeaveTheState) {
  auto session = std::make_unique<VisualSession>();
  session->Init();
  NullObserver<double> drawer;
  int n = 0;
  for (const Step& step : GetParam().steps) {
    const long long series = session->NewSeries();
    switch (step.act) {
      case Act::kOk:
        EXPECT_EQ(session->Confirm(step.energy, step.field), ConfirmRefusal::kNone);
        break;
      case Act::kShow: session->ShowSettings(step.energy, step.field); break;
      case Act::kGo:
        if (session->BeginBatch(step.field)) {
          for (long long i = 0; i < step.photons; ++i)
            session->TrackPhoton(session->NextPhoton(), drawer);
          session->EndBatch();
        }
        break;
      case Act::kGraphClear: session->GraphClear(); break;
      case Act::kReset:
        session->Reset();
        EXPECT_EQ(session->Physics(), kVisualOpening.physics);
        break;
      case Act::kElectronsOff: session->SwitchPhysics({.electron_transport = false}); break;
      case Act::kAllOn: session->SwitchPhysics({}); break;
      case Act::kAccurate: session->SwitchPhysics({.accurate_transport = true}); break;
      case Act::kKeep: session->KeepCurve(); break;
      case Act::kPhantom: EXPECT_TRUE(session->ChoosePhantom(step.energy)); break;
    }
    const std::string where = std::string(GetParam().name) + ", step " + std::to_string(++n);
    EXPECT_EQ(session->State(), step.state) << where;
    EXPECT_EQ(session->TotalPhotons(), step.total) << where;
    EXPECT_EQ(session->Tally().Histories(), step.total) << where;
    long long histogram = 0;
    for (long long count : session->Simulation().SpectrumTally()) histogram += count;
    EXPECT_EQ(histogram, step.total) << where;
    EXPECT_EQ(session->NewSeries() != series, step.new_series) << where;
    EXPECT_EQ(session->Reference().has_maximum, step.reference) << where;
    EXPECT_EQ(session->PhantomLink(), step.phantom) << where;
    // A phantom runs the accurate transport whatever was switched; water what was.
    if (session->HasPhantom()) {
      EXPECT_EQ(session->Physics(), PhysicsSwitches{.accurate_transport = true}) << where;
    }
    EXPECT_EQ(session->Bands().empty(), !session->HasPhantom()) << where;
    if (step.slab_note >= 0) {
      const DepthDoseReading reading = session->ReadCurve(false);
      EXPECT_EQ(reading.verdict == DepthDoseReading::Verdict::kSlab, step.slab_note == 1) << where;
      if (step.slab_note == 1) EXPECT_FALSE(reading.settled || reading.fits_firm) << where;
    }
  }
}

const std::vector<Scenario> kScenarios = {
    // Go runs only the beam on screen: a box changed after OK needs OK again, and the
    // boxes shown as confirmed (the field typed otherwise) let Go run again.
    Scenario{"boxes follow OK",
             {{Act::kGo, "10", "0", 10, kSettings, 0, false, false},
              {Act::kOk, "10", "4×4", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "0", 100, kConfirmed, 100, false, false},
              {Act::kShow, "4", "4×4", 0, kSettings, 100, false, false},
              {Act::kGo, "10", "0", 10, kSettings, 100, false, false},
              {Act::kShow, "10", "4x4", 0, kConfirmed, 100, false, false},
              {Act::kShow, "10", "7x7", 0, kSettings, 100, false, false},
              {Act::kShow, "10", " 4 X 4 ", 0, kConfirmed, 100, false, false},
              {Act::kGo, "10", "0", 50, kConfirmed, 150, false, false}}},
    // A new beam is a new series: curve, histogram, total and tracks start again; the
    // same beam confirmed again keeps its series.
    Scenario{"a new beam starts a new series",
             {{Act::kOk, "10", "4×4", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "0", 200, kConfirmed, 200, false, false},
              {Act::kOk, "10", "4x4", 0, kConfirmed, 200, false, false},
              {Act::kOk, "4", "4×4", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "0", 100, kConfirmed, 100, false, false},
              {Act::kOk, "4", "10×10", 0, kConfirmed, 0, true, false}}},
    // Graph clear keeps the settings; Reset returns to Settings with the full physics.
    Scenario{"graph clear and reset",
             {{Act::kOk, "10", "4×4", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "0", 100, kConfirmed, 100, false, false},
              {Act::kGraphClear, "", "", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "0", 30, kConfirmed, 30, false, false},
              {Act::kElectronsOff, "", "", 0, kConfirmed, 0, true, true},
              {Act::kGo, "10", "0", 30, kConfirmed, 30, false, true},
              {Act::kReset, "", "", 0, kSettings, 0, true, false},
              {Act::kShow, "10", "4×4", 0, kSettings, 0, false, false},
              {Act::kGo, "10", "0", 10, kSettings, 0, false, false},
              {Act::kOk, "10", "4×4", 0, kConfirmed, 0, false, false}}},
    // A switch keeps the curve so far as the reference; a switch before any new curve
    // keeps it; Graph clear drops it. The fixed sequence (seed 0) gives a readable
    // curve at 3000 photons.
    Scenario{"a switch keeps the last curve as reference",
             {{Act::kOk, "10", "10×10", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "0", 3000, kConfirmed, 3000, false, false},
              {Act::kElectronsOff, "", "", 0, kConfirmed, 0, true, true},
              {Act::kAllOn, "", "", 0, kConfirmed, 0, true, true},
              {Act::kGraphClear, "", "", 0, kConfirmed, 0, true, false}}},
    // The accurate transport is switched as a part of the physics is (its data read then),
    // runs its batches, and Reset returns to the exact one.
    Scenario{"the accurate transport is a switch",
             {{Act::kOk, "10", "4×4", 0, kConfirmed, 0, true, false},
              {Act::kAccurate, "", "", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "0", 100, kConfirmed, 100, false, false},
              {Act::kReset, "", "", 0, kSettings, 0, true, false}}},
    // Keep this curve: kept through OK with another beam (4 MV beside 15 MV), where an
    // unkept reference goes; nothing to keep before a curve; Graph clear drops it.
    Scenario{"a kept curve stays beside another beam",
             {{Act::kOk, "4", "10×10", 0, kConfirmed, 0, true, false},
              {Act::kKeep, "", "", 0, kConfirmed, 0, false, false},
              {Act::kGo, "10", "0", 3000, kConfirmed, 3000, false, false},
              {Act::kKeep, "", "", 0, kConfirmed, 3000, false, true},
              {Act::kOk, "15", "10×10", 0, kConfirmed, 0, true, true},
              {Act::kGo, "10", "0", 300, kConfirmed, 300, false, true},
              {Act::kGraphClear, "", "", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "0", 3000, kConfirmed, 3000, false, false},
              {Act::kElectronsOff, "", "", 0, kConfirmed, 0, true, true},
              {Act::kOk, "10", "10×10", 0, kConfirmed, 0, true, false}}},
    // A phantom is a new series in the accurate transport, the switches resting while it is
    // chosen; the same phantom chosen again keeps its series; water gives back the physics
    // of before it, and Reset returns to water.
    Scenario{"a phantom runs the accurate transport until water or reset",
             {{Act::kOk, "10", "4×4", 0, kConfirmed, 0, true, false},
              {Act::kElectronsOff, "", "", 0, kConfirmed, 0, true, false},
              {Act::kPhantom, "lung", "", 0, kConfirmed, 0, true, false, "lung"},
              {Act::kGo, "10", "0", 100, kConfirmed, 100, false, false, "lung"},
              {Act::kAllOn, "", "", 0, kConfirmed, 100, false, false, "lung"},
              {Act::kPhantom, "water:3,lung:10", "", 0, kConfirmed, 100, false, false, "lung"},
              {Act::kPhantom, "water:2,air:3", "", 0, kConfirmed, 0, true, false, "water:2,air:3"},
              {Act::kGo, "10", "0", 100, kConfirmed, 100, false, false, "water:2,air:3"},
              {Act::kPhantom, "water", "", 0, kConfirmed, 0, true, false},
              {Act::kAllOn, "", "", 0, kConfirmed, 0, true, false},
              {Act::kPhantom, "bone", "", 0, kConfirmed, 0, true, false, "bone"},
              {Act::kReset, "", "", 0, kSettings, 0, true, false}}},
    // A lung or air slab within the 12 cm the dose fit reads bends the curve the fit takes
    // for water's (10 MV 1×1 in lung showed a d_max of 1.1 cm): its label gives no d_max at
    // any count. A slab below the fit's reach, or a bolus (water) at the surface, keeps it.
    Scenario{
        "a slab within the fit's reach shows no d_max",
        {{Act::kOk, "10", "1×1", 0, kConfirmed, 0, true, false},
         {Act::kPhantom, "lung", "", 0, kConfirmed, 0, true, false, "lung", 0},
         {Act::kGo, "10", "0", 200, kConfirmed, 200, false, false, "lung", 1},
         {Act::kPhantom, "water:11,air:3", "", 0, kConfirmed, 0, true, false, "water:11,air:3"},
         {Act::kGo, "10", "0", 200, kConfirmed, 200, false, false, "water:11,air:3", 1},
         {Act::kPhantom, "water:13,bone:2", "", 0, kConfirmed, 0, true, false, "water:13,bone:2"},
         {Act::kGo, "10", "0", 200, kConfirmed, 200, false, false, "water:13,bone:2", 0},
         {Act::kPhantom, "bolus", "", 0, kConfirmed, 0, true, false, "bolus"},
         {Act::kGo, "10", "0", 200, kConfirmed, 200, false, false, "bolus", 0}}},
    // A seed that is no seed refuses Go and changes nothing.
    Scenario{"a bad seed refuses Go",
             {{Act::kOk, "10", "4×4", 0, kConfirmed, 0, true, false},
              {Act::kGo, "10", "abc", 10, kConfirmed, 0, false, false},
              {Act::kGo, "10", "-1", 10, kConfirmed, 0, false, false},
              {Act::kGo, "10", " 12 ", 10, kConfirmed, 10, false, false}}}};

INSTANTIATE_TEST_SUITE_P(Screens, VisualSessionTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           std::string name = info.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST_F(VisualSessionTest, OkRefusesWhatNoBeamIsAndKeepsTheSettingsState) {
  VisualSession session;
  session.Init();
  EXPECT_EQ(session.Confirm("10", "7×7"), ConfirmRefusal::kField);
  EXPECT_EQ(session.Confirm("10", "large"), ConfirmRefusal::kField);
  EXPECT_EQ(session.Confirm("", "4×4", 0.01), ConfirmRefusal::kMonoEnergy);
  EXPECT_THROW(session.Confirm("7", "4×4"), std::exception);  // no 7MV.csv
  EXPECT_EQ(session.State(), VisualState::kSettings);
  EXPECT_EQ(session.Confirm("", "１０ｘ１０", 2.0), ConfirmRefusal::kField);  // not made plain
  EXPECT_EQ(session.Confirm("", "10x10", 2.0), ConfirmRefusal::kNone);
  EXPECT_EQ(session.Simulation().FieldSide(), 10.0);
  EXPECT_EQ(session.Simulation().SourceDistance(), kVisualSourceDistanceCm);
  EXPECT_EQ(session.BeamName(), "2 MeV 10×10");
  EXPECT_EQ(session.Confirm("15", "1*1"), ConfirmRefusal::kNone);
  EXPECT_EQ(session.BeamName(), "15 MV 1×1");
}

// What cannot be a phantom changes nothing: a value of no form, layers the phantom reader
// refuses, and a material whose data file is missing, named in the message, water kept.
TEST_F(VisualSessionTest, PhantomThatCannotRunKeepsTheOneInForce) {
  const std::filesystem::path data = std::filesystem::current_path();
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("visual_phantom_" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::filesystem::create_directories(folder);
  for (const char* name : {"water20.dat", "ELDAT.dat", "ELACC.dat", "10MV.csv"})
    std::filesystem::copy_file(data / name, folder / name,
                               std::filesystem::copy_options::overwrite_existing);
  std::filesystem::current_path(folder);
  VisualSession session;
  session.Init();
  session.SwitchPhysics({.electron_transport = false});
  EXPECT_FALSE(session.ChoosePhantom("lung 10"));
  EXPECT_FALSE(session.ChoosePhantom("water:2,"));
  EXPECT_THROW(session.ChoosePhantom("lung:40"), InputError);
  EXPECT_THROW(session.ChoosePhantom("steel:2"), InputError);
  try {
    session.ChoosePhantom("lung");
    ADD_FAILURE() << "lung ran without its data";
  } catch (const InputError& e) {
    EXPECT_EQ(e.file(), "lung20.dat") << e.what();
  }
  EXPECT_EQ(session.PhantomLink(), "water");
  EXPECT_FALSE(session.HasPhantom());
  EXPECT_EQ(session.Physics(), PhysicsSwitches{.electron_transport = false});
  // A phantom of water alone is the plain run, which needs no other data.
  EXPECT_TRUE(session.ChoosePhantom("water:5"));
  EXPECT_FALSE(session.HasPhantom());
  std::filesystem::current_path(data);
  std::filesystem::remove_all(folder);
}

// The depth-dose panel in lung, per gram of lung, against water at the same depths (6 to
// 12 cm) and seed: in a narrow 10 MV field the electrons carry their energy out of the beam
// sideways four times as far, and the dose falls well below water's; in a wide field
// equilibrium holds and lung, less attenuating, gets about water's dose or a little more.
// A panel scoring energy per volume would show lung at a quarter of water.
TEST_F(VisualSessionTest, DoseInLungPerGramAgainstWater) {
  struct Case {
    const char* field;
    long long photons;
    double lowest, highest;  // lung's dose over water's
  };
  // 8000 photons leave the wide field's ratio a few per cent of noise on top of lung's
  // smaller attenuation: the bounds leave room for both, and still catch a dose per volume.
  const Case cases[] = {{"1×1", 20000, 0.4, 0.85}, {"10×10", 8000, 0.95, 1.2}};
  for (const Case& c : cases) {
    double dose[2] = {};
    for (int lung = 0; lung < 2; ++lung) {
      VisualSession session;
      session.Init();
      ASSERT_TRUE(session.ChoosePhantom(lung ? "lung" : "water"));
      session.SwitchPhysics({.accurate_transport = true});
      ASSERT_EQ(session.Confirm("10", c.field), ConfirmRefusal::kNone);
      ASSERT_TRUE(session.BeginBatch("7"));
      NullObserver<double> drawer;
      for (long long i = 0; i < c.photons; ++i) session.TrackPhoton(session.NextPhoton(), drawer);
      session.EndBatch();
      for (int g = 0; g < kDepthDoseGroups; ++g)
        for (int k = 60; k < 120; ++k) dose[lung] += session.Tally().GroupDose(g, k);
    }
    ASSERT_GT(dose[0], 0.0) << c.field;
    EXPECT_GT(dose[1] / dose[0], c.lowest) << c.field;
    EXPECT_LT(dose[1] / dose[0], c.highest) << c.field;
  }
}

// The bands shaded behind the tracks: water is the background, one material's layers in a
// row are one slab, the same material further down another.
TEST(PhantomBands, OneBandASlabOfOneMaterial) {
  struct Case {
    const char* layers;
    std::vector<std::pair<double, double>> bands;
  };
  const Case cases[] = {
      {"water 3\nlung 10\n", {{3, 13}}},
      {"bolus 1\nwater 2\nlung 4\nlung 1\nwater 2\nlung 3\n", {{0, 1}, {3, 8}, {10, 13}}},
      {"water 30\n", {}}};
  for (const Case& c : cases) {
    std::vector<std::pair<double, double>> got;
    for (const PhantomBand& band : PhantomBands(ParsePhantom(c.layers, "p.txt")))
      got.emplace_back(band.top_cm, band.bottom_cm);
    EXPECT_EQ(got, c.bands) << c.layers;
  }
}

// Pause holds only a running batch and Resume only a paused one; one photon at a time runs
// only where a photon may come next (the paused batch, or between batches with the beam
// confirmed), so that neither front end lets a photon run settings no OK confirmed.
TEST_F(VisualSessionTest, PauseAndOnePhotonFollowTheBatch) {
  VisualSession session;
  session.Init();
  enum class Do { kNothing, kOk, kShowOther, kBegin, kPause, kResume, kEnd };
  const struct {
    Do act;
    VisualState state;
    bool can_step_one;
  } steps[] = {
      {Do::kNothing, kSettings, false},
      {Do::kPause, kSettings, false},
      {Do::kOk, kConfirmed, true},
      {Do::kPause, kConfirmed, true},
      {Do::kResume, kConfirmed, true},
      {Do::kBegin, VisualState::kRunning, false},
      {Do::kResume, VisualState::kRunning, false},
      {Do::kPause, VisualState::kPaused, true},
      {Do::kPause, VisualState::kPaused, true},
      {Do::kShowOther, VisualState::kPaused, true},
      {Do::kResume, VisualState::kRunning, false},
      {Do::kPause, VisualState::kPaused, true},
      {Do::kEnd, kConfirmed, true},
      {Do::kShowOther, kSettings, false},
  };
  int n = 0;
  for (const auto& step : steps) {
    switch (step.act) {
      case Do::kNothing: break;
      case Do::kOk: session.Confirm("10", "4×4"); break;
      case Do::kShowOther: session.ShowSettings("4", "4×4"); break;
      case Do::kBegin: EXPECT_TRUE(session.BeginBatch("5")); break;
      case Do::kPause: session.Pause(); break;
      case Do::kResume: session.Resume(); break;
      case Do::kEnd: session.EndBatch(); break;
    }
    EXPECT_EQ(session.State(), step.state) << "step " << ++n;
    EXPECT_EQ(session.CanStepOne(), step.can_step_one) << "step " << n;
  }
}

// One count rule for both visual screens: the desktop once read "30,000" as 30 photons.
TEST(BatchPhotonsOf, ReadsEveryCountBoxAlike) {
  const struct {
    const char* plain;  // as the front end made it plain (NFKC: "３００００" is "30000")
    long long photons;  // 0: refused with a message
  } cases[] = {{"30,000", 30000},   {"30000", 30000}, {"3e4", 30000}, {"30 000", 30000},
               {"100.7", 0},        {"1.5", 0},       {"0.5", 0},     {"0", 0},
               {"abc", 0},          {"", 0},          {"-5", 0},      {"1e999", 0},
               {"2e9", 2000000000}, {"   ", 0}};
  for (const auto& c : cases) EXPECT_EQ(BatchPhotonsOf(c.plain), c.photons) << c.plain;
}

TEST(DmaxSigmaText, NeverSaysZero) {
  const struct {
    double sigma;
    const char* text;
  } cases[] = {{-1, ""}, {0.0, "0.1"}, {0.04, "0.1"}, {0.149, "0.1"}, {0.26, "0.3"}, {1.0, "1.0"}};
  for (const auto& c : cases) EXPECT_EQ(DmaxSigmaText(c.sigma), c.text) << c.sigma;
}

// A batch's duration is estimated from the last one timed at the same display and rate, at
// least the time the step display holds it to; a slow batch says nothing of a fast one.
TEST(VisualSession, EstimatesABatchFromTheLastTimedAtItsPace) {
  VisualSession session;
  EXPECT_DOUBLE_EQ(session.ExpectedSeconds(20000, false, 0), 1.0);  // first guess
  EXPECT_DOUBLE_EQ(session.ExpectedSeconds(300, true, 1), 300.0);   // held to 1 a second
  session.LearnSpeed(true, 1, 1, 1.0);                              // one photon a second
  session.LearnSpeed(true, 0, 64, 1.0);                             // unheld: 64 a second
  session.LearnSpeed(false, 0, 1000000, 10.0);
  session.LearnSpeed(false, 0, 10, 0.01);  // too short to time: ignored
  EXPECT_DOUBLE_EQ(session.ExpectedSeconds(300, true, 0), 300.0 / 64);
  EXPECT_DOUBLE_EQ(session.ExpectedSeconds(100, true, 10), 10.0);  // held slower than drawn
  session.LearnSpeed(true, 10, 100, 50.0);
  EXPECT_DOUBLE_EQ(session.ExpectedSeconds(100, true, 10), 50.0);  // drawn slower than held
  EXPECT_DOUBLE_EQ(session.ExpectedSeconds(1000000, false, 0), 10.0);
  // The desktop once let a batch at one photon a second make 300 at full speed ask first.
  VisualSession fresh;
  fresh.LearnSpeed(true, 1, 1, 1.0);
  EXPECT_FALSE(VisualSession::AsksFirst(fresh.ExpectedSeconds(300, true, 0)));
  EXPECT_FALSE(VisualSession::AsksFirst(60));
  EXPECT_TRUE(VisualSession::AsksFirst(61));
  const struct {
    double seconds;
    long long amount;
    bool hours;
  } durations[] = {{10, 1, false},     {89, 1, false},  {91, 2, false},
                   {7199, 120, false}, {7200, 2, true}, {5.5 * 3600, 6, true}};
  for (const auto& d : durations) {
    const VisualSession::Duration shown = VisualSession::DurationOf(d.seconds);
    EXPECT_EQ(shown.amount, d.amount) << d.seconds;
    EXPECT_EQ(shown.hours, d.hours) << d.seconds;
  }
}

}  // namespace
}  // namespace dosavia

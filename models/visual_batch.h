// The visual simulation without its drawing: the X-ray spectrum it samples, the histogram of
// the sampled bins, the generator and data tables of the interactive programs (double
// precision), and one source photon from the field on the surface to the end of its
// history. A screen's VisualSession owns one and runs its batches; the front ends only
// decide how the events are drawn and paced.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "engine/phantom_file.h"
#include "engine/run_seed.h"
#include "engine/spectrum_file.h"
#include "physics/photon_transport.h"
#include "physics/physics_tables.h"
#include "physics/random_stream.h"
#include "physics/transport_context.h"

namespace dosavia {

// Phantom of the visual run: 50 x 50 cm wide, 30 cm deep, centred on the beam axis [cm].
inline constexpr double kVisualHalfWidthCm = 25.0;
inline constexpr double kVisualDepthCm = 30.0;
// Distance of the point source from the surface [cm]; the beam is practically parallel.
inline constexpr double kVisualSourceDistanceCm = 10000.0;

// A seed for a series that nobody chose one for, new each time (1..kMaxSeriesSeed: short
// enough to read out to a class and type again), so that neighbours' screens differ as
// independent runs do.
inline constexpr RunSeed kMaxSeriesSeed = 99999;
RunSeed FreshSeriesSeed();

// The energies a mono-energetic beam may have [MeV].
struct EnergyRange {
  double lowest = 0;
  double highest = 0;
};

// The number of photons that a batch of `count` runs: the count itself, 0 (refused) for a
// count below 1, one with a fraction ("1.5" as "0.5": no box runs part of what was typed)
// or one that is not a finite number.
long long WholePhotonCount(double count);

// A source photon as it enters the water.
struct VisualSourcePhoton {
  double energy = 0;  // [keV]
  Vec3<double> entry;
  Direction<double> direction;
};

// One visual simulation's state: its spectrum, field and source, its histogram, its
// generator and data tables. On a screen it lives inside the screen's VisualSession, which
// alone changes it.
class VisualSimulation {
 public:
  // Seeds the generator, loads "water20.dat" and "ELDAT.dat" from the working directory and
  // sets the phantom constants. Throws InputError (naming the file and the problem) when a
  // data file is missing or malformed; the tables then keep their earlier contents.
  void Init();
  // Loads the accurate transport's data "ELACC.dat" from the working directory, once, the
  // first time a run asks for that transport. Throws InputError as Init does; the exact
  // transport goes on without it.
  void LoadAccurateData();
  bool HasAccurateData() const { return tables_.electrons.rows > 0; }

  // The slab phantom the photons run in: its layers, each material other than water with
  // its own photon and electron data read from the working directory (lung20.dat,
  // ELACC-lung.dat, ...), and the accurate transport's data for water's layers. Only the
  // accurate transport follows the layers. Throws InputError naming the file that cannot be
  // read; the phantom in force then stays.
  void SetPhantom(const Phantom& phantom);
  // Water alone again.
  void ClearPhantom() { phantom_.reset(); }
  // The layers in force; none in water alone.
  const SlabLayers<double>* Layers() const { return phantom_ ? &phantom_->layers() : nullptr; }

  // Starts the generator of a batch series on `seed`: 0 the fixed sequence Init starts, any
  // other an independent one (RandomStream::SeedFromKey with VisualStreamKey), so that a
  // series can be run again picture for picture by its seed.
  void Seed(RunSeed seed);

  // Reads the 400 records (energy [MeV], relative weight) of the spectrum file at `path` in
  // free format and sets SpectrumEnergy [keV] and SpectrumCumulative. Throws InputError
  // for a missing file, fewer than 400 records, a value that is not a number, a negative
  // weight, weights that sum to 0, or a weighted energy outside the loaded photon table
  // (ParseFreeFormatSpectrum); the spectrum is then left as it was.
  void LoadSpectrum(const std::string& path, const std::string& display_name);

  // A mono-energetic beam of `energy_mev` in place of the X-ray spectrum, so that a class
  // can see one energy's build-up alone. Its photons are counted in the histogram bin of the
  // spectrum files that holds the energy. Returns false (and changes nothing) for an energy
  // outside MonoenergeticRangeMeV().
  bool SetMonoenergeticSpectrum(double energy_mev);

  // From 0.1 MeV up to the highest energy of the loaded photon table (20 MeV before the
  // tables are loaded).
  EnergyRange MonoenergeticRangeMeV() const;

  // Spectrum bin of the uniform number r: the first bin whose cumulative weight exceeds r.
  int SampleSpectrumBin(double r) const;

  // The transport context of the visual run: its tables, its generator, the phantom box
  // centred on the beam axis, its layers, and the parts of the physics in force (all by
  // default).
  TransportContext<double> Context(const PhysicsSwitches& physics = {});

  // Draws one source photon: a spectrum bin (counted in SpectrumTally), an entry point
  // uniform over the square field on the surface, and a direction away from the point
  // source above the field centre. The generator is used in this order: the bin, then the
  // two coordinates.
  VisualSourcePhoton SampleSource();

  // The whole history of `photon`, its events reported to `observer`.
  template <typename Observer>
  static void TrackPhoton(const TransportContext<double>& context, const VisualSourcePhoton& photon,
                          Observer& observer) {
    TrackHistory(context, photon.entry, photon.direction, photon.energy, observer);
  }

  // One source photon from the field to the end of its history; returns its energy [keV].
  template <typename Observer>
  double SimulatePhoton(const TransportContext<double>& context, Observer& observer) {
    const VisualSourcePhoton photon = SampleSource();
    TrackPhoton(context, photon, observer);
    return photon.energy;
  }

  // Empties the whole histogram (every bin 1..400).
  void ClearHistogram() { spectrum_tally_.fill(0); }

  // The square field at the surface: its side [cm]; the point source stands
  // kVisualSourceDistanceCm above its centre, so that the beam is practically parallel.
  void SetField(double side) {
    field_side_ = side;
    source_distance_ = kVisualSourceDistanceCm;
  }
  double FieldSide() const { return field_side_; }
  double SourceDistance() const { return source_distance_; }
  // Photon energies of the X-ray spectrum [keV], index 1..400.
  const std::array<double, kSpectrumBins + 1>& SpectrumEnergy() const { return spectrum_energy_; }
  // Normalised running sum of the spectrum weights, index 1..400; entry 400 is 1.
  const std::array<double, kSpectrumBins + 1>& SpectrumCumulative() const {
    return spectrum_cumulative_;
  }
  // How often each spectrum bin was drawn, index 1..400.
  const std::array<long long, kSpectrumBins + 1>& SpectrumTally() const { return spectrum_tally_; }
  const PhysicsTables<double>& Tables() const { return tables_; }

 private:
  std::array<double, kSpectrumBins + 1> spectrum_energy_{};
  std::array<double, kSpectrumBins + 1> spectrum_cumulative_{};
  double source_distance_ = kVisualSourceDistanceCm;
  double field_side_ = 4.0;
  std::array<long long, kSpectrumBins + 1> spectrum_tally_{};
  // The interactive programs' generator and data tables.
  RandomStream<double> random_;
  PhysicsTables<double> tables_;
  // Shared, not copied, by a copy of the simulation: the data never change once read.
  std::shared_ptr<const BasicPhantomData<double>> phantom_;
};

}  // namespace dosavia

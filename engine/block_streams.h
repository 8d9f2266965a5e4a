// The multi-core mode: the run's histories, in the engine's order, cut into blocks of a
// fixed size, each block with a random stream of its own, run by any number of threads and
// added into the tally in block order. The result file then depends on the block size and
// the block seeds only, never on the number of threads or on which thread ran which block.
// It is a different random sequence from the single-stream run, so its file differs from
// that run's by statistical noise.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/beam_spectrum.h"
#include "engine/dose_tally.h"
#include "engine/history_groups.h"
#include "engine/run_seed.h"
#include "physics/physics_switches.h"
#include "physics/physics_tables.h"
#include "physics/random_stream.h"
#include "physics/slab_layers.h"

namespace dosavia {

// Whether this build can start threads of its own: a WebAssembly module built without
// thread support cannot, and then runs every block in the calling thread, one after the
// other, which gives the same file.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
#define DOSAVIA_THREADS 0
#else
#define DOSAVIA_THREADS 1
#endif

// Histories per block. A block of 8192 takes some 15 ms on one core, against about 50 us
// for its set-up (seeding, clearing and merging a tally): well under 1 %, and the last
// block keeps the other cores waiting no longer than that.
inline constexpr std::int64_t kBlockHistories = 8192;

// Puts `random` into the start state of block b of a run with `seed`
// (RandomStream::SeedFromKey with BlockStreamKey): without a seed, the state b itself.
void SeedBlockStream(RandomStream<float>& random, std::uint64_t block, RunSeed seed = kDefaultSeed);

// The run cut into blocks: the occupied bins in increasing order, each with the end of its
// histories in the run's order, and the blocks of kBlockHistories over them. Whoever runs
// the blocks (threads here, Web Workers or Node worker threads in the browser edition) runs
// block b with RunBlock into a cleared tally and adds the block tallies into the total in
// block order; the file is then the same however many ran them.
class BlockPlan {
 public:
  // `physics`: the parts of the physics that every block runs with; `seed`: the run's seed.
  BlockPlan(const BeamSpectrum& spectrum, float n, const PhysicsSwitches& physics = {},
            RunSeed seed = kDefaultSeed);

  std::int64_t histories() const { return histories_; }
  const PhysicsSwitches& physics() const { return physics_; }
  RunSeed seed() const { return seed_; }
  // A slab phantom's layers for every block (they must outlive the plan); none: water.
  void SetLayers(const SlabLayers<float>* layers) { layers_ = layers; }
  std::int64_t blocks() const { return (histories_ + kBlockHistories - 1) / kBlockHistories; }
  // Histories in the total once blocks 0..merged-1 are in it.
  std::int64_t HistoriesInBlocks(std::int64_t merged) const {
    return merged * kBlockHistories < histories_ ? merged * kBlockHistories : histories_;
  }

  // Seeds `random` for block b (0..blocks()-1) and runs its histories into `tally`, which
  // the caller clears first. With `growth` (cleared by the caller) the growth of each
  // history group over the block is taken as it goes: the tally is the same.
  void RunBlock(const PhysicsTables<float>& tables, std::int64_t b, RandomStream<float>& random,
                DoseTally& tally, GroupGrowth* growth = nullptr) const;

  // Calls on_bin for each occupied bin, not yet announced by this call's earlier uses of
  // `announced`, whose histories all lie within the first `merged_histories`.
  void AnnounceBinsUpTo(std::int64_t merged_histories, std::size_t& announced,
                        const std::function<void(int)>& on_bin) const;

 private:
  struct BinSpan {
    int bin;
    float energy;      // [keV]
    std::int64_t end;  // end (exclusive) of its histories in the run's order
  };
  std::vector<BinSpan> bins_;
  std::int64_t histories_ = 0;
  PhysicsSwitches physics_;
  RunSeed seed_ = kDefaultSeed;
  const SlabLayers<float>* layers_ = nullptr;
};

// Number of threads for a request of n (0: one per core the system reports, at least 1;
// always 1 where no thread can start).
int ThreadCount(int requested);

// Runs the histories of the spectrum (the bins' trunc(W(i) N) as in the single-stream run,
// bins in increasing order) as blocks on `threads` threads (one: the calling thread) and
// adds them into `total`.
// on_bin(i) is called once per occupied bin, in bin order and from one thread at a time,
// as soon as every history of bins 1..i is in `total`. Returns the number of histories.
// With `groups`, each history group's growth is added into it as well, block by block in
// block order, so that it too is the same for any number of threads. With `layers` every
// block runs in that slab phantom.
std::int64_t RunBlockStreams(const PhysicsTables<float>& tables, const BeamSpectrum& spectrum,
                             float n, int threads, DoseTally& total,
                             const std::function<void(int)>& on_bin,
                             const PhysicsSwitches& physics = {}, RunSeed seed = kDefaultSeed,
                             GroupGrowth* groups = nullptr,
                             const SlabLayers<float>* layers = nullptr);

}  // namespace dosavia

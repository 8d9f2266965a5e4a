#include "engine/block_streams.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "engine/pencil_beam.h"

namespace dosavia {

namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

// Hands out blocks, keeps the tallies of finished blocks until their turn and adds them
// into the total in block order.
class BlockScheduler {
 public:
  BlockScheduler(const PhysicsTables<float>& tables, const BlockPlan& plan, int threads,
                 DoseTally& total, const std::function<void(int)>& on_bin)
      : tables_(tables), plan_(plan), total_(total), on_bin_(on_bin) {
    histories_ = plan_.histories();
    blocks_ = plan_.blocks();
    // Two tallies per thread let a thread go on while its last block waits for an earlier
    // one; a thread takes its tally before its block number, so the earliest unfinished
    // block always has one and the merge never stalls.
    const std::span<const float, kSlabs + 1> widths(tables.DepthBinWidth);
    for (int t = 0; t < 2 * threads; ++t) pool_.push_back(std::make_unique<DoseTally>(widths));
    for (auto& p : pool_) free_.push_back(p.get());
    finished_.assign(pool_.size(), nullptr);
  }

  void Run(int threads) {
    AnnounceBinsUpTo(0);
    if (threads <= 1) {
      // One worker never waits for a tally (it has two), so it runs here as it is.
      Work();
    } else {
#if DOSAVIA_THREADS
      std::vector<std::jthread> workers;
      for (int t = 0; t < threads; ++t) workers.emplace_back([this] { Work(); });
#endif
    }
    AnnounceBinsUpTo(histories_);
  }

  std::int64_t histories() const { return histories_; }

 private:
  void Work() {
    RandomStream<float> random;
    for (;;) {
      DoseTally* tally;
      {
        std::unique_lock lock(mutex_);
        tally_free_.wait(lock, [this] { return !free_.empty(); });
        tally = free_.back();
        free_.pop_back();
      }
      const std::int64_t b = next_block_.fetch_add(1);
      if (b >= blocks_) {
        std::lock_guard lock(mutex_);
        free_.push_back(tally);
        tally_free_.notify_one();
        return;
      }
      tally->Clear();
      plan_.RunBlock(tables_, b, random, *tally);
      Finish(b, tally);
    }
  }

  void Finish(std::int64_t b, DoseTally* tally) {
    std::lock_guard lock(mutex_);
    finished_[b % finished_.size()] = tally;
    for (;;) {
      DoseTally*& next = finished_[merged_ % finished_.size()];
      if (merged_ >= blocks_ || next == nullptr) break;
      total_.Add(*next);
      free_.push_back(next);
      next = nullptr;
      ++merged_;
      AnnounceBinsUpTo(plan_.HistoriesInBlocks(merged_));
    }
    tally_free_.notify_all();
  }

  // Calls on_bin for the bins whose histories are all in the total.
  void AnnounceBinsUpTo(std::int64_t merged_histories) {
    plan_.AnnounceBinsUpTo(merged_histories, announced_, on_bin_);
  }

  const PhysicsTables<float>& tables_;
  const BlockPlan& plan_;
  DoseTally& total_;
  const std::function<void(int)>& on_bin_;
  std::int64_t histories_ = 0;
  std::int64_t blocks_ = 0;
  std::atomic<std::int64_t> next_block_{0};

  std::mutex mutex_;  // guards everything below
  std::condition_variable tally_free_;
  std::vector<std::unique_ptr<DoseTally>> pool_;
  std::vector<DoseTally*> free_;
  std::vector<DoseTally*> finished_;  // block b's tally at b mod size, until merged
  std::int64_t merged_ = 0;           // blocks 0..merged_-1 are in the total
  std::size_t announced_ = 0;
};

}  // namespace

BlockPlan::BlockPlan(const BeamSpectrum& spectrum, float n, const PhysicsSwitches& physics)
    : physics_(physics) {
  for (int i = 1; i <= kSpectrumBins; ++i) {
    if (spectrum.weight[i] == 0.0f) continue;
    histories_ += HistoriesInBin(spectrum.weight[i], n);
    bins_.push_back({i, BinEnergy(i), histories_});
  }
}

void BlockPlan::RunBlock(const PhysicsTables<float>& tables, std::int64_t b,
                         RandomStream<float>& random, DoseTally& tally) const {
  SeedBlockStream(random, static_cast<std::uint64_t>(b));
  const std::int64_t first = b * kBlockHistories;
  const std::int64_t last = std::min(first + kBlockHistories, histories_);
  auto bin = std::upper_bound(bins_.begin(), bins_.end(), first,
                              [](std::int64_t h, const BinSpan& s) { return h < s.end; });
  PencilBeam beam(tables, random, tally, physics_);
  for (std::int64_t h = first; h < last; ++h) {
    while (h >= bin->end) ++bin;
    beam.RunHistory(bin->energy);
  }
}

void BlockPlan::AnnounceBinsUpTo(std::int64_t merged_histories, std::size_t& announced,
                                 const std::function<void(int)>& on_bin) const {
  while (announced < bins_.size() && bins_[announced].end <= merged_histories)
    on_bin(bins_[announced++].bin);
}

void SeedBlockStream(RandomStream<float>& random, std::uint64_t block) {
  std::uint64_t state = block;
  bool any_odd = false;
  for (int j = 1; j <= 55; ++j) {
    random.A[j] = static_cast<std::int32_t>(SplitMix64(state) >> 50);
    any_odd = any_odd || (random.A[j] & 1) != 0;
  }
  if (!any_odd) random.A[1] |= 1;
  random.J = 24;
  random.K = 55;
  for (int n = 0; n < RandomStream<float>::kWarmUpSteps; ++n) random.Step();
}

int ThreadCount(int requested) {
#if DOSAVIA_THREADS
  if (requested > 0) return requested;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
#else
  (void)requested;
  return 1;
#endif
}

std::int64_t RunBlockStreams(const PhysicsTables<float>& tables, const BeamSpectrum& spectrum,
                             float n, int threads, DoseTally& total,
                             const std::function<void(int)>& on_bin,
                             const PhysicsSwitches& physics) {
  const BlockPlan plan(spectrum, n, physics);
  // No thread at all would leave the blocks unrun and the tally empty.
  threads = DOSAVIA_THREADS ? std::max(1, threads) : 1;
  BlockScheduler scheduler(tables, plan, threads, total, on_bin);
  scheduler.Run(threads);
  return scheduler.histories();
}

}  // namespace dosavia

#include "engine/block_streams.h"

#include <algorithm>
#include <iterator>
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

// Hands out blocks, keeps the tallies of finished blocks until their turn and adds them
// into the total in block order.
class BlockScheduler {
 public:
  BlockScheduler(const PhysicsTables<float>& tables, const BlockPlan& plan, int threads,
                 DoseTally& total, const std::function<void(int)>& on_bin, GroupGrowth* groups)
      : tables_(tables), plan_(plan), total_(total), on_bin_(on_bin), groups_(groups) {
    histories_ = plan_.histories();
    blocks_ = plan_.blocks();
    // Two tallies per thread let a thread go on while its last block waits for an earlier
    // one; a thread takes its tally before its block number, so the earliest unfinished
    // block always has one and the merge never stalls.
    const std::span<const float, kSlabs + 1> widths(tables.DepthBinWidth);
    for (int t = 0; t < 2 * threads; ++t) {
      auto slot = std::make_unique<Slot>();
      slot->tally = std::make_unique<DoseTally>(widths);
      if (groups_ != nullptr) slot->growth = std::make_unique<GroupGrowth>();
      pool_.push_back(std::move(slot));
    }
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
  // A block's tally, with its share of the history groups' curves when they are kept.
  struct Slot {
    std::unique_ptr<DoseTally> tally;
    std::unique_ptr<GroupGrowth> growth;
  };

  void Work() {
    RandomStream<float> random;
    for (;;) {
      Slot* tally;
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
      tally->tally->Clear();
      if (tally->growth) tally->growth->Clear();
      plan_.RunBlock(tables_, b, random, *tally->tally, tally->growth.get());
      Finish(b, tally);
    }
  }

  void Finish(std::int64_t b, Slot* tally) {
    std::lock_guard lock(mutex_);
    finished_[b % finished_.size()] = tally;
    for (;;) {
      Slot*& next = finished_[merged_ % finished_.size()];
      if (merged_ >= blocks_ || next == nullptr) break;
      total_.Add(*next->tally);
      if (groups_ != nullptr) groups_->Add(*next->growth);
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
  GroupGrowth* groups_;
  std::int64_t histories_ = 0;
  std::int64_t blocks_ = 0;
  std::atomic<std::int64_t> next_block_{0};

  std::mutex mutex_;  // guards everything below
  std::condition_variable tally_free_;
  std::vector<std::unique_ptr<Slot>> pool_;
  std::vector<Slot*> free_;
  std::vector<Slot*> finished_;  // block b's tally at b mod size, until merged
  std::int64_t merged_ = 0;      // blocks 0..merged_-1 are in the total
  std::size_t announced_ = 0;
};

}  // namespace

BlockPlan::BlockPlan(const BeamSpectrum& spectrum, float n, const PhysicsSwitches& physics,
                     RunSeed seed)
    : physics_(physics), seed_(seed) {
  for (int i = 1; i <= kSpectrumBins; ++i) {
    if (spectrum.weight[i] == 0.0f) continue;
    histories_ += HistoriesInBin(spectrum.weight[i], n);
    bins_.push_back({i, BinEnergy(i), histories_});
  }
}

void BlockPlan::RunBlock(const PhysicsTables<float>& tables, std::int64_t b,
                         RandomStream<float>& random, DoseTally& tally, GroupGrowth* growth) const {
  SeedBlockStream(random, static_cast<std::uint64_t>(b), seed_);
  const std::int64_t first = b * kBlockHistories;
  const std::int64_t last = std::min(first + kBlockHistories, histories_);
  auto bin = std::upper_bound(bins_.begin(), bins_.end(), first,
                              [](std::int64_t h, const BinSpan& s) { return h < s.end; });
  PencilBeam beam(tables, random, tally, physics_);
  beam.SetLayers(layers_);
  if (growth == nullptr) {
    for (std::int64_t h = first; h < last; ++h) {
      while (h >= bin->end) ++bin;
      beam.RunHistory(bin->energy);
    }
    return;
  }
  // The same histories, the groups' growth taken wherever the segment changes.
  GroupSegment segment;
  bool open = false;                 // a segment has histories in the tally not yet closed
  std::int64_t segment_end = first;  // where the open segment's histories end in the run
  for (std::int64_t h = first; h < last; ++h) {
    while (h >= bin->end) ++bin;
    if (h >= segment_end) {
      if (open) growth->Close(segment, tally);
      const std::int64_t bin_first = bin == bins_.begin() ? 0 : std::prev(bin)->end;
      const std::int64_t n = bin->end - bin_first;
      segment = SegmentOf(h - bin_first, n, h);
      segment_end = bin_first + SegmentEnd(segment, h - bin_first, n);
      open = true;
    }
    beam.RunHistory(bin->energy);
  }
  if (open) growth->Close(segment, tally);
}

void BlockPlan::AnnounceBinsUpTo(std::int64_t merged_histories, std::size_t& announced,
                                 const std::function<void(int)>& on_bin) const {
  while (announced < bins_.size() && bins_[announced].end <= merged_histories)
    on_bin(bins_[announced++].bin);
}

void SeedBlockStream(RandomStream<float>& random, std::uint64_t block, RunSeed seed) {
  random.SeedFromKey(BlockStreamKey(seed, block));
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
                             const std::function<void(int)>& on_bin, const PhysicsSwitches& physics,
                             RunSeed seed, GroupGrowth* groups, const SlabLayers<float>* layers) {
  BlockPlan plan(spectrum, n, physics, seed);
  plan.SetLayers(layers);
  // No thread at all would leave the blocks unrun and the tally empty.
  threads = DOSAVIA_THREADS ? std::max(1, threads) : 1;
  BlockScheduler scheduler(tables, plan, threads, total, on_bin, groups);
  scheduler.Run(threads);
  return scheduler.histories();
}

}  // namespace dosavia

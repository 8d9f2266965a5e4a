// A second thread that applies the single stream's ring scores while the transport goes on.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/dose_tally.h"
#include "engine/history_groups.h"

namespace dosavia {

// The transport fills batches of ring scores and hands them over in order; this thread
// applies them in the same order, so every cell of the tally receives the same additions
// in the same order as on one thread and the file stays identical. The kerma tally stays
// with the transport. Finish() must return before the tally is read.
class ScoringThread {
 public:
  static constexpr int kBatchLength = 4096;  // scores per batch (128 KiB)
  // Enough that the transport rarely waits for an empty one, few enough to stay in cache.
  static constexpr int kBatches = 4;

  explicit ScoringThread(DoseTally& tally);
  ScoringThread(const ScoringThread&) = delete;
  ScoringThread& operator=(const ScoringThread&) = delete;
  ~ScoringThread() { Finish(); }

  // An empty batch of kBatchLength scores to fill.
  PendingScore* EmptyBatch();

  // Hands over a batch of `count` scores, to be applied after the batches before it.
  void HandOver(PendingScore* batch, int count);

  // Waits until every batch handed over is in the tally; the thread goes on.
  void WaitApplied();

  // The history groups: a segment's end travels with the scores as a mark (component 0, the
  // group in `energy`, a kerma copy's slot in start.x, the weight in start.y), and this
  // thread takes the groups' growth when it reaches the mark, while the transport goes on. The
  // kerma, which the transport scores itself, is copied at the group's end (CopyKerma).
  void KeepGroups(GroupGrowth& growth) { growth_ = &growth; }
  // Whether every kerma slot waits for its mark: the transport must then let this thread
  // catch up (hand over its scores and WaitApplied) before the next CopyKerma.
  bool KermaSlotsFull() const {
    return marks_copied_ - marks_applied_.load(std::memory_order_acquire) >= kKermaSlots;
  }
  // Copies the tally's kerma into the next slot (the transport's thread); returns the slot.
  int CopyKerma(const DoseTally& tally);

  // Waits until every batch handed over is in the tally, then ends the thread.
  void Finish();

 private:
  void Work();

  DoseTally& tally_;
  std::vector<std::unique_ptr<std::array<PendingScore, kBatchLength>>> batches_;
  std::mutex mutex_;  // guards the lists and done_
  std::condition_variable changed_;
  std::vector<PendingScore*> empty_;
  // Filled batches in hand-over order: a ring of fixed size (never more than kBatches are
  // filled at once), so that handing over allocates nothing while the histories run.
  std::array<std::pair<PendingScore*, int>, kBatches> filled_{};
  int filled_first_ = 0;
  int filled_count_ = 0;
  bool done_ = false;
  bool applying_ = false;  // a batch is out of the list and not yet back among the empty ones
  // Applies a batch, taking the groups' growth at each mark.
  void ApplyBatch(const PendingScore* batch, int count);
  static constexpr int kKermaSlots = 64;
  GroupGrowth* growth_ = nullptr;
  std::vector<std::array<float, kKermaBins>> kerma_slots_{kKermaSlots};
  long long marks_copied_ = 0;               // by the transport's thread
  std::atomic<long long> marks_applied_{0};  // by this thread
  std::thread thread_;
};

}  // namespace dosavia

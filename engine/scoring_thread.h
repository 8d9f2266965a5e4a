// A second thread that applies the single stream's ring scores while the transport goes on.
#pragma once

#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/dose_tally.h"

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
  std::thread thread_;
};

}  // namespace dosavia

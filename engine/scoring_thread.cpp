#include "engine/scoring_thread.h"

namespace dosavia {

ScoringThread::ScoringThread(DoseTally& tally) : tally_(tally) {
  empty_.reserve(kBatches);
  for (int b = 0; b < kBatches; ++b) {
    batches_.push_back(std::make_unique<std::array<PendingScore, kBatchLength>>());
    empty_.push_back(batches_.back()->data());
  }
  thread_ = std::thread([this] { Work(); });
}

PendingScore* ScoringThread::EmptyBatch() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !empty_.empty(); });
  PendingScore* batch = empty_.back();
  empty_.pop_back();
  return batch;
}

void ScoringThread::HandOver(PendingScore* batch, int count) {
  {
    std::lock_guard lock(mutex_);
    filled_[(filled_first_ + filled_count_) % kBatches] = {batch, count};
    ++filled_count_;
  }
  changed_.notify_all();
}

void ScoringThread::WaitApplied() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return filled_count_ == 0 && !applying_; });
}

void ScoringThread::Finish() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard lock(mutex_);
    done_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ScoringThread::Work() {
  for (;;) {
    std::pair<PendingScore*, int> batch;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return done_ || filled_count_ > 0; });
      if (filled_count_ == 0) return;  // done, and everything applied
      batch = filled_[filled_first_];
      filled_first_ = (filled_first_ + 1) % kBatches;
      --filled_count_;
      applying_ = true;
    }
    ApplyBatch(batch.first, batch.second);
    {
      std::lock_guard lock(mutex_);
      empty_.push_back(batch.first);
      applying_ = false;
    }
    changed_.notify_all();
  }
}

DoseTallyObserver::DoseTallyObserver(DoseTally& tally, ScoringThread& scorer)
    : tally_(tally),
      scorer_(&scorer),
      queue_(scorer.EmptyBatch()),
      capacity_(ScoringThread::kBatchLength) {}

void DoseTallyObserver::HandOver() {
  scorer_->HandOver(queue_, queued_);
  queue_ = scorer_->EmptyBatch();
  queued_ = 0;
}

int ScoringThread::CopyKerma(const DoseTally& tally) {
  const int slot = static_cast<int>(marks_copied_++ % kKermaSlots);
  for (int k = 1; k <= kKermaBins; ++k) kerma_slots_[slot][k - 1] = tally.Kerma(k);
  return slot;
}

void ScoringThread::ApplyBatch(const PendingScore* batch, int count) {
  int start = 0;
  for (int i = 0; i < count; ++i) {
    if (batch[i].component != 0) continue;
    ApplyScores(tally_, batch + start, i - start);
    const int slot = static_cast<int>(batch[i].start.x);
    const GroupSegment segment{static_cast<int>(batch[i].energy), batch[i].start.y};
    growth_->Close(segment, tally_, kerma_slots_[slot].data());
    marks_applied_.fetch_add(1, std::memory_order_release);
    start = i + 1;
  }
  ApplyScores(tally_, batch + start, count - start);
}

void DoseTallyObserver::EndSegment(const GroupSegment& segment, GroupGrowth& growth) {
  if (scorer_ == nullptr) {
    Apply();
    growth.Close(segment, tally_);
    return;
  }
  if (scorer_->KermaSlotsFull()) Sync();
  const int slot = scorer_->CopyKerma(tally_);
  Queue({{static_cast<float>(slot), segment.weight, 0},
         {0, 0, 0},
         static_cast<float>(segment.group),
         0});
}

void DoseTallyObserver::Sync() {
  if (scorer_ == nullptr) {
    Apply();
    return;
  }
  if (queued_ > 0) HandOver();
  scorer_->WaitApplied();
}

void DoseTallyObserver::Drain() {
  if (scorer_ == nullptr) {
    Apply();
  } else if (queue_ != nullptr) {
    scorer_->HandOver(queue_, queued_);
    queue_ = nullptr;  // the observer scores nothing more
    queued_ = 0;
  }
}

}  // namespace dosavia

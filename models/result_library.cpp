#include "models/result_library.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace dosavia {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ResultNamesInOrder(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      std::size_t i_end = i, j_end = j;
      while (i_end < a.size() && IsDigit(a[i_end])) ++i_end;
      while (j_end < b.size() && IsDigit(b[j_end])) ++j_end;
      // Without their leading zeros, the longer run is the larger number.
      while (i < i_end - 1 && a[i] == '0') ++i;
      while (j < j_end - 1 && b[j] == '0') ++j;
      if (i_end - i != j_end - j) return i_end - i < j_end - j;
      const int order = a.compare(i, i_end - i, b, j, j_end - j);
      if (order != 0) return order < 0;
      i = i_end;
      j = j_end;
      continue;
    }
    const auto lower = [](char c) {
      return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    if (lower(a[i]) != lower(b[j])) return lower(a[i]) < lower(b[j]);
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

void ResultLibrary::List(std::vector<std::string> names) {
  std::stable_sort(names.begin(), names.end(), ResultNamesInOrder);
  // A result gone from the folder (deleted, renamed) is drawn no more; its curves cannot be
  // read again, and a removal outside the program is not undone by it.
  for (const std::string& file : listed_)
    if (std::find(names.begin(), names.end(), file) == names.end()) {
      std::erase_if(sets_, [&](const ComparedSet& set) { return set.file == file; });
      if (loaded_ == file) {
        loaded_.clear();
        kerma_shown_ = false;
      }
      if (undo_ && undo_->file == file) undo_.reset();
    }
  listed_ = std::move(names);
}

void ResultLibrary::Load(const std::string& file) {
  loaded_ = file;
  kerma_shown_ = true;
}

std::optional<std::size_t> ResultLibrary::Draw(int field) {
  if (loaded_.empty()) return std::nullopt;
  for (std::size_t i = 0; i < sets_.size(); ++i)
    if (sets_[i].file == loaded_ && sets_[i].field == field) return i;
  sets_.push_back({loaded_, field, next_family_++});
  return sets_.size() - 1;
}

void ResultLibrary::RemoveSet(std::size_t index) {
  if (index >= sets_.size()) return;
  undo_ = Removal{};
  undo_->sets.emplace_back(index, sets_[index]);
  sets_.erase(sets_.begin() + static_cast<std::ptrdiff_t>(index));
}

void ResultLibrary::Forget(const std::string& file) {
  Removal removal;
  removal.file = file;
  for (std::size_t i = 0; i < sets_.size(); ++i)
    if (sets_[i].file == file) removal.sets.emplace_back(i, sets_[i]);
  std::erase_if(sets_, [&](const ComparedSet& set) { return set.file == file; });
  removal.was_loaded = loaded_ == file;
  removal.kerma_shown = removal.was_loaded && kerma_shown_;
  if (removal.was_loaded) {
    loaded_.clear();
    kerma_shown_ = false;
  }
  removal.was_listed = std::erase(listed_, file) > 0;
  undo_ = std::move(removal);
}

const std::string& ResultLibrary::UndoFile() const {
  static const std::string kNone;
  return undo_ ? undo_->file : kNone;
}

bool ResultLibrary::Undo() {
  if (!undo_) return false;
  Removal removal = std::move(*undo_);
  undo_.reset();
  // In the order they were taken out, each at its former index.
  for (auto& [index, set] : removal.sets)
    sets_.insert(sets_.begin() + static_cast<std::ptrdiff_t>(std::min(index, sets_.size())),
                 std::move(set));
  if (removal.was_listed) {
    listed_.push_back(removal.file);
    std::stable_sort(listed_.begin(), listed_.end(), ResultNamesInOrder);
  }
  if (removal.was_loaded) {
    loaded_ = removal.file;
    kerma_shown_ = removal.kerma_shown;
  }
  return true;
}

void ResultLibrary::Clear() {
  sets_.clear();
  next_family_ = 0;
  kerma_shown_ = false;
  undo_.reset();
}

void ResultLibrary::Return() {
  loaded_.clear();
  kerma_shown_ = false;
}

}  // namespace dosavia

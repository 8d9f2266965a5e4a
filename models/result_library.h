// The engine screen's result library, once for Dosavia and the browser: the result files
// listed (in the order of the numbers they hold), the one loaded, and the sets compared on the
// graph, each one field of one file in a colour family of its own; the last removal, kept so
// that it can be undone; and what the graph and the save buttons may show. The front ends
// keep the curves of each file and draw what this says.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dosavia {

// Result names in the order of the numbers they hold (4MV before 10MV, 3M before 30M),
// otherwise without regard to case.
bool ResultNamesInOrder(const std::string& a, const std::string& b);

// One compared set: the dose curves of `field` (1..10) of the result file `file`.
struct ComparedSet {
  std::string file;
  int field = 8;
  int family = 0;  // its colours and line pattern
  friend bool operator==(const ComparedSet&, const ComparedSet&) = default;
};

class ResultLibrary {
 public:
  // The result files there are now (the folder's "*.data", the browser's kept results), sorted
  // by ResultNamesInOrder. A file no longer there is forgotten as Forget does, so that what is
  // drawn is always of a result that can be read again.
  void List(std::vector<std::string> names);
  const std::vector<std::string>& Listed() const { return listed_; }

  // `file` read completely: it is the loaded one and its kerma is drawn.
  void Load(const std::string& file);
  const std::string& Loaded() const { return loaded_; }
  // Whether the loaded file's kerma is on the graph: never before a file is loaded.
  bool KermaShown() const { return kerma_shown_; }
  // The kerma of the loaded file drawn again.
  void ShowKerma() { kerma_shown_ = !loaded_.empty(); }

  // 描 画: the loaded file's `field` as a new set in the next family. The same file and field
  // drawn again (also after the file was read again) stays one set. Returns the set's index,
  // none when no file is loaded.
  std::optional<std::size_t> Draw(int field);
  const std::vector<ComparedSet>& Sets() const { return sets_; }

  // One compared set removed; the others keep their colours.
  void RemoveSet(std::size_t index);
  // A result removed from the list (deleted by the user): none of its sets stays drawn and it
  // is no longer the loaded file.
  void Forget(const std::string& file);
  // Whether the last removal (RemoveSet, Forget) can be undone, and its file.
  bool CanUndo() const { return undo_.has_value(); }
  const std::string& UndoFile() const;
  // The last removal undone: its sets back at their places in their colours, its file listed
  // and loaded again where it was. Returns false when there was none.
  bool Undo();

  // "Graph clear": no set, no kerma; the next set gets the first family again.
  void Clear();
  // The screen shown again (after the menu): no file loaded, so nothing is drawn that the
  // user has not chosen again; the comparison stays.
  void Return();

  // Whether there is anything to save (a picture, the curves): a set or a kerma drawn.
  bool CanSave() const { return !sets_.empty() || kerma_shown_; }

 private:
  struct Removal {
    std::string file;                                       // Forget's file; empty for one set
    std::vector<std::pair<std::size_t, ComparedSet>> sets;  // at their former indices
    bool was_loaded = false;
    bool kerma_shown = false;
    bool was_listed = false;
  };

  std::vector<std::string> listed_;
  std::string loaded_;
  bool kerma_shown_ = false;
  std::vector<ComparedSet> sets_;
  int next_family_ = 0;
  std::optional<Removal> undo_;
};

}  // namespace dosavia

// Whole-file reading and atomic writing, and the split of a text into its lines.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dosavia {

// Splits text into lines, dropping the CR of CR LF.
std::vector<std::string> SplitLines(std::string_view content);

// Largest file any reader of the program accepts [bytes]: its biggest file, the result
// file, is about 80 kB, so anything near this size is not a file of the program.
inline constexpr std::size_t kMaxInputFileBytes = 4u << 20;

// Reads a whole file; throws InputError (line 0) when it cannot be opened, is not a
// regular file (a directory, a pipe, a device), or holds more than `max_bytes`.
std::string ReadWholeFile(const std::string& path, const std::string& display_name,
                          std::size_t max_bytes = kMaxInputFileBytes);

// A file written in full under a fresh temporary name beside its target (created
// exclusively, synced) and put into place by Commit; a file not committed is removed again.
// Two files that belong together (a result and its statistics) are both written before
// either is put into place, so that one failing to be written changes neither. Only a regular
// file or a new name is replaced (through a symbolic link, the file it points to). Throws
// WriteError naming `path` on any failure.
class StagedFile {
 public:
  StagedFile(const std::string& path, std::string_view content);
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  ~StagedFile();
  // Renames the written file into place.
  void Commit();

 private:
  std::string path_;       // as named
  std::string target_;     // the file replaced (a link resolved)
  std::string temporary_;  // empty once committed
};

// Writes the file under a fresh temporary name beside it (created exclusively) and renames
// it into place when every byte is on disk, so a reader never sees half a file and a
// failure leaves an earlier file of the same name untouched and no temporary file behind.
// Only a regular file or a new name is replaced (through a symbolic link, the file it
// points to). Throws WriteError on any failure, naming `path`.
void WriteFileAtomically(const std::string& path, std::string_view content);

// A replaced file keeps its permissions. Temporary files of the same target that an earlier
// write, killed half way, left behind are removed first (only names of this writer's
// pattern, older than a minute, that no writer holds).

// Throws WriteError naming `path` when WriteFileAtomically could not even begin: something
// other than a file in the way, or no temporary file can be made in the folder. For a
// check before long work whose product is that file.
void CheckCanWrite(const std::string& path);

// Whether a folder of mode `folder_mode` owned by `folder_owner` lets `user` rename another
// file over one owned by `file_owner`: in a sticky folder (a shared /tmp, mode 1777) only
// the file's or the folder's owner may, or root.
bool StickyFolderAllowsReplace(unsigned folder_mode, unsigned folder_owner, unsigned file_owner,
                               unsigned user);

// Whether `a` and `b` name one file, however spelled ("a.csv", "./a.csv", "dir/../a.csv",
// a link to it): for existing files their identity, for new names their folder resolved.
bool SameFile(const std::string& a, const std::string& b);

// Held while a run writes the file `target`: a hidden lock file beside it (".NAME.lock"),
// locked by flock and holding the process's number, so that a second run of the same name in
// the same folder is refused while the first goes on. The lock goes with the process
// however it ends (a killed run leaves at most a stale file, taken over by the next). On
// taking it, the temporary files an earlier, killed write of `others` (plain names in the
// same folder, `target`'s own included) left are removed, whatever their age: no write of
// them goes on while the lock is held.
class WriteLock {
 public:
  // Throws WriteError (kRunGoesOn) naming `target` when another process holds the lock,
  // or another WriteError when the lock file cannot be made.
  explicit WriteLock(const std::string& target, const std::vector<std::string>& others = {});
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;
  ~WriteLock();

 private:
  std::string path_;
  int fd_ = -1;
};

// Removes the lock file of `target` that a process killed while it held it left behind (a
// run stopped by its console); one that a running process holds stays.
void RemoveStaleWriteLock(const std::string& target);

// The lock file's name for a target named `target_name`.
std::string WriteLockName(std::string_view target_name);

// Creates `path` exclusively, so that a file made there meanwhile (or a link) is never
// replaced, writes `content` and syncs it; when the write fails the new file is removed
// again, so that no half file is later taken for a good one. Throws WriteError on any
// failure, naming `path`.
void WriteNewFile(const std::string& path, std::string_view content);

// Whether `name` is a temporary file that WriteFileAtomically makes for a target named
// `target_name` (both plain names, without folders): one that a write stopped half way may
// leave behind, and that may be removed when no write of that target goes on.
bool IsTemporaryFileOf(std::string_view name, std::string_view target_name);

// File systems that keep modification times to 2 s (FAT, some network shares) may show a
// file written just now as up to this much older than the moment it was written.
inline constexpr std::chrono::seconds kFileTimeSlack{2};

// Whether the file at `path` was written at `since` or later, allowing kFileTimeSlack; false
// when it does not exist. Tells a file that a run wrote from an earlier one of the name.
bool WrittenSince(const std::filesystem::path& path, std::filesystem::file_time_type since);

}  // namespace dosavia

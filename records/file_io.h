// Whole-file reading and atomic writing, and the split of a text into its lines.
#pragma once

#include <cstddef>
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

// Writes the file under a fresh temporary name beside it (created exclusively) and renames
// it into place when every byte is on disk, so a reader never sees half a file and a
// failure leaves an earlier file of the same name untouched and no temporary file behind.
// Only a regular file or a new name is replaced (through a symbolic link, the file it
// points to). Throws WriteError on any failure, naming `path`.
void WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace dosavia

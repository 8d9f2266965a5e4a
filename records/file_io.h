// Whole-file reading and atomic writing, and the split of a text into its lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dosavia {

// Splits text into lines, dropping the CR of CR LF.
std::vector<std::string> SplitLines(std::string_view content);

// Reads a whole file; throws InputError (line 0) when it cannot be opened.
std::string ReadWholeFile(const std::string& path, const std::string& display_name);

// Writes the file under a temporary name beside it and renames it into place when every
// byte has been written, so a reader never sees half a file and a failure leaves an
// earlier file of the same name untouched. Throws std::runtime_error on any failure.
void WriteFileAtomically(const std::string& path, std::string_view content);

}  // namespace dosavia

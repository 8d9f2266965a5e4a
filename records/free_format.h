// Numbers separated by blanks, commas or line ends: how the interactive program reads the
// spectrum and result files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dosavia {

// Numbers separated by blanks, commas or line ends, as the interactive program reads
// spectrum and result files.
class FreeFormatReader {
 public:
  FreeFormatReader(std::string display_name, std::string_view content, int first_line = 1);

  // Next number; false at the end of the text. Throws InputError for a token that is
  // not a number or lies beyond the range of Real (naming the line and the token).
  template <typename Real>
  bool Next(Real& value);
  int line() const { return line_; }

 private:
  std::string name_;
  std::string text_;
  std::size_t pos_ = 0;
  int line_;
  int count_ = 0;
};

}  // namespace dosavia

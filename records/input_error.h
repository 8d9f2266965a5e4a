// The error type of every file reader: it names the file, the line and the field.
#pragma once

#include <stdexcept>
#include <string>

namespace dosavia {

// A bad or missing input file. The message always names the file, and where known the
// 1-based line number and the field, so that a hand-edited file can be mended.
class InputError : public std::runtime_error {
 public:
  InputError(std::string file, int line, std::string field, const std::string& problem);
  const std::string& file() const { return file_; }
  int line() const { return line_; }  // 0 when the problem is the file as a whole
  const std::string& field() const { return field_; }
  // What is wrong, without the file, line and field.
  const std::string& problem() const { return problem_; }

 private:
  std::string file_;
  int line_;
  std::string field_;
  std::string problem_;
};

}  // namespace dosavia

#include "records/input_error.h"

namespace dosavia {

namespace {

std::string ComposeMessage(const std::string& file, int line, const std::string& field,
                           const std::string& problem) {
  std::string m = file;
  if (line > 0) m += ", line " + std::to_string(line);
  if (!field.empty()) m += ", " + field;
  return m + ": " + problem;
}

}  // namespace

InputError::InputError(std::string file, int line, std::string field, const std::string& problem)
    : std::runtime_error(ComposeMessage(file, line, field, problem)),
      file_(std::move(file)),
      line_(line),
      field_(std::move(field)),
      problem_(problem) {}

}  // namespace dosavia

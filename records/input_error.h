// The error type of every file reader: a problem that names the file, the line and the field.
#pragma once

#include <string>

#include "records/problem.h"

namespace dosavia {

// A bad or missing input file. The problem always names the file, and where known the
// 1-based line number and the field, so that a hand-edited file can be mended.
class InputError : public ProblemError {
 public:
  explicit InputError(Problem problem) : ProblemError(std::move(problem)) {}
  const std::string& file() const { return problem().file; }
  int line() const { return problem().line; }  // 0 when the problem is the file as a whole
  const ProblemField& field() const { return problem().field; }
};

}  // namespace dosavia

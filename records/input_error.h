// The error type of every file reader: a problem that names the file, the line and the field.
#pragma once

#include <string>
#include <utility>

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

// A reader's error: `kind` at line `line` of `file` (0: the file as a whole), in `field`,
// having found `value` where `limit` bounds it (each left out when empty).
inline InputError BadInput(ProblemKind kind, const std::string& file, int line,
                           ProblemField field = {}, std::string value = {},
                           std::string limit = {}) {
  return InputError(Problem(kind)
                        .In(file, line)
                        .At(std::move(field))
                        .WithValue(std::move(value))
                        .WithLimit(std::move(limit)));
}

}  // namespace dosavia

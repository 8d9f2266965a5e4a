// A run of the engine that cannot go on for a reason other than a malformed input file
// (those raise InputError, which names the file, line and field).
#pragma once

#include "records/problem.h"

namespace dosavia {

class EngineError : public ProblemError {
 public:
  explicit EngineError(Problem problem) : ProblemError(std::move(problem)) {}
};

}  // namespace dosavia

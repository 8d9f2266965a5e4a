// A run of the engine that cannot go on for a reason other than a malformed input file
// (those raise InputError, which names the file, line and field).
#pragma once

#include <stdexcept>
#include <string>

namespace dosavia {

class EngineError : public std::runtime_error {
 public:
  explicit EngineError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace dosavia

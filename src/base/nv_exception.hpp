#pragma once

#include <stdexcept>
#include <string>

namespace nvrp {

// The project's one exception type. Its message is the exact text that reaches the caller
// (UTF-8), so it is never decorated on the way up.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace nvrp

#pragma once

// A command wrapper run in this process as an export runs it: the request processed, then the
// answer formatted.

#include <cstdint>
#include <string>

namespace nvrp::testing {

struct Formatted {
  std::string output;
  std::string errorMessage;
  int16_t result = 0;
};

template <typename Wrapper>
Formatted RunWrapper(const std::string& aXml) {
  Wrapper wrapper;
  wrapper.Process(aXml);
  Formatted f;
  wrapper.Format(f.output, f.errorMessage, f.result);
  return f;
}

}  // namespace nvrp::testing

#pragma once

#include <cstdint>
#include <string>

#include "base/ole_string.hpp"
#include "base/platform_abi.hpp"

// Test plug-in libraries: exported C functions with the plug-in calling convention.
#if defined(_WIN32)
#define NVRP_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define NVRP_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace nvrp::test_plugin {

// Answers are allocated with the same OLE string allocator the host releases them with.
inline void Answer(BSTR* aOut, const std::string& aText) {
  if (aOut != nullptr) *aOut = Utf8ToOle(aText);
}

inline bool Contains(BSTR aText, const char* aPart) {
  return OleToUtf8(aText).find(aPart) != std::string::npos;
}

}  // namespace nvrp::test_plugin

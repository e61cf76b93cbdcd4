// The C header that point-of-sale programs compile against, checked against the library's own
// declarations: both are seen here together, so a function whose parameters or result differ
// between them does not compile (functions with C linkage cannot be overloaded).

#include <gtest/gtest.h>

#include <type_traits>

#include "command/export_abi.hpp"
#include "nvrp_rorerer_10.h"
#include "support/library_host.hpp"

namespace nvrp {
namespace {

static_assert(std::is_same_v<NVRP_BSTR, BSTR>);
static_assert(std::is_same_v<NVRP_COMMAND_FUNCTION, decltype(&PRINTFR)>);
static_assert(std::is_same_v<NVRP_COMMAND_FUNCTION, decltype(&VERSION)>);

#ifdef NVRP_PRODUCTION_LIBRARY
// A host that looks the exports up at run time calls them through the header's function type.
TEST(PublicHeader, CommandFunctionTypeCallsTheLoadedLibrary) {
  const testing::LibraryHost library(NVRP_PRODUCTION_LIBRARY);
  const auto version = library.Resolve<NVRP_COMMAND_FUNCTION>("VERSION");
  NVRP_BSTR output = nullptr;
  NVRP_BSTR error = nullptr;
  NVRP_BSTR input = library.Alloc(u"NVRP_RORERER_10");
  const int16_t result = version(input, &output, &error);
  library.Take(input);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(library.Take(output).rfind("Version ", 0), 0u);
  EXPECT_EQ(library.Take(error), "");
}
#endif

}  // namespace
}  // namespace nvrp

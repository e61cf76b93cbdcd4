#include "base/version_resource.hpp"

namespace nvrp {

const tNV_StringTable& LibraryStringTable() {
#define NVRP_STRING(id, text) {id, text},
  static const tNV_StringTableMap kTable({
#include "base/version_strings.inc"
  });
#undef NVRP_STRING
  return kTable;
}

}  // namespace nvrp

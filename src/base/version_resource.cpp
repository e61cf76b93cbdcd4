#include "base/version_resource.hpp"

namespace nvrp {

std::string tNV_StringTableMap::StringById(int32_t aId) const {
  const auto found = fStrings.find(aId);
  return found != fStrings.end() ? found->second : std::string();
}

}  // namespace nvrp

#include "documents/table_items.hpp"

#include <algorithm>
#include <utility>

namespace nvrp {

const kEconomicActivity* kEconomicActivityTable::Get(const std::string& aCode) const {
  const auto found = std::find_if(
      begin(), end(), [&aCode](const kEconomicActivity& item) { return item.fCode == aCode; });
  return found == end() ? nullptr : &*found;
}

kEconomicActivity* kEconomicActivityTable::Get(const std::string& aCode) {
  return const_cast<kEconomicActivity*>(std::as_const(*this).Get(aCode));
}

}  // namespace nvrp

#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "base/application_info.hpp"

namespace nvrp {

// A string table held in memory.
class tNV_StringTableMap : public tNV_StringTable {
 public:
  explicit tNV_StringTableMap(std::map<int32_t, std::string> aStrings)
      : fStrings(std::move(aStrings)) {}

  std::string StringById(int32_t aId) const override;

 private:
  std::map<int32_t, std::string> fStrings;
};

// The library's own string table: product description, copyright and version history.
const tNV_StringTable& LibraryStringTable();

}  // namespace nvrp

#include "base/settings_store.hpp"

#include <utility>

#include "base/utf.hpp"

namespace nvrp {

size_t tNV_Setup::IndexOf(const std::string& aName) const {
  const std::string wanted = AsciiLower(aName);
  size_t index = 0;
  while (index < fList.size() && AsciiLower(fList[index].Name()) != wanted) ++index;
  return index;
}

void tNV_Setup::Define(const std::string& aName) { SetValue(aName, std::nullopt); }

tNV_SetupValue tNV_Setup::GetValue(const std::string& aName) const {
  const size_t index = IndexOf(aName);
  return index < fList.size() ? fList[index].Value() : std::nullopt;
}

void tNV_Setup::SetValue(const std::string& aName, tNV_SetupValue aValue) {
  const size_t index = IndexOf(aName);
  if (index < fList.size()) {
    fList[index].SetValue(std::move(aValue));
  } else {
    fList.emplace_back(aName, std::move(aValue));
  }
}

}  // namespace nvrp

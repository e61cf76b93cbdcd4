#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nvrp {

// A setting's value; std::nullopt is the empty value.
using tNV_SetupValue = std::optional<std::string>;

class tNV_SetupEntry {
 public:
  tNV_SetupEntry(std::string aName, tNV_SetupValue aValue)
      : fName(std::move(aName)), fValue(std::move(aValue)) {}

  const std::string& Name() const { return fName; }
  const tNV_SetupValue& Value() const { return fValue; }
  void SetValue(tNV_SetupValue aValue) { fValue = std::move(aValue); }

 private:
  std::string fName;
  tNV_SetupValue fValue;
};

// Name/value settings; names are compared without regard to letter case.
class tNV_Setup {
 public:
  // Sets the empty value, adding the entry when missing.
  void Define(const std::string& aName);
  // The entry's value, or the empty value for a name not present.
  tNV_SetupValue GetValue(const std::string& aName) const;
  // Replaces the value of an existing entry or appends a new one.
  void SetValue(const std::string& aName, tNV_SetupValue aValue);

  const std::vector<tNV_SetupEntry>& List() const { return fList; }

 private:
  // Index of the entry with this name, or the list's size when there is none.
  size_t IndexOf(const std::string& aName) const;

  std::vector<tNV_SetupEntry> fList;
};

}  // namespace nvrp

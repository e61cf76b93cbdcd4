#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/currency.hpp"

namespace nvrp {

enum class tkDepartmentSalesType { st_Product, st_Service };

// A VAT rate of the device's table.
struct kVat {
  int32_t fIndex = 0;  // position in the device's table
  std::string fCode;
  std::string fDescription;
  Currency fRate;  // percent
};

struct kEconomicActivity {
  int32_t fIndex = 0;
  std::string fCode;
  std::string fDescription;
  bool fVentilazione = false;  // the activity's VAT mode flag
};

struct kDepartment {
  int32_t fIndex = 0;
  std::string fCode;
  std::string fDescription;
  std::string fVATCode;  // code of a kVat
  tkDepartmentSalesType fSalesType = tkDepartmentSalesType::st_Product;
  std::string fEACode;  // code of a kEconomicActivity
};

struct kVatTable : std::vector<kVat> {};

struct kDeptTable : std::vector<kDepartment> {};

struct kEconomicActivityTable : std::vector<kEconomicActivity> {
  // The first activity whose code equals aCode exactly (letter case significant), or null.
  const kEconomicActivity* Get(const std::string& aCode) const;
  kEconomicActivity* Get(const std::string& aCode);
};

}  // namespace nvrp

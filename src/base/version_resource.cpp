#include "base/version_resource.hpp"

namespace nvrp {

std::string tNV_StringTableMap::StringById(int32_t aId) const {
  const auto found = fStrings.find(aId);
  return found != fStrings.end() ? found->second : std::string();
}

const tNV_StringTable& LibraryStringTable() {
  static const tNV_StringTableMap kTable({
      {10000, "$APPDESCRIPTION=NVRP_RORERER_10 fiscal printer driver for Epson iBox"},
      {10001, "$COPYRIGHT=Copyright (C) 2020-2022 NVRP"},
      {10002, "$VERSION=1.0"},
      {10003, "$AUTHOR=NVRP"},
      {10004, "$RELEASEDATE=31/12/2020"},
      {10005, "$TEXT=Initial Release"},
      {10006, "$VERSION=1.1"},
      {10007, "$AUTHOR=NVRP"},
      {10008, "$RELEASEDATE=04/01/2021"},
      {10009, "$TEXT=Support of GETSTATUS"},
      {10010, "$VERSION=1.2"},
      {10011, "$AUTHOR=NVRP"},
      {10012, "$RELEASEDATE=03/03/2021"},
      {10013, "$TEXT=Barcode printed either on Fiscal and NoFiscal receipts"},
      {10014, "$VERSION=1.3"},
      {10015, "$AUTHOR=NVRP"},
      {10016, "$RELEASEDATE=08/03/2021"},
      {10017, "$TEXT=Set lines limit (6) to trailer messages"},
      {10018, "$VERSION=1.4"},
      {10019, "$AUTHOR=NVRP"},
      {10020, "$RELEASEDATE=02/07/2021"},
      {10021, "$TEXT=Reset errors in component creation"},
      {10022, "$VERSION=1.5"},
      {10023, "$AUTHOR=NVRP"},
      {10024, "$RELEASEDATE=02/07/2021"},
      {10025, "$TEXT=Solved bug in datetime parser when day is one digit"},
      {10026, "$VERSION=1.6"},
      {10027, "$AUTHOR=NVRP"},
      {10028, "$RELEASEDATE=24/08/2021"},
      {10029, "$TEXT=Configuration of Payments via configuration file"},
      {10030, "$VERSION=1.7"},
      {10031, "$AUTHOR=NVRP"},
      {10032, "$RELEASEDATE=06/10/2021"},
      {10033,
       "$TEXT=Fixed error: consecutive text messages in the body of the fiscal receipt caused "
       "error"},
      {10034, "$VERSION=1.8"},
      {10035, "$AUTHOR=NVRP"},
      {10036, "$RELEASEDATE=07/04/2022"},
      {10037, "$TEXT=Fixed error when sequence number is greater than 1000"},
  });
  return kTable;
}

}  // namespace nvrp

// A fiscal processor without PROCESSRECEIPT and PROCESSZREPORT; its X report always fails.
#include "plugin_export.hpp"

using namespace nvrp;
using nvrp::test_plugin::Answer;

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL OPEN(BSTR, int32_t* aHandle, BSTR* aErrorMessage) {
  *aHandle = 7;
  Answer(aErrorMessage, "partial refuses to open");
  return 3;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL PROCESSXREPORT(BSTR, BSTR*, BSTR* aErrorMessage) {
  Answer(aErrorMessage, "no X report today");
  return 1;
}

NVRP_PLUGIN_EXPORT int16_t NVRP_STDCALL PROCESSGETSTATUS(BSTR, BSTR*, BSTR* aErrorMessage) {
  Answer(aErrorMessage, "status unavailable");
  return 1;
}

#include <windows.h>

#include <oleauto.h>

#include <map>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "base/win32_text.hpp"
#include "transport/io_handler_device_messages.hpp"
#include "transport/opos_fiscal_printer.hpp"

// The OPOS fiscal-printer control over COM automation: created from its ProgID, every method
// and property reached through IDispatch by name. A call the control refuses with a COM error
// raises nvrp::Exception; OPOS result codes are answered as they come.

namespace nvrp {

namespace {

namespace msg = io_handler_device_messages;

// The arguments of one call, in the control's order; the variants own their strings.
class DispatchArguments {
 public:
  DispatchArguments() = default;
  DispatchArguments(const DispatchArguments&) = delete;
  DispatchArguments& operator=(const DispatchArguments&) = delete;
  ~DispatchArguments() {
    for (VARIANT& value : fValues) VariantClear(&value);
  }

  DispatchArguments& Long(int32_t aValue) {
    Add(VT_I4).lVal = aValue;
    return *this;
  }
  DispatchArguments& Bool(bool aValue) {
    Add(VT_BOOL).boolVal = aValue ? VARIANT_TRUE : VARIANT_FALSE;
    return *this;
  }
  DispatchArguments& Money(Currency aValue) {
    Add(VT_CY).cyVal.int64 = aValue.Raw();
    return *this;
  }
  DispatchArguments& Text(const std::string& aValue) {
    const std::wstring wide = WideOf(aValue);
    Add(VT_BSTR).bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *this;
  }
  // In/out arguments: the control writes back through the reference.
  DispatchArguments& LongRef(LONG* aValue) {
    Add(VT_BYREF | VT_I4).plVal = aValue;
    return *this;
  }
  DispatchArguments& TextRef(BSTR* aValue) {
    Add(VT_BYREF | VT_BSTR).pbstrVal = aValue;
    return *this;
  }

  // IDispatch::Invoke takes the arguments last to first.
  std::vector<VARIANT> Reversed() const { return {fValues.rbegin(), fValues.rend()}; }

 private:
  VARIANT& Add(VARTYPE aType) {
    VARIANT value;
    VariantInit(&value);
    value.vt = aType;
    fValues.push_back(value);
    return fValues.back();
  }

  std::vector<VARIANT> fValues;
};

// A BSTR owned for the length of a call with in/out text.
class OwnedText {
 public:
  explicit OwnedText(const std::string& aText) {
    const std::wstring wide = WideOf(aText);
    fText = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
  OwnedText(const OwnedText&) = delete;
  OwnedText& operator=(const OwnedText&) = delete;
  ~OwnedText() { SysFreeString(fText); }

  BSTR* Address() { return &fText; }
  std::string Utf8() const { return fText != nullptr ? Utf8Of(fText, SysStringLen(fText)) : ""; }

 private:
  BSTR fText = nullptr;
};

// A variant result, cleared when it goes.
struct OwnedVariant {
  VARIANT value;
  OwnedVariant() { VariantInit(&value); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  ~OwnedVariant() { VariantClear(&value); }
};

int32_t AsLong(VARIANT& aValue) {
  if (VariantChangeType(&aValue, &aValue, 0, VT_I4) != S_OK) return 0;
  return aValue.lVal;
}

int32_t Code(HRESULT aResult) { return static_cast<int32_t>(aResult); }

class kComOposFiscalPrinter final : public kOposFiscalPrinter {
 public:
  ~kComOposFiscalPrinter() override {
    if (fControl != nullptr) fControl->Release();
    fControl = nullptr;
    // COM is left as it is on any other thread: its initialisation belongs to the thread.
    if (fComInitialised && GetCurrentThreadId() == fComThread) CoUninitialize();
  }

  int32_t Open(const std::string& aDeviceName) override {
    if (fControl == nullptr && !CreateControl()) return msg::kOposNoService;
    return Method("Open", DispatchArguments().Text(aDeviceName));
  }
  int32_t Close() override { return Method("Close", DispatchArguments()); }
  int32_t ClaimDevice(int32_t aTimeoutMs) override {
    return Method("ClaimDevice", DispatchArguments().Long(aTimeoutMs));
  }
  int32_t ReleaseDevice() override { return Method("ReleaseDevice", DispatchArguments()); }
  bool DeviceEnabled() override { return BoolProperty("DeviceEnabled"); }
  void SetDeviceEnabled(bool aEnabled) override {
    if (fControl != nullptr) Put("DeviceEnabled", DispatchArguments().Bool(aEnabled));
  }
  int32_t ResultCodeExtended() override { return LongProperty("ResultCodeExtended"); }
  // Asked while an error is reported, so it answers a text also when the control cannot.
  std::string ErrorString() override {
    if (fControl == nullptr) return fUnavailable;
    try {
      return TextProperty("ErrorString");
    } catch (const Exception& error) {
      return error.what();
    }
  }

  int32_t BeginFiscalReceipt(bool aPrintHeader) override {
    return Method("BeginFiscalReceipt", DispatchArguments().Bool(aPrintHeader));
  }
  int32_t EndFiscalReceipt(bool aPrintHeader) override {
    return Method("EndFiscalReceipt", DispatchArguments().Bool(aPrintHeader));
  }
  int32_t PrintRecItem(const std::string& aDescription, Currency aPrice, int32_t aQuantity,
                       int32_t aVatInfo, Currency aUnitPrice,
                       const std::string& aUnitName) override {
    DispatchArguments arguments;
    arguments.Text(aDescription).Money(aPrice).Long(aQuantity).Long(aVatInfo);
    return Method("PrintRecItem", arguments.Money(aUnitPrice).Text(aUnitName));
  }
  int32_t PrintRecItemVoid(const std::string& aDescription, Currency aPrice, int32_t aQuantity,
                           int32_t aVatInfo, Currency aUnitPrice,
                           const std::string& aUnitName) override {
    DispatchArguments arguments;
    arguments.Text(aDescription).Money(aPrice).Long(aQuantity).Long(aVatInfo);
    return Method("PrintRecItemVoid", arguments.Money(aUnitPrice).Text(aUnitName));
  }
  int32_t PrintRecRefund(const std::string& aDescription, Currency aAmount,
                         int32_t aVatInfo) override {
    return Method("PrintRecRefund",
                  DispatchArguments().Text(aDescription).Money(aAmount).Long(aVatInfo));
  }
  int32_t PrintRecSubtotal(Currency aAmount) override {
    return Method("PrintRecSubtotal", DispatchArguments().Money(aAmount));
  }
  int32_t PrintRecMessage(const std::string& aMessage) override {
    return Method("PrintRecMessage", DispatchArguments().Text(aMessage));
  }
  int32_t PrintRecItemAdjustment(int32_t aAdjustmentType, const std::string& aDescription,
                                 Currency aAmount, int32_t aVatInfo) override {
    DispatchArguments arguments;
    arguments.Long(aAdjustmentType).Text(aDescription).Money(aAmount).Long(aVatInfo);
    return Method("PrintRecItemAdjustment", arguments);
  }
  int32_t PrintRecSubtotalAdjustment(int32_t aAdjustmentType, const std::string& aDescription,
                                     Currency aAmount) override {
    return Method("PrintRecSubtotalAdjustment",
                  DispatchArguments().Long(aAdjustmentType).Text(aDescription).Money(aAmount));
  }
  int32_t PrintRecTotal(Currency aTotal, Currency aPayment,
                        const std::string& aDescription) override {
    return Method("PrintRecTotal",
                  DispatchArguments().Money(aTotal).Money(aPayment).Text(aDescription));
  }
  int32_t PrintRecNotPaid(const std::string& aDescription, Currency aAmount) override {
    return Method("PrintRecNotPaid", DispatchArguments().Text(aDescription).Money(aAmount));
  }
  int32_t PrintRecTaxID(const std::string& aTaxId) override {
    return Method("PrintRecTaxID", DispatchArguments().Text(aTaxId));
  }
  int32_t ResetPrinter() override { return Method("ResetPrinter", DispatchArguments()); }
  int32_t BeginNonFiscal() override { return Method("BeginNonFiscal", DispatchArguments()); }
  int32_t EndNonFiscal() override { return Method("EndNonFiscal", DispatchArguments()); }
  int32_t PrintNormal(int32_t aStation, const std::string& aData) override {
    return Method("PrintNormal", DispatchArguments().Long(aStation).Text(aData));
  }
  int32_t BeginTraining() override { return Method("BeginTraining", DispatchArguments()); }
  int32_t EndTraining() override { return Method("EndTraining", DispatchArguments()); }
  int32_t PrintXReport() override { return Method("PrintXReport", DispatchArguments()); }
  int32_t PrintZReport() override { return Method("PrintZReport", DispatchArguments()); }
  int32_t SetDate(const std::string& aDate) override {
    return Method("SetDate", DispatchArguments().Text(aDate));
  }
  int32_t GetDate(std::string& aDate) override {
    OwnedText date("");
    const int32_t result = Method("GetDate", DispatchArguments().TextRef(date.Address()));
    aDate = date.Utf8();
    return result;
  }
  int32_t GetData(int32_t aDataItem, int32_t& aOptArgs, std::string& aData) override {
    LONG options = aOptArgs;
    OwnedText data("");
    DispatchArguments arguments;
    arguments.Long(aDataItem).LongRef(&options).TextRef(data.Address());
    const int32_t result = Method("GetData", arguments);
    aOptArgs = options;
    aData = data.Utf8();
    return result;
  }
  int32_t DirectIO(int32_t aCommand, int32_t& aData, std::string& aString) override {
    LONG data = aData;
    OwnedText text(aString);
    DispatchArguments arguments;
    arguments.Long(aCommand).LongRef(&data).TextRef(text.Address());
    const int32_t result = Method("DirectIO", arguments);
    aData = data;
    aString = text.Utf8();
    return result;
  }

  bool CoverOpen() override { return BoolProperty("CoverOpen"); }
  bool DayOpened() override { return BoolProperty("DayOpened"); }
  bool RecEmpty() override { return BoolProperty("RecEmpty"); }
  bool RecNearEnd() override { return BoolProperty("RecNearEnd"); }
  bool TrainingModeActive() override { return BoolProperty("TrainingModeActive"); }
  int32_t PrinterState() override { return LongProperty("PrinterState"); }
  int32_t RemainingFiscalMemory() override { return LongProperty("RemainingFiscalMemory"); }
  int32_t SetFiscalReceiptType(int32_t aType) override {
    return PutProperty("FiscalReceiptType", DispatchArguments().Long(aType));
  }
  int32_t SetPreLine(const std::string& aText) override {
    return PutProperty("PreLine", DispatchArguments().Text(aText));
  }
  std::string AdditionalTrailer() override { return TextProperty("AdditionalTrailer"); }
  int32_t SetAdditionalTrailer(const std::string& aText) override {
    return PutProperty("AdditionalTrailer", DispatchArguments().Text(aText));
  }

 private:
  // COM on this thread, then the control from its ProgID; false with fUnavailable set.
  bool CreateControl() {
    if (!fComReady) {
      const HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      // A thread already in another apartment keeps it; COM works there all the same.
      if (FAILED(started) && started != RPC_E_CHANGED_MODE) {
        fUnavailable = msg::OposComNotInitialised(Code(started));
        return false;
      }
      fComInitialised = SUCCEEDED(started);  // S_OK and S_FALSE are balanced on destruction
      fComReady = true;
      fComThread = GetCurrentThreadId();
    }
    CLSID id{};
    const HRESULT found = CLSIDFromProgID(WideOf(msg::kOposProgId).c_str(), &id);
    if (FAILED(found)) {
      fUnavailable = msg::OposNotRegistered(Code(found));
      return false;
    }
    const HRESULT created =
        CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                         reinterpret_cast<void**>(&fControl));
    if (FAILED(created)) {
      fControl = nullptr;
      fUnavailable = msg::OposNotCreated(Code(created));
      return false;
    }
    return true;
  }

  DISPID MemberId(const char* aName) {
    const std::wstring name = WideOf(aName);
    const auto known = fIds.find(name);
    if (known != fIds.end()) return known->second;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT result = fControl->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) throw Exception(msg::OposCallFailed(aName, Code(result), ""));
    fIds.emplace(name, id);
    return id;
  }

  // One IDispatch call; raises the control's COM error with its description.
  void Invoke(const char* aName, WORD aKind, const DispatchArguments& aArguments,
              VARIANT* aResult) {
    const DISPID id = MemberId(aName);
    std::vector<VARIANT> values = aArguments.Reversed();
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
    if (aKind == DISPATCH_PROPERTYPUT) {
      parameters.rgdispidNamedArgs = &putId;
      parameters.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT result = fControl->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, aKind, &parameters,
                                            aResult, &exception, &badArgument);
    // A control may leave its exception to be filled in only when asked.
    if (result == DISP_E_EXCEPTION && exception.pfnDeferredFillIn != nullptr) {
      exception.pfnDeferredFillIn(&exception);
    }
    std::string description;
    if (exception.bstrDescription != nullptr) {
      description = Utf8Of(exception.bstrDescription, SysStringLen(exception.bstrDescription));
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (FAILED(result)) throw Exception(msg::OposCallFailed(aName, Code(result), description));
  }

  // A method answering an OPOS result code; "closed" before the control exists.
  int32_t Method(const char* aName, const DispatchArguments& aArguments) {
    if (fControl == nullptr) return msg::kOposClosed;
    OwnedVariant result;
    Invoke(aName, DISPATCH_METHOD, aArguments, &result.value);
    return AsLong(result.value);
  }

  void Put(const char* aName, const DispatchArguments& aArguments) {
    Invoke(aName, DISPATCH_PROPERTYPUT, aArguments, nullptr);
  }

  // Writes a property and answers the result code the control reports after it.
  int32_t PutProperty(const char* aName, const DispatchArguments& aArguments) {
    if (fControl == nullptr) return msg::kOposClosed;
    Put(aName, aArguments);
    return LongProperty("ResultCode");
  }

  // Reads a property converted to aType; false when there is no control.
  bool GetProperty(const char* aName, VARTYPE aType, OwnedVariant& aValue) {
    if (fControl == nullptr) return false;
    Invoke(aName, DISPATCH_PROPERTYGET, DispatchArguments(), &aValue.value);
    const HRESULT converted = VariantChangeType(&aValue.value, &aValue.value, 0, aType);
    if (FAILED(converted)) throw Exception(msg::OposCallFailed(aName, Code(converted), ""));
    return true;
  }
  bool BoolProperty(const char* aName) {
    OwnedVariant value;
    return GetProperty(aName, VT_BOOL, value) && value.value.boolVal != VARIANT_FALSE;
  }
  int32_t LongProperty(const char* aName) {
    OwnedVariant value;
    return GetProperty(aName, VT_I4, value) ? value.value.lVal : 0;
  }
  std::string TextProperty(const char* aName) {
    OwnedVariant value;
    if (!GetProperty(aName, VT_BSTR, value) || value.value.bstrVal == nullptr) return "";
    return Utf8Of(value.value.bstrVal, SysStringLen(value.value.bstrVal));
  }

  IDispatch* fControl = nullptr;
  std::map<std::wstring, DISPID> fIds;
  std::string fUnavailable = std::string(msg::kOposUnavailable);
  bool fComReady = false;
  bool fComInitialised = false;
  DWORD fComThread = 0;
};

}  // namespace

std::unique_ptr<kOposFiscalPrinter> CreateOposFiscalPrinter() {
  return std::make_unique<kComOposFiscalPrinter>();
}

}  // namespace nvrp

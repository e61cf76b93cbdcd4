#include "fake_opos_control.hpp"

#include <oleauto.h>

#include <algorithm>
#include <atomic>

#include "base/utf.hpp"

namespace nvrp::testing {

namespace {

// {6D1F0E52-8A43-4C1B-9E2F-3B7A5C9D0E41}
constexpr CLSID kFakeClsid = {
    0x6d1f0e52, 0x8a43, 0x4c1b, {0x9e, 0x2f, 0x3b, 0x7a, 0x5c, 0x9d, 0x0e, 0x41}};
constexpr wchar_t kFakeClsidText[] = L"{6D1F0E52-8A43-4C1B-9E2F-3B7A5C9D0E41}";
constexpr wchar_t kProgIdKey[] = L"OPOS.FiscalPrinter";

// The members a script may call: methods and properties (read and written).
struct Member {
  const char* name;
  bool property;
};
const Member kMembers[] = {
    {"Open", false},
    {"Close", false},
    {"ClaimDevice", false},
    {"ReleaseDevice", false},
    {"DeviceEnabled", true},
    {"ResultCode", true},
    {"ResultCodeExtended", true},
    {"ErrorString", true},
    {"BeginFiscalReceipt", false},
    {"EndFiscalReceipt", false},
    {"PrintRecItem", false},
    {"PrintRecItemVoid", false},
    {"PrintRecRefund", false},
    {"PrintRecSubtotal", false},
    {"PrintRecMessage", false},
    {"PrintRecItemAdjustment", false},
    {"PrintRecSubtotalAdjustment", false},
    {"PrintRecTotal", false},
    {"PrintRecNotPaid", false},
    {"PrintRecTaxID", false},
    {"ResetPrinter", false},
    {"BeginNonFiscal", false},
    {"EndNonFiscal", false},
    {"PrintNormal", false},
    {"BeginTraining", false},
    {"EndTraining", false},
    {"PrintXReport", false},
    {"PrintZReport", false},
    {"SetDate", false},
    {"GetDate", false},
    {"GetData", false},
    {"DirectIO", false},
    {"CoverOpen", true},
    {"DayOpened", true},
    {"RecEmpty", true},
    {"RecNearEnd", true},
    {"TrainingModeActive", true},
    {"PrinterState", true},
    {"RemainingFiscalMemory", true},
    {"FiscalReceiptType", true},
    {"PreLine", true},
    {"AdditionalTrailer", true},
};

std::string Utf8(const wchar_t* aText) {
  if (aText == nullptr) return "";
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(aText),
                                         SysStringLen(const_cast<BSTR>(aText))));
}

BSTR Bstr(const std::string& aText) {
  const std::u16string units = Utf8ToUtf16(aText);
  return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(units.data()),
                           static_cast<UINT>(units.size()));
}

std::string Show(const VARIANT& aValue) {
  switch (aValue.vt) {
    case VT_I4:
      return std::to_string(aValue.lVal);
    case VT_BOOL:
      return aValue.boolVal != VARIANT_FALSE ? "true" : "false";
    case VT_CY:
      return "cy" + std::to_string(aValue.cyVal.int64);
    case VT_BSTR:
      return "'" + Utf8(aValue.bstrVal) + "'";
    case VT_BYREF | VT_I4:
      return "&" + std::to_string(*aValue.plVal);
    case VT_BYREF | VT_BSTR:
      return "&'" + Utf8(*aValue.pbstrVal) + "'";
    default:
      return "vt" + std::to_string(aValue.vt);
  }
}

// COM objects are destroyed by their own Release, never through the interface: the
// interfaces have no virtual destructor by design.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The IUnknown part of a COM object with one interface besides IUnknown: counted references,
// the object (of class Self) deleted by its last Release.
template <typename Self, typename Interface>
class ComObject : public Interface {
 public:
  explicit ComObject(const IID& aInterfaceId) : fInterfaceId(aInterfaceId) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID aId, void** aObject) override {
    if (aId == IID_IUnknown || aId == fInterfaceId) {
      *aObject = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *aObject = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++fReferences; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --fReferences;
    if (left == 0) delete static_cast<Self*>(this);
    return left;
  }

 private:
  const IID& fInterfaceId;
  std::atomic<ULONG> fReferences{1};
};

class FakeControl final : public ComObject<FakeControl, IDispatch> {
 public:
  explicit FakeControl(FakeOposState& aState) : ComObject(IID_IDispatch), fState(aState) {}

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* aCount) override {
    *aCount = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* aNames, UINT aCount, LCID,
                                          DISPID* aIds) override {
    if (aCount != 1) return E_INVALIDARG;
    const std::string name = Utf16ToUtf8(reinterpret_cast<const char16_t*>(aNames[0]));
    const auto* found = std::find_if(std::begin(kMembers), std::end(kMembers),
                                     [&](const Member& aMember) { return name == aMember.name; });
    if (found == std::end(kMembers)) {
      aIds[0] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    aIds[0] = static_cast<DISPID>(found - std::begin(kMembers)) + 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID aId, REFIID, LCID, WORD aFlags, DISPPARAMS* aParameters,
                                   VARIANT* aResult, EXCEPINFO* aException, UINT*) override {
    if (aId < 1 || aId > static_cast<DISPID>(std::size(kMembers))) return DISP_E_MEMBERNOTFOUND;
    const std::string name = kMembers[aId - 1].name;
    if (name == fState.raiseOn) {
      aException->scode = E_FAIL;
      if (fState.deferDescription) {
        aException->pfnDeferredFillIn = &FillInDescription;
      } else {
        FillInDescription(aException);
      }
      return DISP_E_EXCEPTION;
    }
    // Strict about the kind of call, as a vendor's control may be.
    const bool property = kMembers[aId - 1].property;
    if (property && (aFlags & DISPATCH_PROPERTYPUT) != 0) return Put(name, *aParameters);
    if (property && (aFlags & DISPATCH_PROPERTYGET) != 0 && aParameters->cArgs == 0) {
      fState.calls.push_back(name + "?");
      Get(name, aResult);
      return S_OK;
    }
    if (!property && (aFlags & DISPATCH_METHOD) != 0) return Call(name, *aParameters, aResult);
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  static std::vector<VARIANT*> Arguments(DISPPARAMS& aParameters) {
    std::vector<VARIANT*> arguments;
    for (UINT i = aParameters.cArgs; i > 0; --i) arguments.push_back(&aParameters.rgvarg[i - 1]);
    return arguments;
  }

  HRESULT Put(const std::string& aName, DISPPARAMS& aParameters) {
    if (aParameters.cNamedArgs != 1 || aParameters.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT ||
        aParameters.cArgs != 1) {
      return DISP_E_PARAMNOTOPTIONAL;
    }
    const VARIANT& value = aParameters.rgvarg[0];
    fState.calls.push_back(aName + "=" + Show(value));
    if (aName == "DeviceEnabled") fState.enabled = value.boolVal != VARIANT_FALSE;
    if (aName == "AdditionalTrailer") fState.trailer = Utf8(value.bstrVal);
    return S_OK;
  }

  static HRESULT STDAPICALLTYPE FillInDescription(EXCEPINFO* aException) {
    aException->bstrDescription = Bstr("device on fire");
    return S_OK;
  }

  void Get(const std::string& aName, VARIANT* aResult) {
    const std::map<std::string, bool> flags = {{"DeviceEnabled", fState.enabled},
                                               {"CoverOpen", true},
                                               {"DayOpened", true},
                                               {"RecEmpty", false},
                                               {"RecNearEnd", true},
                                               {"TrainingModeActive", false}};
    if (const auto flag = flags.find(aName); flag != flags.end()) {
      aResult->vt = VT_BOOL;
      aResult->boolVal = flag->second ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (aName == "RemainingFiscalMemory") {
      aResult->vt = VT_I2;  // a narrower type than asked: the caller converts
      aResult->iVal = 1234;
    } else if (aName == "PrinterState" || aName == "ResultCode" || aName == "ResultCodeExtended") {
      aResult->vt = VT_I4;
      aResult->lVal = aName == "PrinterState" ? 3
                      : aName == "ResultCode" ? fState.results["ResultCode"]
                                              : fState.extended;
    } else if (aName == "ErrorString" || aName == "AdditionalTrailer") {
      aResult->vt = VT_BSTR;
      aResult->bstrVal = Bstr(aName == "ErrorString" ? fState.errorString : fState.trailer);
    }
  }

  HRESULT Call(const std::string& aName, DISPPARAMS& aParameters, VARIANT* aResult) {
    const std::vector<VARIANT*> arguments = Arguments(aParameters);
    std::string shown;
    for (const VARIANT* argument : arguments) shown += (shown.empty() ? "" : ",") + Show(*argument);
    fState.calls.push_back(aName + "(" + shown + ")");
    if (aName == "GetDate" && arguments.size() == 1) {
      SysFreeString(*arguments[0]->pbstrVal);
      *arguments[0]->pbstrVal = Bstr("101220261530");
    } else if (aName == "GetData" && arguments.size() == 3) {
      *arguments[1]->plVal = 7;
      SysFreeString(*arguments[2]->pbstrVal);
      *arguments[2]->pbstrVal = Bstr("ΔΕΔΟΜΕΝΑ");
    } else if (aName == "DirectIO" && arguments.size() == 3) {
      *arguments[1]->plVal *= 2;
      const std::string text = Utf8(*arguments[2]->pbstrVal) + "!";
      SysFreeString(*arguments[2]->pbstrVal);
      *arguments[2]->pbstrVal = Bstr(text);
    }
    if (aResult != nullptr) {
      aResult->vt = VT_I4;
      aResult->lVal = fState.results.contains(aName) ? fState.results[aName] : 0;
    }
    return S_OK;
  }

  FakeOposState& fState;
};

class FakeFactory final : public ComObject<FakeFactory, IClassFactory> {
 public:
  explicit FakeFactory(FakeOposState& aState) : ComObject(IID_IClassFactory), fState(aState) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* aOuter, REFIID aId, void** aObject) override {
    if (aOuter != nullptr) return CLASS_E_NOAGGREGATION;
    auto* control = new FakeControl(fState);
    const HRESULT result = control->QueryInterface(aId, aObject);
    control->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  FakeOposState& fState;
};

#pragma GCC diagnostic pop

}  // namespace

FakeOposRegistration::FakeOposRegistration(FakeOposState& aState) {
  RemoveProgId();
  const std::wstring key = std::wstring(kProgIdKey) + L"\\CLSID";
  if (RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, kFakeClsidText,
                      sizeof kFakeClsidText) != ERROR_SUCCESS) {
    return;
  }
  fFactory = new FakeFactory(aState);
  if (FAILED(CoRegisterClassObject(kFakeClsid, fFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                   &fCookie))) {
    fCookie = 0;
  }
}

FakeOposRegistration::~FakeOposRegistration() {
  if (fCookie != 0) CoRevokeClassObject(fCookie);
  if (fFactory != nullptr) fFactory->Release();
  RemoveProgId();
}

void FakeOposRegistration::RemoveProgId() { RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgIdKey); }

}  // namespace nvrp::testing

// Cost of a fiscal receipt through the production library: PRINTFR of 10 and of 100 lines
// against the in-process iBox simulator, next to the bare HTTP exchanges the same receipt needs
// (the simulator's record of one PRINTFR, replayed with libcurl). The counter "driver_ratio" of
// BM_Printfr is the time of one PRINTFR divided by the time of its bare exchanges: what the
// driver's own work (parsing, building requests, a fresh HTTP client per request, status
// parsing, logging) costs on top of the HTTP traffic.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <dlfcn.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/ole_string.hpp"
#include "base/utf.hpp"
#include "ibox_simulator.hpp"

namespace {

namespace fs = std::filesystem;
namespace sim = nvrp::ibox_sim;
using nvrp::BSTR;
using Clock = std::chrono::steady_clock;

// The production library as a host program loads it; strings cross with its own functions.
class Library {
 public:
  explicit Library(const char* aPath) {
    fHandle = dlopen(aPath, RTLD_NOW | RTLD_LOCAL);
    if (fHandle == nullptr) throw std::runtime_error(dlerror());
    Resolve("SysAllocStringLen", fAlloc);
    Resolve("SysStringLen", fLength);
    Resolve("SysFreeString", fFree);
    Resolve("OPEN", fOpen);
    Resolve("PRINTFR", fPrintfr);
  }

  // Calls OPEN or PRINTFR; answers the result code and the output fragment.
  int16_t Open(const std::string& aRequest, std::string& aOutput) const {
    return Call(fOpen, aRequest, aOutput);
  }
  int16_t Printfr(const std::string& aRequest, std::string& aOutput) const {
    return Call(fPrintfr, aRequest, aOutput);
  }

 private:
  using Command = int16_t (*)(BSTR, BSTR*, BSTR*);

  template <typename Function>
  void Resolve(const char* aName, Function& aFunction) {
    void* symbol = dlsym(fHandle, aName);
    if (symbol == nullptr) throw std::runtime_error(std::string("missing export ") + aName);
    static_assert(sizeof(aFunction) == sizeof(symbol));
    std::memcpy(&aFunction, &symbol, sizeof(symbol));
  }

  std::string Take(BSTR aValue) const {
    std::string text =
        nvrp::Utf16ToUtf8(std::u16string_view(aValue == nullptr ? u"" : aValue, fLength(aValue)));
    fFree(aValue);
    return text;
  }

  int16_t Call(Command aCommand, const std::string& aRequest, std::string& aOutput) const {
    const std::u16string text = nvrp::Utf8ToUtf16(aRequest);
    BSTR input = fAlloc(text.data(), static_cast<uint32_t>(text.size()));
    BSTR output = nullptr;
    BSTR error = nullptr;
    const int16_t result = aCommand(input, &output, &error);
    aOutput = Take(output);
    Take(error);
    fFree(input);
    return result;
  }

  void* fHandle = nullptr;
  BSTR (*fAlloc)(const char16_t*, uint32_t) = nullptr;
  uint32_t (*fLength)(BSTR) = nullptr;
  void (*fFree)(BSTR) = nullptr;
  Command fOpen = nullptr;
  Command fPrintfr = nullptr;
};

std::string Element(const std::string& aName, const std::string& aValue) {
  return "<" + aName + ">" + aValue + "</" + aName + ">";
}

// A PRINTFR request of aLines items of 1.00 each, paid in cash.
std::string ReceiptRequest(int32_t aHandle, int aLines) {
  std::string lines;
  for (int i = 0; i < aLines; ++i) {
    lines += "<ProductSale><Description>Item " + std::to_string(i) +
             "</Description><Quantity>1</Quantity><Department>1</Department><Price>1</Price>"
             "<Amount>1</Amount></ProductSale>";
  }
  return "<Request>" + Element("Driver", "NVRP_RORERER_10") +
         Element("Handle", std::to_string(aHandle)) + Element("LogId", "bench") +
         "<Receipt><Type>Sale</Type>" + Element("Lines", lines) + "<Taxes/><Payments>" +
         "<Payment><Type>Cash</Type><Amount>" + std::to_string(aLines) +
         "</Amount></Payment></Payments></Receipt></Request>";
}

// The simulator, the loaded library and one open device, shared by every benchmark.
struct Setup {
  sim::IboxSimulator simulator;
  Library* library = nullptr;
  int32_t handle = 0;

  Setup() {
    std::string host = (fs::temp_directory_path() / "printfr_bench_XXXXXX").string();
    if (::mkdtemp(host.data()) == nullptr) throw std::runtime_error("no temporary directory");
    ::setenv("NVRP_HOST_DIR", host.c_str(), 1);  // logs go there, not beside the program
    curl_global_init(CURL_GLOBAL_DEFAULT);
    simulator.Start();
    library = new Library(NVRP_PRODUCTION_LIBRARY);  // stays loaded, as a host keeps it
    std::string output;
    const std::string open =
        "<Request>" + Element("Driver", "NVRP_RORERER_10") + Element("Handle", "0") +
        Element("LogId", "bench") + "<Connection><Type>HTTP</Type><Address>127.0.0.1</Address>" +
        Element("Port", std::to_string(simulator.Port())) + "</Connection></Request>";
    if (library->Open(open, output) != 0) throw std::runtime_error("OPEN failed: " + output);
    const size_t at = output.find("<Handle>") + 8;
    handle = std::stoi(output.substr(at));
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

void Print(const std::string& aRequest) {
  std::string output;
  if (Shared().library->Printfr(aRequest, output) != 0) {
    throw std::runtime_error("PRINTFR failed: " + output);
  }
}

// The raw targets the device received for one PRINTFR of the request.
std::vector<std::string> RecordedTargets(const std::string& aRequest) {
  Shared().simulator.ClearRequests();
  Print(aRequest);
  std::vector<std::string> targets;
  for (const sim::RecordedRequest& request : Shared().simulator.Requests()) {
    targets.push_back(request.target);
  }
  Shared().simulator.ClearRequests();
  return targets;
}

size_t Discard(char*, size_t aSize, size_t aCount, void*) { return aSize * aCount; }

// The same exchanges without the driver: an empty POST per target, as the driver sends them,
// on one reused curl handle. The device closes every connection after its answer.
class BareExchanges {
 public:
  explicit BareExchanges(std::vector<std::string> aTargets) : fTargets(std::move(aTargets)) {
    fCurl = curl_easy_init();
    fHeaders = curl_slist_append(nullptr, "Content-Type: text/xml; charset=UTF-8");
    curl_easy_setopt(fCurl, CURLOPT_HTTPHEADER, fHeaders);
    curl_easy_setopt(fCurl, CURLOPT_POSTFIELDS, "");
    curl_easy_setopt(fCurl, CURLOPT_POSTFIELDSIZE, 0L);
    curl_easy_setopt(fCurl, CURLOPT_WRITEFUNCTION, Discard);
    const std::string base = Shared().simulator.BaseUrl();
    for (const std::string& target : fTargets) fUrls.push_back(base + target);
  }
  ~BareExchanges() {
    curl_slist_free_all(fHeaders);
    curl_easy_cleanup(fCurl);
  }
  BareExchanges(const BareExchanges&) = delete;
  BareExchanges& operator=(const BareExchanges&) = delete;

  void Run() const {
    for (const std::string& url : fUrls) {
      curl_easy_setopt(fCurl, CURLOPT_URL, url.c_str());
      if (curl_easy_perform(fCurl) != CURLE_OK) throw std::runtime_error("exchange failed");
    }
  }
  size_t Count() const { return fUrls.size(); }

 private:
  std::vector<std::string> fTargets;
  std::vector<std::string> fUrls;
  CURL* fCurl = nullptr;
  curl_slist* fHeaders = nullptr;
};

double SecondsPerRun(const BareExchanges& aExchanges, int aRuns) {
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < aRuns; ++i) aExchanges.Run();
  return std::chrono::duration<double>(Clock::now() - start).count() / aRuns;
}

void BM_Printfr(benchmark::State& state) {
  const std::string request = ReceiptRequest(Shared().handle, static_cast<int>(state.range(0)));
  const BareExchanges bare(RecordedTargets(request));
  const Clock::time_point start = Clock::now();
  for (auto _ : state) Print(request);
  const double printfr = std::chrono::duration<double>(Clock::now() - start).count() /
                         static_cast<double>(state.iterations());
  const double exchanges = SecondsPerRun(bare, 20);
  state.counters["http_requests"] = static_cast<double>(bare.Count());
  state.counters["bare_http_ms"] = exchanges * 1000.0;
  state.counters["driver_ratio"] = printfr / exchanges;
}
BENCHMARK(BM_Printfr)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_BareHttp(benchmark::State& state) {
  const std::string request = ReceiptRequest(Shared().handle, static_cast<int>(state.range(0)));
  const BareExchanges bare(RecordedTargets(request));
  for (auto _ : state) bare.Run();
  state.counters["http_requests"] = static_cast<double>(bare.Count());
}
BENCHMARK(BM_BareHttp)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

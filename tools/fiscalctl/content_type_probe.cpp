#include "content_type_probe.hpp"

#include <curl/curl.h>

#include <memory>

namespace nvrp::fiscalctl {

namespace {

constexpr long kTimeoutSeconds = 30;

size_t Discard(char*, size_t aSize, size_t aCount, void*) { return aSize * aCount; }

struct CurlDeleter {
  void operator()(CURL* aHandle) const { curl_easy_cleanup(aHandle); }
};
struct HeaderListDeleter {
  void operator()(curl_slist* aList) const { curl_slist_free_all(aList); }
};

}  // namespace

bool ProbeStatusContentType(const std::string& aBaseUrl, const std::string& aUser,
                            const std::string& aPassword, const std::string& aSeqNo,
                            std::string& aContentType, std::string& aFailure) {
  const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) {
    aFailure = "cannot start an HTTP request";
    return false;
  }
  const std::string url = aBaseUrl +
                          "/db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=" + aSeqNo +
                          "&db=gen_par&Sync=&MakeXmlOtf=stat";
  const std::unique_ptr<curl_slist, HeaderListDeleter> headers(
      curl_slist_append(nullptr, "Content-Type: text/xml; charset=UTF-8"));
  CURL* handle = curl.get();
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_POST, 1L);
  curl_easy_setopt(handle, CURLOPT_POSTFIELDS, "");
  curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE, 0L);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle, CURLOPT_USERAGENT, "Norvel Vela Driver");
  curl_easy_setopt(handle, CURLOPT_TIMEOUT, kTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Discard);
  if (!aUser.empty()) {
    curl_easy_setopt(handle, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(handle, CURLOPT_USERNAME, aUser.c_str());
    curl_easy_setopt(handle, CURLOPT_PASSWORD, aPassword.c_str());
  }
  const CURLcode code = curl_easy_perform(handle);
  if (code != CURLE_OK) {
    aFailure = curl_easy_strerror(code);
    return false;
  }
  const char* type = nullptr;
  curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &type);
  aContentType = type != nullptr ? type : "";
  return true;
}

}  // namespace nvrp::fiscalctl

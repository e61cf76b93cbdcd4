#include "transport/url_masking.hpp"

namespace nvrp {

namespace {

constexpr std::string_view kSchemeEnd = "://";
constexpr std::string_view kMask = "***";

}  // namespace

std::string MaskUrlUserInfo(std::string_view aURL) {
  const size_t scheme = aURL.find(kSchemeEnd);
  const size_t authority = scheme == std::string_view::npos ? 0 : scheme + kSchemeEnd.size();
  const size_t authorityEnd = aURL.find_first_of("/?#", authority);
  const std::string_view host =
      aURL.substr(authority, authorityEnd == std::string_view::npos ? std::string_view::npos
                                                                    : authorityEnd - authority);
  const size_t at = host.rfind('@');
  if (at == std::string_view::npos) return std::string(aURL);
  return std::string(aURL.substr(0, authority)) + std::string(kMask) +
         std::string(aURL.substr(authority + at));
}

}  // namespace nvrp

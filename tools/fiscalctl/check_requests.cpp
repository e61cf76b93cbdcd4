#include "check_requests.hpp"

namespace nvrp::fiscalctl::check_requests {

std::string Escaped(std::string_view aText) {
  std::string text;
  for (const char c : aText) {
    switch (c) {
      case '&':
        text += "&amp;";
        break;
      case '<':
        text += "&lt;";
        break;
      case '>':
        text += "&gt;";
        break;
      default:
        text += c;
    }
  }
  return text;
}

std::string OpenHttp(std::string_view aUrl, std::string_view aUser, std::string_view aPassword,
                     std::string_view aLogId) {
  const std::string auth = aUser.empty() ? "none" : "basic";
  return "<Request><Driver>" + std::string(kDriver) + "</Driver><Handle>0</Handle><LogId>" +
         Escaped(aLogId) + "</LogId><Connection><Type>http</Type><URL>" + Escaped(aUrl) +
         "</URL><AuthType>" + auth + "</AuthType><User>" + Escaped(aUser) + "</User><Password>" +
         Escaped(aPassword) +
         "</Password><ConnectTimeout>10</ConnectTimeout><ReadTimeout>60</ReadTimeout>"
         "</Connection></Request>";
}

std::string WithHandle(std::string_view aDriver, std::string_view aHandle, std::string_view aLogId,
                       std::string_view aDocument) {
  return "<Request><Driver>" + Escaped(aDriver) + "</Driver><Handle>" + Escaped(aHandle) +
         "</Handle><LogId>" + Escaped(aLogId) + "</LogId>" + std::string(aDocument) + "</Request>";
}

}  // namespace nvrp::fiscalctl::check_requests

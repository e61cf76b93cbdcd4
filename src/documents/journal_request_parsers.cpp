// Reading of the electronic-journal requests: a journal report ("EJReport") and a request for
// journal files ("EJRequest").

#include <pugixml.hpp>

#include <string>
#include <string_view>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "documents/document_parsers.hpp"
#include "documents/documents_messages.hpp"
#include "documents/krpt_util.hpp"
#include "documents/request_element.hpp"

namespace nvrp {

namespace {

using U = krptUtil;

// A report's dates are required: the text goes to the date parser as it is, so an absent or
// empty element fails with that parser's own message.
DateTime RequiredDate(const pugi::xml_node& aNode, std::string_view aName) {
  return IsoTextToDateTime(U::GetNodeValueAsString(aNode, aName));
}

// A report's numbers are optional: anything that is not an integer counts as 0.
int32_t LenientNumber(const pugi::xml_node& aNode, std::string_view aName) {
  const std::string text = U::GetNodeValueAsString(aNode, aName);
  try {
    return U::StrToInt(text);
  } catch (const Exception&) {
    return 0;
  }
}

}  // namespace

void DeserializeEJReport(const pugi::xml_document& aXmlDocument, kEJReport& aEJReport) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "EJReport", documents_messages::kEJReportNodeNotFound);
  aEJReport.fReportType = U::DecodeEJReportType(U::GetNodeValueAsString(node, "ReportType"));
  aEJReport.fDestination =
      U::DecodeEJReportDestination(U::GetNodeValueAsString(node, "ReportDestination"));
  aEJReport.fStartDate = RequiredDate(node, "StartDate");
  aEJReport.fEndDate = RequiredDate(node, "EndDate");
  aEJReport.fStartNumber = LenientNumber(node, "StartNumber");
  aEJReport.fEndNumber = LenientNumber(node, "EndNumber");
}

void DeserializeEJFilesRequest(const pugi::xml_document& aXmlDocument,
                               kEJFilesRequest& aEJFilesRequest) {
  const pugi::xml_node node =
      RequireDocumentElement(aXmlDocument, "EJRequest", documents_messages::kEJRequestNodeNotFound);
  aEJFilesRequest.fReqType = U::DecodeEJRequestType(U::GetNodeValueAsString(node, "RequestType"));
  aEJFilesRequest.fStartDate = GetOptionalDateTime(node, "StartDate");
  aEJFilesRequest.fEndDate = GetOptionalDateTime(node, "EndDate");
  aEJFilesRequest.fOutputDir = U::GetNodeValueAsString(node, "OutputDir");
}

}  // namespace nvrp

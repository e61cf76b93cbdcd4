#pragma once

#include <string>

namespace nvrp::fiscalctl {

// The content type of the device's answer to one status command, posted as the library
// posts it (empty body, Content-Type "text/xml; charset=UTF-8", basic authentication when a
// user is given). The device log holds every answer's body but not its content type, so the
// check asks once itself. aSeqNo is the sequence number the device reported last, so that
// the request changes nothing the device counts. On failure returns false with the reason.
bool ProbeStatusContentType(const std::string& aBaseUrl, const std::string& aUser,
                            const std::string& aPassword, const std::string& aSeqNo,
                            std::string& aContentType, std::string& aFailure);

}  // namespace nvrp::fiscalctl

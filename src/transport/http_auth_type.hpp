#pragma once

namespace nvrp {

// HTTP authentication scheme of a connection.
enum class tkHTTPAuthType { at_None, at_Basic, at_Digest, at_Bearer };

}  // namespace nvrp

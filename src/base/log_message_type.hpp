#pragma once

namespace nvrp {

// The kind of a log entry.
enum class tNV_MessageType { let_info, let_error };

}  // namespace nvrp

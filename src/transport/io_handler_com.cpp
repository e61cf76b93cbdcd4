#include "transport/io_handler_com.hpp"

#include "base/nv_exception.hpp"
#include "transport/io_handler_device_messages.hpp"

namespace nvrp {

namespace msg = io_handler_device_messages;

std::string kIOHandler_Com::ReadAll() { throw Exception(std::string(msg::kReadAllUnsupported)); }

bool kIOHandler_Com::InputBufferContainsData() {
  throw Exception(std::string(msg::kInputBufferUnsupported));
}

std::string kIOHandler_Com::ClassName() const { return std::string(msg::kComClassName); }

}  // namespace nvrp

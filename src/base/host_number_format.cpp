#include "base/host_number_format.hpp"

namespace nvrp {

std::string HostDecimalSeparator() { return HostNumberFormat().fDecimalSeparator; }

}  // namespace nvrp

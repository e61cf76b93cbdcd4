#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace nvrp {

// Standard Base64 (alphabet A-Z a-z 0-9 + /) with "=" padding, on one line.
std::string Base64Encode(std::span<const std::uint8_t> aBytes);
std::string Base64Encode(std::string_view aBytes);

// The bytes of a padded standard Base64 text; throws nvrp::Exception on any other text.
std::string Base64Decode(std::string_view aText);

}  // namespace nvrp

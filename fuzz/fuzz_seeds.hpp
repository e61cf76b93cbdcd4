#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nvrp::fuzz {

// Valid inputs of one fuzz target, the starting points of the replay's mutations.
std::vector<std::string> FuzzSeeds();

// Values the replay writes over an element's text or inserts anywhere: the edge cases of the
// target's value syntax.
std::vector<std::string_view> FuzzValues();

}  // namespace nvrp::fuzz

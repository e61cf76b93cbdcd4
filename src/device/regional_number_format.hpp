#pragma once

#include <string>

#include "base/currency.hpp"
#include "base/host_number_format.hpp"

namespace nvrp {

// The amount with exactly aDecimals decimals (rounded half away from zero), its integer digits
// grouped as aFormat says.
std::string FormatGroupedNumber(Currency aAmount, int aDecimals, const tkNumberFormat& aFormat);

}  // namespace nvrp

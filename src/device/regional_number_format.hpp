#pragma once

#include <string>

#include "base/currency.hpp"

namespace nvrp {

// How the host writes numbers: decimal separator, thousands separator and the sizes of the
// digit groups (the C library's lconv grouping: one byte per group from the right, the last
// one repeating, CHAR_MAX or 0 ending the grouping).
struct tkNumberFormat {
  std::string fDecimalSeparator = ".";
  std::string fThousandsSeparator;
  std::string fGrouping;
};

// The number format of the C library's current locale (LC_NUMERIC), "." without grouping when
// it gives none.
tkNumberFormat HostNumberFormat();

// The amount with exactly aDecimals decimals (rounded half away from zero), its integer digits
// grouped as aFormat says.
std::string FormatGroupedNumber(Currency aAmount, int aDecimals, const tkNumberFormat& aFormat);

}  // namespace nvrp

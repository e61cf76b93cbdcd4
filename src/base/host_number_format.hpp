#pragma once

#include <string>

namespace nvrp {

// How the host writes numbers: decimal separator, thousands separator and the sizes of the
// digit groups (the C library's lconv grouping: one byte per group from the right, the last
// one repeating, CHAR_MAX or 0 ending the grouping).
struct tkNumberFormat {
  std::string fDecimalSeparator = ".";
  std::string fThousandsSeparator;
  std::string fGrouping;
};

// The number format of the host's regional settings, read afresh on every call and never from
// the C library's current locale (a host program rarely sets it): on Windows the user's
// locale, elsewhere the locale the environment names (LC_ALL, LC_NUMERIC, LANG: the first set
// and non-empty). "." without grouping when the settings give none or cannot be read.
tkNumberFormat HostNumberFormat();

// The decimal separator of HostNumberFormat.
std::string HostDecimalSeparator();

}  // namespace nvrp

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>

#include "base/host_number_format.hpp"

namespace nvrp {

namespace {

// The locale the environment names for numbers, as setlocale(LC_NUMERIC, "") would choose it.
const char* EnvironmentNumericLocale() {
  for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return "C";
}

std::string TextOrEmpty(const char* aText) { return aText == nullptr ? std::string() : aText; }

}  // namespace

tkNumberFormat HostNumberFormat() {
  tkNumberFormat format;
  // A locale object of its own: the process's locale stays as the host left it.
  const locale_t locale = newlocale(LC_NUMERIC_MASK, EnvironmentNumericLocale(), locale_t{});
  if (locale == locale_t{}) return format;
  const std::string decimal = TextOrEmpty(nl_langinfo_l(RADIXCHAR, locale));
  if (!decimal.empty()) format.fDecimalSeparator = decimal;
  format.fThousandsSeparator = TextOrEmpty(nl_langinfo_l(THOUSEP, locale));
  format.fGrouping = TextOrEmpty(nl_langinfo_l(GROUPING, locale));
  freelocale(locale);
  return format;
}

}  // namespace nvrp

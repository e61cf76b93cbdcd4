#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/currency.hpp"
#include "device/payment_types.hpp"

namespace nvrp {

// Value texts of the result fragments. Amounts use CurrencyToText (base/currency.hpp) and
// date-times DateTimeToText (base/date_time.hpp).

// Replaces & < > " ' by their entities, the ampersand first so nothing is escaped twice.
std::string EscapeXml(std::string_view aText);

// "True" or "False".
std::string_view BooleanText(bool aValue);

// CurrencyToText with the host's decimal separator (HostDecimalSeparator) in place of ".".
std::string RegionalCurrencyText(Currency aAmount);

// Lower-case network name ("NHS" as is); "unrecognized" outside the enumeration.
std::string_view PaymentNetworkText(tkPaymentNetwork aNetwork);

// Upper-case read method; empty for ptt_RFID and outside the enumeration.
std::string_view TransactionTypeText(tkPaymentTransactionType aType);

}  // namespace nvrp

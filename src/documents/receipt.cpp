#include "documents/receipt.hpp"

namespace nvrp {

Currency kReceipt::GetCalculatedAmount() const {
  Currency total;
  for (const auto& line : fLines) total += line->GetAmount();
  return total;
}

}  // namespace nvrp

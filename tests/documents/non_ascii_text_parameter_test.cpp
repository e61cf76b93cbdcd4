// The envelope parameter SupportSpecialChars: "true" hands the texts of fiscal and non-fiscal
// receipts out unchanged; without it they are printable ASCII (Greek letters become blanks).

#include <gtest/gtest.h>

#include <string>

#include "base/utf.hpp"
#include "documents/receipt.hpp"
#include "documents/receipt_message_lines.hpp"
#include "documents/receipt_printer_handler.hpp"

namespace nvrp {
namespace {

using DT = tkReceiptHandlerDocumentType;

const std::string kGreek = "Ψωμί χωριάτικο";

std::string Request(const std::string& aParameter) {
  return "<Request><Parameters>" + aParameter +
         "</Parameters><Receipt><Type>Sale</Type><Lines><ProductSale><Description>" + kGreek +
         "</Description></ProductSale></Lines><Taxes/><Payments/><TrailerMessages><Text><Value>" +
         kGreek +
         "</Value><Alignment>left</Alignment></Text></TrailerMessages></Receipt><NFReceipt><Lines>"
         "<Text><Value>" +
         kGreek + "</Value><Alignment>left</Alignment></Text></Lines></NFReceipt></Request>";
}

TEST(SupportSpecialChars, KeepsReceiptAndNonFiscalTextsOnlyWhenTrue) {
  const std::string blanks(Utf16Length(kGreek), ' ');
  const struct {
    const char* name;
    std::string parameter;
    std::string expected;
  } cases[] = {
      {"true", "<SupportSpecialChars>true</SupportSpecialChars>", kGreek},
      {"any letter case", "<SupportSpecialChars>TRUE</SupportSpecialChars>", kGreek},
      {"false", "<SupportSpecialChars>false</SupportSpecialChars>", blanks},
      {"absent", "", blanks},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    kReceiptPrinterHandler handler;
    handler.Deserialize(Request(c.parameter),
                        tkReceiptHandlerDocumentTypes{DT::dt_Receipt, DT::dt_NFReceipt});
    const kReceipt& receipt = handler.Receipt();
    ASSERT_EQ(receipt.fLines.size(), 1u);
    EXPECT_EQ(static_cast<const kReceiptLineProductSale&>(*receipt.fLines[0]).Description(),
              c.expected);
    ASSERT_EQ(receipt.fTrailerMessages.size(), 1u);
    EXPECT_EQ(receipt.fTrailerMessages[0]->Value(), c.expected);
    const kNFReceipt& document = handler.NFReceipt();
    ASSERT_EQ(document.fLines.size(), 1u);
    EXPECT_EQ(document.fLines[0]->Value(), c.expected);
  }
}

}  // namespace
}  // namespace nvrp

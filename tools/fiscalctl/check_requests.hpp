#pragma once

#include <string>
#include <string_view>

// The requests a check run sends; only OPEN carries connection settings.
namespace nvrp::fiscalctl::check_requests {

inline constexpr std::string_view kDriver = "NVRP_RORERER_10";

// Text escaped for an XML element.
std::string Escaped(std::string_view aText);

// OPEN of an HTTP device at aUrl, basic authentication when aUser is not empty.
std::string OpenHttp(std::string_view aUrl, std::string_view aUser, std::string_view aPassword,
                     std::string_view aLogId);

// A request naming the handle, with aDocument beside the envelope.
std::string WithHandle(std::string_view aDriver, std::string_view aHandle, std::string_view aLogId,
                       std::string_view aDocument = {});

// A non-fiscal receipt with a text line, a barcode and a QR code.
inline constexpr std::string_view kNonFiscalReceipt =
    "<NFReceipt><Lines>"
    "<Text><Value>fiscalctl check</Value><Alignment>left</Alignment></Text>"
    "<Barcode><Value>CHECK0001</Value><Type>code128</Type></Barcode>"
    "<Barcode><Value>FISCALCTL CHECK</Value><Type>qrcode</Type></Barcode>"
    "</Lines></NFReceipt>";
inline constexpr std::string_view kDrawer = "<Drawer><Number>1</Number></Drawer>";
inline constexpr std::string_view kDisplay =
    "<Display><Clear>true</Clear><Lines>"
    "<Text><Value>fiscalctl check</Value><Alignment>left</Alignment></Text>"
    "</Lines></Display>";
inline constexpr std::string_view kXReport =
    "<XReport><StoreCode>CHECK</StoreCode><TillCode>01</TillCode></XReport>";
// One item of the smallest amount, paid in cash.
inline constexpr std::string_view kSmallestReceipt =
    "<Receipt><Type>Sale</Type><TotalAmount>0.01</TotalAmount><Lines>"
    "<ProductSale><Code>CHECK</Code><Description>fiscalctl check</Description>"
    "<Quantity>1</Quantity><Department>1</Department><TaxCode>A</TaxCode>"
    "<Price>0.01</Price><Amount>0.01</Amount></ProductSale>"
    "</Lines><Taxes><Tax><Type>VAT</Type><Code>A</Code><Description>VAT 24%</Description>"
    "<Rate>24</Rate><TaxableAmount>0.01</TaxableAmount><TaxAmount>0.00</TaxAmount>"
    "<TotalAmount>0.01</TotalAmount></Tax></Taxes><Payments><Payment><Type>Cash</"
    "Type><Description>Cash</Description>"
    "<Amount>0.01</Amount></Payment></Payments></Receipt>";

}  // namespace nvrp::fiscalctl::check_requests

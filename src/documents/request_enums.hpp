#pragma once

#include "base/enum_set.hpp"

namespace nvrp {

// Request enumerations, values in their fixed ordinal order (sets and tables rely on it).

enum class tkReceiptType { rt_Sale, rt_Refund, rt_Void, rt_InvoiceSale, rt_InvoiceSaleFromReceipt };

enum class tkReceiptLineType {
  rlt_ProductSale,
  rlt_ProductReturn,
  rlt_WeightedProductSale,
  rlt_VoucherSale,
  rlt_VoucherRedeem,
  rlt_GiftCardSale,
  rlt_GiftCardRedeem,
  rlt_SubTotal,
  rlt_Text,
  rlt_DiscountAmount,
  rlt_DiscountPercentage,
  rlt_DiscountAmountOnSubtotal,
  rlt_DiscountPercentageOnSubTotal,
  rlt_MarkupAmount,
  rlt_MarkupPercentage,
  rlt_MarkupAmountOnSubtotal,
  rlt_MarkupPercentageOnSubTotal,
  rlt_CollectAmount,
};

enum class tkReceiptPaymentType {
  rpt_Cash,
  rpt_Cheque,
  rpt_CreditCard,
  rpt_DebitCard,
  rpt_Credit,
  rpt_CreditOnProducts,
  rpt_CreditOnServices,
  Rpt_GiftCard,
  Rpt_Voucher,
  Rpt_MealVoucher,
  Rpt_NHSCard,
  Rpt_Change,
};

enum class tkReceiptTaxType { tt_VAT, tt_SalesTax };

enum class tkReceiptReferenceType {
  rrt_OriginalReceipt,
  rrt_EFTReceipt,
  rrt_NotAvailable,
  rrt_Empties
};

enum class tkReceiptLineAttribute { rla_Product, rla_Service };

enum class tkReceiptMessageLineAlignment { la_none, la_right, la_center, la_left };

enum class tkReceiptMessageBarcodeType {
  bt_EAN13,
  bt_EAN8,
  bt_CODE39,
  bt_CODE128,
  bt_QRCODE,
  bt_UPCA,
  bt_UPCE,
  bt_Interleaved2Of5,
};

enum class tkReceiptMessageLineEffect {
  le_bold,
  le_italic,
  le_underline,
  le_doubleheight,
  le_doublewidth,
  le_doublesize,
  le_invertcolors,
  le_condensed,
};
using tkReceiptMessageLineEffectSet = EnumSet<tkReceiptMessageLineEffect, uint8_t>;

enum class tkReceiptMessageImageSource { is_Resource, is_FileSystem };

enum class tkEJReportType {
  ejrt_ZReport,
  ejrt_FiscalReceipt,
  ejrt_NonFiscalReceipt,
  ejrt_CreditNote,
  ejrt_Invoice
};

enum class tkEJReportDestination { rd_Printer, rd_Memory };

enum class tkEJFilesRequestType { ej_xml };

}  // namespace nvrp

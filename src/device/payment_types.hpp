#pragma once

namespace nvrp {

// How a card payment was read.
enum class tkPaymentTransactionType {
  ptt_Chip,
  ptt_MagStripe,
  ptt_Manual,
  ptt_Cless,
  ptt_ClessMagStripe,
  ptt_ClessChip,
  ptt_RFID,
  ptt_Other,
};

// Card or voucher network of a payment.
enum class tkPaymentNetwork {
  Bank,
  Cheque,
  Visa,
  Amex,
  Mastercard,
  JCB,
  CUP,
  Diners,
  Maestro,
  NHS,
  Edenred,
  Day,
  Sodexo,
  Pellegrini,
  BluTicket,
  Jakala,
  MIGLunch,
  AliPay,
  Discover,
  Doku,
  DragonPay,
  MolPay,
  VPay,
  AmazonPay,
  ApplePay,
  SamsungPay,
  Paypal,
  Yandex,
  QuiTicket,
  Repas,
  Ristomat,
  Agape,
  LunchTime,
  QuiWelfare,
  EP,
  CIR,
  Gemeaz,
  Satispay,
  Jiffy,
  Bitcoin,
  Tinaba,
  Scalapay,
  Other,
};

}  // namespace nvrp

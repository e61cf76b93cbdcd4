#include "ibox_device.hpp"

#include <algorithm>
#include <iterator>
#include <regex>
#include <utility>

#include "device_documents.hpp"
#include "print_layout.hpp"
#include "sim_messages.hpp"

namespace nvrp::ibox_sim {

namespace {

constexpr std::string_view kOrderFile = "/db_otf_xml.xml";
constexpr std::string_view kKeyboardFile = "/keybd/LCDSTAT.XML";
constexpr std::string_view kRootFile = "/";

// Device error codes the simulated device raises on its own.
constexpr int32_t kNoError = 0;
constexpr int32_t kNoOpenReceipt = 1001;
constexpr int32_t kReceiptAlreadyBegun = 1002;
constexpr int32_t kUnsuitableReceiptOpen = 1003;
constexpr int32_t kReceiptIsOpen = 1004;
constexpr int32_t kWrongPrice = 1026;
constexpr int32_t kNoUnitPrice = 1027;
constexpr int32_t kWrongQuantity = 1028;
constexpr int32_t kNoQuantity = 1029;
constexpr int32_t kNumberTooLarge = 1030;
constexpr int32_t kReceiptTotalLimit = 1032;
constexpr int32_t kLessSalesThanReturns = 1061;
constexpr int32_t kTooManyLines = 1062;
constexpr int32_t kUnknownPlu = 1101;
constexpr int32_t kProhibitedAfterPayments = 1103;
constexpr int32_t kConflictingParameters = 1111;
constexpr int32_t kUnknownPaymentCode = 1141;
constexpr int32_t kPaymentAmountNeeded = 1145;
constexpr int32_t kPaymentTooLarge = 1149;
constexpr int32_t kWrongAmount = 1184;
constexpr int32_t kAmountNeeded = 1185;
constexpr int32_t kDiscountTooBig = 1191;
constexpr int32_t kDiscountsOnlyOnSales = 1194;

constexpr int64_t kMaxQuantity = 99'999'999;   // thousandths
constexpr int64_t kMaxPrice = 999'999'999;     // hundredths
constexpr int64_t kMaxAmount = 9'999'999'999;  // hundredths
constexpr size_t kMaxReceiptLines = 500;
constexpr size_t kMaxPrintedDocuments = 1000;
constexpr int64_t kMaxDepartment = 99;
constexpr size_t kTitleLines = 6;

std::optional<std::string> JournalName(std::string_view path) {
  static const std::regex kJournalPath(R"(^/[^/]+/(Z[0-9]{4}/(F[0-9]{4}_A|Z[0-9]{4}_[JSM])\.)$)",
                                       std::regex::icase);
  std::match_results<std::string_view::const_iterator> match;
  if (!std::regex_match(path.begin(), path.end(), match, kJournalPath)) return std::nullopt;
  return ToUpperAscii(match[1].str());
}

// prefix + text, built by appending (GCC 12 warns falsely about `"Z" + std::string`).
std::string Joined(std::string_view prefix, std::string_view text) {
  std::string out(prefix);
  out += text;
  return out;
}

std::string JournalKey(int32_t z_number, std::string_view file) {
  return Joined(Joined("Z", FourDigits(z_number)), Joined("/", file));
}

std::string CanonicalName(std::string_view value, std::initializer_list<std::string_view> names) {
  for (const auto name : names) {
    if (EqualsNoCase(value, name)) return std::string(name);
  }
  return "Unknown";
}

// Line amount in hundredths of a quantity in thousandths at a price in hundredths, rounded
// half away from zero.
int64_t LineAmount(int64_t quantity, int64_t price) { return (quantity * price + 500) / 1000; }

std::string PaymentName(int64_t code) {
  return std::string(kPaymentNames[static_cast<size_t>(code - 1)]);
}

}  // namespace

std::string CommandName(const DeviceRequest& request) {
  if (JournalName(request.path)) return "Journal";
  const QueryParams& params = request.params;
  if (EqualsNoCase(request.path, kOrderFile)) {
    const std::string order = params.Value("Order");
    if (EqualsNoCase(order, "Cmd")) {
      return CanonicalName(params.Value("Action"),
                           {"Status", "Clr_Errors", "Void_Rcpt", "Force_Z", "End_Rcpt"});
    }
    if (order.empty() && params.Value("kbch") == "29") return "XReport";
    return CanonicalName(order, {"PLU", "COMMENT", "MOD", "PAY"});
  }
  if (EqualsNoCase(request.path, kKeyboardFile)) {
    const std::string key = params.Value("kbch");
    if (key == "115") return "SubTotal";
    if (key == "100") return "OpenDrawer";
    return "Unknown";
  }
  if (request.path == kRootFile && EqualsNoCase(params.Value("db"), "Titles")) return "Titles";
  return "Unknown";
}

IboxDevice::IboxDevice(DeviceSettings settings)
    : fSettings(std::move(settings)), fZNumber(fSettings.z_number) {}

DeviceAnswer IboxDevice::Handle(const DeviceRequest& request, const AnswerOverrides& overrides) {
  if (JournalName(request.path)) return JournalAnswer(request.path);
  const bool known_file = EqualsNoCase(request.path, kOrderFile) ||
                          EqualsNoCase(request.path, kKeyboardFile) || request.path == kRootFile;
  if (!known_file) {
    return DeviceAnswer{404, std::string(kTextContentType), std::string(kNotFoundBody)};
  }
  if (const auto seq_no = ParseWhole(request.params.Value("SeqNo")); seq_no) {
    fLastSeqNo = static_cast<int32_t>(*seq_no % 1'000'000'000);
  }
  const std::string command = CommandName(request);
  if (command != "Status") {
    fLastError = overrides.refuse_order_with ? *overrides.refuse_order_with
                                             : Execute(command, request.params);
  }
  return StatusAnswer(overrides);
}

int32_t IboxDevice::Execute(const std::string& command, const QueryParams& params) {
  if (command == "Clr_Errors") return kNoError;
  if (command == "PLU") return SellItem(params);
  if (command == "COMMENT") return PrintComment(params);
  if (command == "MOD") return Modify(params);
  if (command == "PAY") return Pay(params);
  if (command == "SubTotal") return PrintSubtotal();
  if (command == "OpenDrawer") {
    SetDrawerOpen(true);
    return kNoError;
  }
  if (command == "Void_Rcpt") return VoidDocument();
  if (command == "End_Rcpt") return EndNonFiscal();
  if (command == "XReport") return XReport();
  if (command == "Force_Z") return ZReport();
  if (command == "Titles") return WriteTitles(params);
  return kConflictingParameters;
}

int32_t IboxDevice::SellItem(const QueryParams& params) {
  if (fDocument.kind == DocumentKind::kNonFiscal) return kUnsuitableReceiptOpen;
  if (fDocument.payments > 0) return kProhibitedAfterPayments;
  const std::string use = params.Value("Use");
  const bool refund = EqualsNoCase(use, "Refund");
  if (!refund && !EqualsNoCase(use, "Sale")) return kConflictingParameters;
  const auto department = ParseWhole(params.Value("Code"));
  if (!department || *department < 1 || *department > kMaxDepartment) return kUnknownPlu;
  if (params.Value("Quant").empty()) return kNoQuantity;
  const auto quantity = ParseScaled(params.Value("Quant"), 3);
  if (!quantity || *quantity <= 0) return kWrongQuantity;
  if (params.Value("Price").empty()) return kNoUnitPrice;
  const auto price = ParseScaled(params.Value("Price"), 2);
  if (!price || *price < 0) return kWrongPrice;
  if (*quantity > kMaxQuantity || *price > kMaxPrice) return kNumberTooLarge;
  const int64_t amount = LineAmount(*quantity, *price);
  const int64_t total = fDocument.total + (refund ? -amount : amount);
  if (total > kMaxAmount || total < -kMaxAmount) return kReceiptTotalLimit;
  if (fDocument.lines.size() >= kMaxReceiptLines) return kTooManyLines;

  if (fDocument.kind == DocumentKind::kNone) OpenFiscal();
  if (*quantity != 1000) {
    AddLine(FormatScaled(*quantity, 3) + " x " + FormatScaled(*price, 2));
  }
  const std::string label(refund ? kRefundLabel : kDepartmentLabel);
  AddLine(
      TwoColumns(label + std::to_string(*department), FormatScaled(refund ? -amount : amount, 2)));
  fDocument.total = total;
  ++fDocument.items;
  return kNoError;
}

int32_t IboxDevice::PrintComment(const QueryParams& params) {
  const std::string use = params.Value("Use");
  const std::string line = RenderDescription(params.Value("Descr"));
  if (fDocument.lines.size() >= kMaxReceiptLines) return kTooManyLines;
  if (EqualsNoCase(use, "Start")) {
    if (fDocument.kind == DocumentKind::kFiscal) return kReceiptAlreadyBegun;
    if (fDocument.kind == DocumentKind::kNonFiscal) return kUnsuitableReceiptOpen;
    OpenFiscal();
  } else if (EqualsNoCase(use, "Line")) {
    if (fDocument.kind == DocumentKind::kNone) return kNoOpenReceipt;
    if (fDocument.kind == DocumentKind::kNonFiscal) return kUnsuitableReceiptOpen;
  } else if (EqualsNoCase(use, "Extern")) {
    if (fDocument.kind == DocumentKind::kFiscal) return kUnsuitableReceiptOpen;
    if (fDocument.kind == DocumentKind::kNone) OpenNonFiscal();
  } else {
    return kConflictingParameters;
  }
  AddLine(line);
  return kNoError;
}

int32_t IboxDevice::Modify(const QueryParams& params) {
  if (fDocument.kind != DocumentKind::kFiscal) {
    return fDocument.kind == DocumentKind::kNone ? kNoOpenReceipt : kUnsuitableReceiptOpen;
  }
  if (fDocument.payments > 0) return kProhibitedAfterPayments;
  if (fDocument.items == 0) return kDiscountsOnlyOnSales;
  if (params.Value("Amount").empty()) return kAmountNeeded;
  const auto amount = ParseScaled(params.Value("Amount"), 2);
  if (!amount || *amount <= 0 || *amount > kMaxAmount) return kWrongAmount;
  const bool markup = EqualsNoCase(params.Value("MarkupOrDiscount"), "MarkUp");
  if (!markup && *amount > fDocument.total) return kDiscountTooBig;
  if (markup && fDocument.total + *amount > kMaxAmount) return kReceiptTotalLimit;
  fDocument.total += markup ? *amount : -*amount;
  AddLine(TwoColumns(markup ? kMarkupLabel : kDiscountLabel,
                     FormatScaled(markup ? *amount : -*amount, 2)));
  return kNoError;
}

int32_t IboxDevice::Pay(const QueryParams& params) {
  if (fDocument.kind != DocumentKind::kFiscal) {
    return fDocument.kind == DocumentKind::kNone ? kNoOpenReceipt : kUnsuitableReceiptOpen;
  }
  const auto amount = ParseScaled(params.Value("Amount"), 2);
  if (!amount || *amount < 0) return kPaymentAmountNeeded;
  if (*amount > kMaxAmount) return kPaymentTooLarge;
  if (*amount == 0 && fDocument.total > fDocument.paid) return kPaymentAmountNeeded;
  const auto code = ParseWhole(params.Value("Code"));
  if (!code || *code < 1 || *code > static_cast<int64_t>(std::size(kPaymentNames))) {
    return kUnknownPaymentCode;
  }
  if (fDocument.total < 0) return kLessSalesThanReturns;
  if (fDocument.payments == 0) AddLine(TwoColumns(kTotalLabel, FormatScaled(fDocument.total, 2)));
  AddLine(TwoColumns(PaymentName(*code), FormatScaled(*amount, 2)));
  fDocument.paid += *amount;
  ++fDocument.payments;
  if (fDocument.paid >= fDocument.total) CloseFiscal();
  return kNoError;
}

int32_t IboxDevice::PrintSubtotal() {
  if (fDocument.kind != DocumentKind::kFiscal) {
    return fDocument.kind == DocumentKind::kNone ? kNoOpenReceipt : kUnsuitableReceiptOpen;
  }
  AddLine(TwoColumns(kSubtotalLabel, FormatScaled(fDocument.total, 2)));
  return kNoError;
}

int32_t IboxDevice::VoidDocument() {
  if (fDocument.kind == DocumentKind::kNone) return kNoOpenReceipt;
  const bool fiscal = fDocument.kind == DocumentKind::kFiscal;
  AddLine(Centered(kVoidLabel));
  AddLine(DateTimeLine(fClock.Now()));
  Archive(PrintedDocument{fiscal ? PrintedKind::kVoidedReceipt : PrintedKind::kNonFiscal, 0,
                          fZNumber + 1, fDocument.total, JoinLines(fDocument.lines)});
  fDocument = OpenDocument{};
  return kNoError;
}

int32_t IboxDevice::EndNonFiscal() {
  if (fDocument.kind == DocumentKind::kNone) return kNoOpenReceipt;
  if (fDocument.kind == DocumentKind::kFiscal) return kUnsuitableReceiptOpen;
  AddLine(Centered(kNonFiscalLabel));
  AddLine(DateTimeLine(fClock.Now()));
  Archive(PrintedDocument{PrintedKind::kNonFiscal, 0, fZNumber + 1, 0, JoinLines(fDocument.lines)});
  fDocument = OpenDocument{};
  return kNoError;
}

int32_t IboxDevice::XReport() {
  if (fDocument.kind != DocumentKind::kNone) return kReceiptIsOpen;
  const auto lines = XReportLines(HeaderLines(), fDayReceipts, fClock.Now());
  Archive(PrintedDocument{PrintedKind::kXReport, 0, fZNumber + 1, 0, JoinLines(lines)});
  return kNoError;
}

int32_t IboxDevice::ZReport() {
  if (fDocument.kind != DocumentKind::kNone) return kReceiptIsOpen;
  const CivilTime now = fClock.Now();
  ZReportInput input{HeaderLines(),
                     fSettings.serial_number,
                     fZNumber + 1,
                     now,
                     FormatDeviceDateTime(now, fSettings.omega_clock),
                     fDayReceipts};
  const ZReportFiles files = BuildZReportFiles(input);
  const std::string z_file = Joined("Z", FourDigits(input.z_number));
  fJournal[JournalKey(input.z_number, z_file + "_J.")] = files.text;
  fJournal[JournalKey(input.z_number, z_file + "_S.")] = files.details;
  fJournal[JournalKey(input.z_number, z_file + "_M.")] = files.record;
  int64_t total = 0;
  for (const auto& receipt : fDayReceipts) total += receipt.total;
  Archive(
      PrintedDocument{PrintedKind::kZReport, input.z_number, input.z_number, total, files.text});
  fZNumber = input.z_number;
  fDayReceipts.clear();
  return kNoError;
}

int32_t IboxDevice::WriteTitles(const QueryParams& params) {
  const std::string code = params.Value("Code");
  std::array<std::string, 6>* titles =
      code == "1" ? &fHeaderTitles : (code == "2" ? &fTrailerTitles : nullptr);
  if (titles == nullptr) return kConflictingParameters;
  for (size_t i = 0; i < kTitleLines; ++i) {
    if (auto line = params.Find("Line_" + std::to_string(i + 1)); line) (*titles)[i] = *line;
  }
  return kNoError;
}

void IboxDevice::OpenFiscal() {
  fDocument = OpenDocument{};
  fDocument.kind = DocumentKind::kFiscal;
  fDocument.lines = HeaderLines();
}

void IboxDevice::OpenNonFiscal() {
  fDocument = OpenDocument{};
  fDocument.kind = DocumentKind::kNonFiscal;
  fDocument.lines = HeaderLines();
  fDocument.lines.push_back(Centered(kNonFiscalLabel));
}

void IboxDevice::CloseFiscal() {
  if (fDocument.paid > fDocument.total) {
    AddLine(TwoColumns(kChangeLabel, FormatScaled(fDocument.paid - fDocument.total, 2)));
  }
  for (auto& line : TrailerLines()) AddLine(std::move(line));
  const int32_t number = static_cast<int32_t>(fDayReceipts.size()) + 1;
  const int32_t z_number = fZNumber + 1;
  const CivilTime now = fClock.Now();
  AddLine(DateTimeLine(now));
  AddLine(TwoColumns(std::string(kReceiptLabel) + FourDigits(number),
                     std::string(kZLabel) + FourDigits(z_number)));
  AddLine(std::string(kSerialLabel) + fSettings.serial_number);
  const std::string text = JoinLines(fDocument.lines);
  fJournal[JournalKey(z_number, Joined(Joined("F", FourDigits(number)), "_A."))] = text;
  fDayReceipts.push_back(
      DayReceipt{number, fDocument.total, fDocument.items, fDocument.payments, now});
  Archive(PrintedDocument{PrintedKind::kReceipt, number, z_number, fDocument.total, text});
  fDocument = OpenDocument{};
}

void IboxDevice::AddLine(std::string line) { fDocument.lines.push_back(std::move(line)); }

void IboxDevice::Archive(PrintedDocument document) {
  fPrinted.push_back(std::move(document));
  while (fPrinted.size() > kMaxPrintedDocuments) fPrinted.pop_front();
}

std::vector<std::string> IboxDevice::HeaderLines() const {
  std::vector<std::string> lines;
  for (const auto& title : fHeaderTitles) {
    if (!title.empty()) lines.push_back(RenderDescription(title));
  }
  if (lines.empty()) lines.push_back(Centered(kDefaultHeader));
  return lines;
}

std::vector<std::string> IboxDevice::TrailerLines() const {
  std::vector<std::string> lines;
  for (const auto& title : fTrailerTitles) {
    if (!title.empty()) lines.push_back(RenderDescription(title));
  }
  return lines;
}

void IboxDevice::SetDrawerOpen(bool open) {
  fDrawerOpen = open;
  fDrawerOpenedAt = std::chrono::steady_clock::now();
}

bool IboxDevice::DrawerIsOpen() const {
  const auto close_after = fSettings.drawer_close_after;
  return fDrawerOpen && (close_after.count() <= 0 ||
                         std::chrono::steady_clock::now() - fDrawerOpenedAt < close_after);
}

DeviceAnswer IboxDevice::StatusAnswer(const AnswerOverrides& overrides) {
  StatusValues values;
  values.serial_number = fSettings.serial_number;
  values.last_seq_no = fLastSeqNo;
  values.group_seq_no = fSettings.group_seq_no;
  values.last_error = overrides.report_error.value_or(fLastError);
  values.day_receipt_count = static_cast<int32_t>(fDayReceipts.size());
  values.z_number = fZNumber;
  values.date_time = FormatDeviceDateTime(fClock.Now(), fSettings.omega_clock);
  values.open_document = fDocument.kind;
  values.drawer_open = DrawerIsOpen();
  values.omit_gen_par = overrides.omit_gen_par;
  values.replaced = overrides.status_value;
  return DeviceAnswer{200, std::string(kXmlContentType), BuildStatusXml(values)};
}

DeviceAnswer IboxDevice::JournalAnswer(const std::string& path) const {
  const auto name = JournalName(path);
  const auto file = name ? JournalFile(*name) : std::nullopt;
  if (!file) return DeviceAnswer{404, std::string(kTextContentType), std::string(kNotFoundBody)};
  return DeviceAnswer{200, std::string(kTextContentType), *file};
}

std::optional<std::string> IboxDevice::JournalFile(std::string_view name) const {
  const auto found = fJournal.find(ToUpperAscii(name));
  if (found == fJournal.end()) return std::nullopt;
  return found->second;
}

DeviceSnapshot IboxDevice::Snapshot() const {
  DeviceSnapshot snapshot;
  snapshot.last_seq_no = fLastSeqNo;
  snapshot.last_error = fLastError;
  snapshot.day_receipt_count = static_cast<int32_t>(fDayReceipts.size());
  snapshot.z_number = fZNumber;
  snapshot.open_document = fDocument.kind;
  snapshot.receipt_total = fDocument.total;
  snapshot.receipt_paid = fDocument.paid;
  snapshot.receipt_items = fDocument.items;
  snapshot.open_lines = fDocument.lines;
  snapshot.drawer_open = DrawerIsOpen();
  snapshot.header_titles = fHeaderTitles;
  snapshot.trailer_titles = fTrailerTitles;
  return snapshot;
}

}  // namespace nvrp::ibox_sim

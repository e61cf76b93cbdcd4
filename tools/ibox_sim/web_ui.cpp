#include "web_ui.hpp"

#include <cstdio>
#include <string_view>

#include "ibox_simulator.hpp"
#include "sim_messages.hpp"

namespace nvrp::ibox_sim {

namespace {

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;  // UTF-8 passes through
        }
    }
  }
  out += '"';
}

// Small JSON object writer: members are added in order, commas are placed between them.
class JsonObject {
 public:
  explicit JsonObject(std::string& out) : fOut(out) { fOut += '{'; }
  ~JsonObject() { fOut += '}'; }
  JsonObject(const JsonObject&) = delete;
  JsonObject& operator=(const JsonObject&) = delete;

  std::string& Key(std::string_view name) {
    if (!fFirst) fOut += ',';
    fFirst = false;
    AppendJsonString(fOut, name);
    fOut += ':';
    return fOut;
  }
  void Text(std::string_view name, std::string_view value) { AppendJsonString(Key(name), value); }
  void Number(std::string_view name, int64_t value) { Key(name) += std::to_string(value); }
  void Flag(std::string_view name, bool value) { Key(name) += value ? "true" : "false"; }
  template <typename Texts>
  void TextList(std::string_view name, const Texts& values) {
    std::string& out = Key(name);
    out += '[';
    bool first = true;
    for (const auto& value : values) {
      if (!first) out += ',';
      first = false;
      AppendJsonString(out, value);
    }
    out += ']';
  }

 private:
  std::string& fOut;
  bool fFirst = true;
};

// Hundredths as the device prints them, with "." before the cents.
std::string Amount(int64_t hundredths) {
  const bool negative = hundredths < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(hundredths) : static_cast<uint64_t>(hundredths);
  char text[32];
  std::snprintf(text, sizeof text, "%s%llu.%02llu", negative ? "-" : "",
                static_cast<unsigned long long>(magnitude / 100),
                static_cast<unsigned long long>(magnitude % 100));
  return text;
}

std::string ClockText(const CivilTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute, time.second);
  return text;
}

std::string_view DocumentKindName(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kFiscal:
      return kUiFiscalDocument;
    case DocumentKind::kNonFiscal:
      return kUiNonFiscalDocument;
    case DocumentKind::kNone:
      break;
  }
  return kUiNoDocument;
}

std::string_view PrintedKindName(PrintedKind kind) {
  switch (kind) {
    case PrintedKind::kReceipt:
      return kUiReceipt;
    case PrintedKind::kVoidedReceipt:
      return kUiVoidedReceipt;
    case PrintedKind::kNonFiscal:
      return kUiNonFiscalDocument;
    case PrintedKind::kXReport:
      return kUiXReport;
    case PrintedKind::kZReport:
      return kUiZReport;
  }
  return kUiReceipt;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find_first_of("\r\n");
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
  }
  return lines;
}

void AppendDocuments(std::string& out, const std::vector<PrintedDocument>& printed) {
  out += '[';
  const size_t first = printed.size() > kShownDocuments ? printed.size() - kShownDocuments : 0;
  for (size_t i = first; i < printed.size(); ++i) {
    if (i > first) out += ',';
    JsonObject document(out);
    document.Text("kind", PrintedKindName(printed[i].kind));
    document.Number("number", printed[i].number);
    document.Number("z_number", printed[i].z_number);
    document.Text("total", Amount(printed[i].total));
    document.TextList("lines", SplitLines(printed[i].text));
  }
  out += ']';
}

void AppendFaults(std::string& out, const std::vector<Fault>& faults) {
  out += '[';
  for (size_t i = 0; i < faults.size(); ++i) {
    if (i > 0) out += ',';
    JsonObject fault(out);
    fault.Text("text", FaultText(faults[i]));
    fault.Flag("sticky", faults[i].sticky);
  }
  out += ']';
}

void AnswerText(httplib::Response& response, int status, std::string_view text) {
  response.status = status;
  response.set_content(std::string(text), std::string(kTextContentType));
}

}  // namespace

std::string FaultText(const Fault& fault) {
  std::string text;
  switch (fault.kind) {
    case FaultKind::kDeviceError:
      text = "device-error:" + std::to_string(fault.device_error);
      break;
    case FaultKind::kHttpStatus:
      text = "http-status:" + std::to_string(fault.http_status);
      if (!fault.body.empty()) text += ":" + fault.body;
      break;
    case FaultKind::kDropConnection:
      text = "drop";
      break;
    case FaultKind::kDelay:
      text = "delay:" + std::to_string(fault.delay.count());
      break;
    case FaultKind::kContentType:
      text = "content-type:" + fault.content_type;
      break;
    case FaultKind::kMissingGenPar:
      text = "no-gen-par";
      break;
    case FaultKind::kDropAfter:
      text = "drop-after";
      break;
    case FaultKind::kStatusValue:
      text = "status-value:" + fault.status_name;
      if (fault.status_text) text += "=" + *fault.status_text;
      break;
  }
  if (!fault.match.empty()) text += "@" + fault.match;
  return text;
}

std::string StateJson(const DeviceSnapshot& device, const CivilTime& clock,
                      const std::vector<PrintedDocument>& printed, const std::vector<Fault>& faults,
                      const ReplayBook* replay) {
  std::string out;
  {
    JsonObject state(out);
    state.Text("clock", ClockText(clock));
    state.Number("z_number", device.z_number);
    state.Number("day_receipts", device.day_receipt_count);
    state.Number("last_seq_no", device.last_seq_no);
    state.Number("last_error", device.last_error);
    state.Text("open_document", DocumentKindName(device.open_document));
    state.Text("receipt_total", Amount(device.receipt_total));
    state.Text("receipt_paid", Amount(device.receipt_paid));
    state.Number("receipt_items", device.receipt_items);
    state.TextList("open_lines", device.open_lines);
    state.Flag("drawer_open", device.drawer_open);
    state.TextList("header_titles", device.header_titles);
    state.TextList("trailer_titles", device.trailer_titles);
    AppendFaults(state.Key("faults"), faults);
    AppendDocuments(state.Key("documents"), printed);
    if (replay != nullptr) {
      JsonObject lists(state.Key("replay"));
      lists.TextList("unmatched", replay->Unmatched());
      lists.TextList("unused", replay->Unused());
    }
  }
  return out;
}

void AddWebUiRoutes(httplib::Server& server, IboxSimulator& simulator) {
  server.Get("/ui/?", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(kWebUiPage, std::string(kHtmlContentType));
  });
  server.Get("/ui/state", [&simulator](const httplib::Request&, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    const auto replay = simulator.ReplaySource();
    response.set_content(StateJson(simulator.Device(), simulator.ClockNow(), simulator.Printed(),
                                   simulator.PendingFaults(), replay.get()),
                         std::string(kJsonContentType));
  });
  server.Post(
      "/ui/fault", [&simulator](const httplib::Request& request, httplib::Response& response) {
        Fault fault;
        const bool sticky = request.has_param("sticky") && request.get_param_value("sticky") == "1";
        if (!ParseFaultOption(request.body, sticky, fault)) {
          AnswerText(response, 400, std::string(kUiBadFault) + request.body);
          return;
        }
        simulator.AddFault(std::move(fault));
        AnswerText(response, 200, kUiDone);
      });
  server.Post("/ui/faults/clear",
              [&simulator](const httplib::Request&, httplib::Response& response) {
                simulator.ClearFaults();
                AnswerText(response, 200, kUiDone);
              });
  server.Post("/ui/drawer",
              [&simulator](const httplib::Request& request, httplib::Response& response) {
                if (request.body != "open" && request.body != "closed") {
                  AnswerText(response, 400, std::string(kUiBadDrawer) + request.body);
                  return;
                }
                simulator.SetDrawerOpen(request.body == "open");
                AnswerText(response, 200, kUiDone);
              });
  // Browsers ask for an icon; without this route the device would record the request.
  server.Get("/favicon.ico",
             [](const httplib::Request&, httplib::Response& response) { response.status = 204; });
}

}  // namespace nvrp::ibox_sim

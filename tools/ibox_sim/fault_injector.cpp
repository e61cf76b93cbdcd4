#include "fault_injector.hpp"

#include <array>
#include <utility>

#include "wire_query.hpp"

namespace nvrp::ibox_sim {

namespace {

bool Matches(const Fault& fault, std::string_view command, std::string_view target) {
  if (fault.match.empty()) {
    const bool status_only =
        fault.kind == FaultKind::kDeviceError || fault.kind == FaultKind::kStatusValue;
    return !status_only || command == "Status";
  }
  return EqualsNoCase(fault.match, command) || target.find(fault.match) != std::string_view::npos;
}

std::optional<int64_t> WholeValue(std::string_view text, int64_t max) {
  const auto value = ParseWhole(text);
  if (!value || *value > max) return std::nullopt;
  return value;
}

// Fills the kind-specific value of `fault`; false when the value does not fit the kind.
bool ApplyValue(std::string_view kind, std::string_view value, Fault& fault) {
  if (kind == "device-error") {
    const auto code = WholeValue(value, 99999);
    if (!code || *code == 0) return false;
    fault.kind = FaultKind::kDeviceError;
    fault.device_error = static_cast<int32_t>(*code);
    return true;
  }
  if (kind == "http-status") {
    const size_t colon = value.find(':');
    const auto status = WholeValue(value.substr(0, colon), 599);
    if (!status || *status < 100) return false;
    fault.kind = FaultKind::kHttpStatus;
    fault.http_status = static_cast<int>(*status);
    fault.body = colon == std::string_view::npos ? "" : std::string(value.substr(colon + 1));
    return true;
  }
  if (kind == "delay") {
    const auto ms = WholeValue(value, 3'600'000);
    if (!ms) return false;
    fault.kind = FaultKind::kDelay;
    fault.delay = std::chrono::milliseconds(*ms);
    return true;
  }
  if (kind == "content-type") {
    if (value.empty()) return false;
    fault.kind = FaultKind::kContentType;
    fault.content_type = std::string(value);
    return true;
  }
  if (kind == "status-value") {
    const size_t equals = value.find('=');
    fault.kind = FaultKind::kStatusValue;
    fault.status_name = std::string(value.substr(0, equals));
    if (equals != std::string_view::npos) fault.status_text = std::string(value.substr(equals + 1));
    return !fault.status_name.empty();
  }
  if (!value.empty()) return false;
  if (kind == "drop") {
    fault.kind = FaultKind::kDropConnection;
    return true;
  }
  if (kind == "drop-after") {
    fault.kind = FaultKind::kDropAfter;
    return true;
  }
  if (kind == "no-gen-par") {
    fault.kind = FaultKind::kMissingGenPar;
    return true;
  }
  return false;
}

}  // namespace

bool ParseFaultOption(std::string_view option, bool sticky, Fault& fault) {
  Fault parsed;
  parsed.sticky = sticky;
  const size_t at = option.rfind('@');
  if (at != std::string_view::npos) {
    parsed.match = std::string(option.substr(at + 1));
    if (parsed.match.empty()) return false;
    option = option.substr(0, at);
  }
  const size_t colon = option.find(':');
  const std::string_view kind = option.substr(0, colon);
  const std::string_view value =
      colon == std::string_view::npos ? std::string_view() : option.substr(colon + 1);
  if (!ApplyValue(kind, value, parsed)) return false;
  fault = std::move(parsed);
  return true;
}

void FaultInjector::Add(Fault fault) {
  std::lock_guard lock(fMutex);
  fFaults.push_back(std::move(fault));
}

void FaultInjector::Clear() {
  std::lock_guard lock(fMutex);
  fFaults.clear();
}

std::vector<Fault> FaultInjector::Pending() const {
  std::lock_guard lock(fMutex);
  return fFaults;
}

std::vector<Fault> FaultInjector::Take(std::string_view command, std::string_view target) {
  std::lock_guard lock(fMutex);
  std::array<bool, 8> kind_taken{};  // one per FaultKind
  std::vector<Fault> taken;
  for (auto it = fFaults.begin(); it != fFaults.end();) {
    const auto kind_index = static_cast<size_t>(it->kind);
    if (kind_taken[kind_index] || !Matches(*it, command, target)) {
      ++it;
      continue;
    }
    kind_taken[kind_index] = true;
    taken.push_back(*it);
    it = it->sticky ? it + 1 : fFaults.erase(it);
  }
  return taken;
}

}  // namespace nvrp::ibox_sim

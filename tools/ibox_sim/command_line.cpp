#include "command_line.hpp"

#include "wire_query.hpp"

namespace nvrp::ibox_sim {

namespace {

bool ReadNumber(const std::string& text, int64_t max, int64_t& value) {
  const auto parsed = ParseWhole(text);
  if (!parsed || *parsed > max) return false;
  value = *parsed;
  return true;
}

// Applies one option that takes a value; false when the option is unknown or the value bad.
bool ApplyValueOption(const std::string& name, const std::string& value, CommandLine& line) {
  int64_t number = 0;
  if (name == "--port") {
    if (!ReadNumber(value, 65535, number)) return false;
    line.options.port = static_cast<int>(number);
  } else if (name == "--host") {
    if (value.empty()) return false;
    line.options.host = value;
  } else if (name == "--serial") {
    if (value.empty()) return false;
    line.options.device.serial_number = value;
  } else if (name == "--z-number") {
    if (!ReadNumber(value, 999'999, number)) return false;
    line.options.device.z_number = static_cast<int32_t>(number);
  } else if (name == "--drawer-close-ms") {
    if (!ReadNumber(value, 86'400'000, number)) return false;
    line.options.device.drawer_close_after = std::chrono::milliseconds(number);
  } else if (name == "--clock") {
    line.clock = ParseCivilTime(value);
    return line.clock.has_value();
  } else if (name == "--replay") {
    if (value.empty()) return false;
    line.replay_log = value;
  } else if (name == "--fault" || name == "--sticky-fault") {
    Fault fault;
    if (!ParseFaultOption(value, name == "--sticky-fault", fault)) return false;
    line.faults.push_back(std::move(fault));
  } else {
    return false;
  }
  return true;
}

bool ApplyFlag(const std::string& name, CommandLine& line) {
  if (name == "--freeze-clock") {
    line.freeze_clock = true;
  } else if (name == "--omega-clock") {
    line.options.device.omega_clock = true;
  } else if (name == "--help" || name == "-h") {
    line.help = true;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& command_line,
                      std::string& bad_argument) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (!value && ApplyFlag(name, command_line)) continue;
    if (!value && i + 1 < args.size()) value = args[++i];
    if (!value || !ApplyValueOption(name, *value, command_line)) {
      bad_argument = args[i];
      return false;
    }
  }
  if (command_line.freeze_clock && !command_line.clock) {
    bad_argument = "--freeze-clock";
    return false;
  }
  return true;
}

}  // namespace nvrp::ibox_sim

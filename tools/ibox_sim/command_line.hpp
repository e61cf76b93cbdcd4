#pragma once

#include <optional>
#include <string>
#include <vector>

#include "device_clock.hpp"
#include "fault_injector.hpp"
#include "ibox_simulator.hpp"

namespace nvrp::ibox_sim {

// Settings of the ibox-sim program.
struct CommandLine {
  SimulatorOptions options;
  std::vector<Fault> faults;
  std::optional<CivilTime> clock;
  bool freeze_clock = false;
  std::string replay_log;  // --replay: the device log to answer from
  bool help = false;
};

// Reads the program's arguments (without the program name); on a bad option returns false
// with the offending argument in `bad_argument`.
bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& command_line,
                      std::string& bad_argument);

}  // namespace nvrp::ibox_sim

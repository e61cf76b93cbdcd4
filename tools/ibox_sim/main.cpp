// ibox-sim: the iBox simulator as a program. Serves until SIGINT or SIGTERM.
#include <pthread.h>

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "command_line.hpp"
#include "ibox_simulator.hpp"
#include "replay_report.hpp"
#include "sim_messages.hpp"

int main(int argc, char** argv) {
  using namespace nvrp::ibox_sim;
  const std::vector<std::string> args(argv + 1, argv + argc);
  CommandLine command_line;
  std::string bad_argument;
  if (!ParseCommandLine(args, command_line, bad_argument)) {
    std::cerr << kBadOption << bad_argument << "\n" << kUsage;
    return 2;
  }
  if (command_line.help) {
    std::cout << kUsage;
    return 0;
  }

  // Block the stop signals before any thread starts, so that only sigwait receives them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  IboxSimulator simulator(command_line.options);
  if (command_line.clock) simulator.SetClock(*command_line.clock, command_line.freeze_clock);
  for (auto& fault : command_line.faults) simulator.AddFault(std::move(fault));
  try {
    if (!command_line.replay_log.empty()) {
      simulator.Replay(LoadReplayBook(command_line.replay_log));
    }
    simulator.Start();
  } catch (const nvrp::Exception& error) {
    std::cerr << error.what() << "\n";
    return 1;
  }
  std::cout << kListeningLine << simulator.BaseUrl() << "\n"
            << kPaperRollLine << simulator.BaseUrl() << kPaperRollPath << std::endl;

  if (const auto book = simulator.ReplaySource()) {
    std::cout << kReplayingLine << book->Size() << " requests of " << command_line.replay_log
              << std::endl;
  }

  int received = 0;
  sigwait(&stop_signals, &received);
  simulator.Stop();
  if (const auto book = simulator.ReplaySource()) WriteReplayReport(*book, std::cout);
  return 0;
}

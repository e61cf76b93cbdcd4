#include "replay_report.hpp"

#include <fstream>
#include <sstream>
#include <vector>

#include "base/nv_exception.hpp"
#include "sim_messages.hpp"

namespace nvrp::ibox_sim {

namespace {

void WriteList(std::string_view title, const std::vector<std::string>& items, std::ostream& out) {
  out << title << items.size() << "\n";
  for (const std::string& item : items) out << "  " << item << "\n";
}

}  // namespace

std::shared_ptr<ReplayBook> LoadReplayBook(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  if (!file) throw Exception(std::string(kCannotReadLog) + path);
  std::vector<LoggedExchange> exchanges = ReadDeviceLog(text.str());
  if (exchanges.empty()) throw Exception(std::string(kNoExchangesInLog) + path);
  return std::make_shared<ReplayBook>(std::move(exchanges));
}

void WriteReplayReport(const ReplayBook& book, std::ostream& out) {
  WriteList(kReplayUnmatched, book.Unmatched(), out);
  WriteList(kReplayUnused, book.Unused(), out);
}

}  // namespace nvrp::ibox_sim

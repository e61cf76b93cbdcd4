// Writes a fuzz target's seeds into a folder, one file per input: the starting corpus of a
// libFuzzer run.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_seeds.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "cannot create %s: %s\n", argv[1], error.message().c_str());
    return 1;
  }
  const std::vector<std::string> seeds = nvrp::fuzz::FuzzSeeds();
  for (size_t index = 0; index < seeds.size(); ++index) {
    const std::filesystem::path name = folder / ("seed_" + std::to_string(index));
    std::ofstream file(name, std::ios::binary | std::ios::trunc);
    file.write(seeds[index].data(), static_cast<std::streamsize>(seeds[index].size()));
    if (!file) {
      std::fprintf(stderr, "cannot write %s\n", name.string().c_str());
      return 1;
    }
  }
  std::printf("%zu seeds in %s\n", seeds.size(), argv[1]);
  return 0;
}

// Deterministic replay for compilers without libFuzzer: runs the target on its seeds, then on
// a fixed number of inputs made from them by seeded mutations (byte flips, cuts, duplicated
// slices, stray markup, long runs, deep nesting, invalid UTF-8, edge-case values). The same
// inputs every run, so a failure reproduces. A crash, a leak or an unexpected exception ends
// the process; getting to the last line means none happened.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_seeds.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

constexpr size_t kDefaultInputCount = 1000;
constexpr uint64_t kRandomSeed = 0x9E3779B97F4A7C15ULL;
constexpr size_t kMaxMutationsPerInput = 4;
constexpr size_t kNestingDepth = 10000;

// xorshift64*: small, and the same sequence on every platform and library.
class tkReplayRandom {
 public:
  explicit tkReplayRandom(uint64_t aSeed) : fState(aSeed) {}
  uint64_t Next() {
    fState ^= fState >> 12;
    fState ^= fState << 25;
    fState ^= fState >> 27;
    return fState * 0x2545F4914F6CDD1DULL;
  }
  // A number in [0, aBound); 0 when aBound is 0.
  size_t Below(size_t aBound) { return aBound == 0 ? 0 : static_cast<size_t>(Next() % aBound); }
  template <typename T>
  const T& Pick(const std::vector<T>& aItems) {
    return aItems[Below(aItems.size())];
  }

 private:
  uint64_t fState;
};

const std::vector<std::string_view> kMarkup = {
    "<",      "&",     "]]>",     "<![CDATA[", "</",        "/>",         "<!--",
    "-->",    "<?xml", "\"",      "'",         "&#0;",      "&#xD800;",   "&#x110000;",
    "&nope;", ">",     "<Lines>", "</Lines>",  "<Receipt>", "</Request>", "<!DOCTYPE r>"};

const std::vector<std::string> kInvalidUtf8 = {
    "\xFF",     "\xC3",         "\xC0\xAF",           "\xED\xA0\x80", "\xF4\x90\x80\x80",
    "\xE2\x82", "\xCE\xA9\xCE", std::string("\0", 1), "\xEF\xBB\xBF"};

const std::vector<char> kRunCharacters = {'A', '9', ' ', '.', '-', '/', '<', '&', '\xCE'};

const std::vector<std::string_view> kNestingNames = {"a", "Lines", "Text", "Value", "Receipt"};

class tkMutator {
 public:
  tkMutator(tkReplayRandom& aRandom, std::vector<std::string_view> aValues)
      : fRandom(aRandom), fValues(std::move(aValues)) {}

  void Mutate(std::string& aInput) {
    // Deep nesting and long runs are costly, so they come less often than the rest.
    switch (fRandom.Below(20)) {
      case 0:
        return InsertDeepNesting(aInput);
      case 1:
        return InsertLongRun(aInput);
      case 2:
      case 3:
      case 4:
        return FlipByte(aInput);
      case 5:
      case 6:
        return Truncate(aInput);
      case 7:
      case 8:
        return DuplicateSlice(aInput);
      case 9:
      case 10:
        return EraseSlice(aInput);
      case 11:
      case 12:
      case 13:
        return InsertAnywhere(aInput, fRandom.Pick(kMarkup));
      case 14:
      case 15:
        return InsertAnywhere(aInput, fRandom.Pick(kInvalidUtf8));
      default:
        return ReplaceElementText(aInput);
    }
  }

 private:
  size_t Position(const std::string& aInput) { return fRandom.Below(aInput.size() + 1); }

  void InsertAnywhere(std::string& aInput, std::string_view aText) {
    aInput.insert(Position(aInput), aText);
  }

  void FlipByte(std::string& aInput) {
    if (aInput.empty()) {
      aInput.push_back(static_cast<char>(fRandom.Next()));
      return;
    }
    const size_t at = fRandom.Below(aInput.size());
    const auto mask = fRandom.Below(2) == 0 ? static_cast<unsigned>(1U << fRandom.Below(8))
                                            : static_cast<unsigned>(fRandom.Below(256));
    aInput[at] = static_cast<char>(static_cast<unsigned char>(aInput[at]) ^ mask);
  }

  void Truncate(std::string& aInput) { aInput.resize(fRandom.Below(aInput.size() + 1)); }

  void DuplicateSlice(std::string& aInput) {
    const size_t start = fRandom.Below(aInput.size() + 1);
    const size_t length = fRandom.Below(std::min<size_t>(aInput.size() - start, 512) + 1);
    const std::string slice = aInput.substr(start, length);
    for (size_t copies = 1 + fRandom.Below(3); copies > 0; --copies) InsertAnywhere(aInput, slice);
  }

  void EraseSlice(std::string& aInput) {
    const size_t start = fRandom.Below(aInput.size() + 1);
    aInput.erase(start, fRandom.Below(64));
  }

  void InsertLongRun(std::string& aInput) {
    const size_t length = 1000 + fRandom.Below(64 * 1024);
    InsertAnywhere(aInput, std::string(length, fRandom.Pick(kRunCharacters)));
  }

  void InsertDeepNesting(std::string& aInput) {
    const std::string_view name = fRandom.Pick(kNestingNames);
    std::string nesting;
    nesting.reserve(kNestingDepth * (2 * name.size() + 5));
    for (size_t i = 0; i < kNestingDepth; ++i) nesting.append("<").append(name).append(">");
    for (size_t i = 0; i < kNestingDepth; ++i) nesting.append("</").append(name).append(">");
    // Right after a tag, so that the nesting usually lands among well-formed elements.
    const size_t tagEnd = aInput.find('>', Position(aInput));
    aInput.insert(tagEnd == std::string::npos ? aInput.size() : tagEnd + 1, nesting);
  }

  // The text between a ">" and the next "<" (an element's value) becomes an edge-case value;
  // without markup the value goes in anywhere.
  void ReplaceElementText(std::string& aInput) {
    const std::string_view value = fRandom.Pick(fValues);
    const size_t open = aInput.find('>', Position(aInput));
    const size_t close = open == std::string::npos ? std::string::npos : aInput.find('<', open);
    if (close == std::string::npos) return InsertAnywhere(aInput, value);
    aInput.replace(open + 1, close - open - 1, value);
  }

  tkReplayRandom& fRandom;
  std::vector<std::string_view> fValues;
};

void RunTarget(const std::string& aInput) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(aInput.data()), aInput.size());
}

size_t InputCount(int argc, char** argv) {
  if (argc < 2) return kDefaultInputCount;
  char* end = nullptr;
  const unsigned long long count = std::strtoull(argv[1], &end, 10);
  if (end == argv[1] || *end != '\0') {
    std::fprintf(stderr, "usage: %s [number of mutated inputs]\n", argv[0]);
    std::exit(2);
  }
  return static_cast<size_t>(count);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t mutatedCount = InputCount(argc, argv);
  const std::vector<std::string> seeds = nvrp::fuzz::FuzzSeeds();
  tkReplayRandom random(kRandomSeed);
  tkMutator mutator(random, nvrp::fuzz::FuzzValues());

  size_t inputs = 0;
  for (const std::string& seed : seeds) {
    RunTarget(seed);
    ++inputs;
  }
  for (size_t i = 0; i < mutatedCount; ++i) {
    std::string input = random.Pick(seeds);
    for (size_t n = 1 + random.Below(kMaxMutationsPerInput); n > 0; --n) mutator.Mutate(input);
    RunTarget(input);
    ++inputs;
  }
  std::printf("%zu inputs, 0 crashes\n", inputs);
  return 0;
}

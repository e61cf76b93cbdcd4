#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/date_time.hpp"

namespace nvrp {

// A table of strings by numeric identifier, such as the library's string resources.
class tNV_StringTable {
 public:
  virtual ~tNV_StringTable() = default;
  // The string with this identifier; empty when there is none.
  virtual std::string StringById(int32_t aId) const = 0;
};

// One version of the history.
class tNV_ApplicationHistory {
 public:
  explicit tNV_ApplicationHistory(std::string aVersion) : fVersion(std::move(aVersion)) {}

  const std::string& Version() const { return fVersion; }
  DateTime ReleaseDate() const { return fReleaseDate; }
  const std::string& Author() const { return fAuthor; }
  const std::vector<std::string>& Text() const { return fText; }

 private:
  friend class tNV_ApplicationInfo;

  std::string fVersion;
  DateTime fReleaseDate = 0;
  std::string fAuthor;
  std::vector<std::string> fText;
};

// Version information and history read from a string table (strings KEY=value from
// identifier 10000 upward).
class tNV_ApplicationInfo {
 public:
  static constexpr int32_t kFirstId = 10000;
  static constexpr int kMissesToStop = 11;
  // Strings are read into a buffer of this many UTF-16 units, terminator included.
  static constexpr size_t kStringBufferUnits = 1024;

  // Reads the table; the last version in identifier order becomes the current one.
  // Throws nvrp::Exception for an impossible release date.
  void Load(const tNV_StringTable& aStrings);

  const std::string& Description() const { return fDescription; }
  const std::string& Copyright() const { return fCopyright; }
  const std::string& Version() const { return fVersion; }
  DateTime ReleaseDate() const { return fReleaseDate; }
  const std::vector<tNV_ApplicationHistory>& History() const { return fHistory; }
  // "[" + version + " - " + release date as dd/mm/yyyy + "]".
  std::string VersionString() const;

 private:
  void ApplyEntry(const std::string& aKey, const std::string& aValue);

  std::string fDescription;
  std::string fCopyright;
  std::string fVersion;
  DateTime fReleaseDate = 0;
  std::vector<tNV_ApplicationHistory> fHistory;
};

// Reads dd/mm/yyyy by fixed positions (characters 1-2, 4-5, 7-10), each part 1 when it is not
// a number. Throws nvrp::Exception for an impossible date.
DateTime ReleaseDateFromText(const std::string& aText);

}  // namespace nvrp

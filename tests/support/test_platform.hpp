#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// The few process services the tests use that each system spells its own way.

namespace nvrp::testing {

// Sets (or, with Unset, removes) an environment variable of this process, seen by getenv and
// by the library's own lookups.
void SetEnvironment(const std::string& aName, const std::string& aValue);
void UnsetEnvironment(const std::string& aName);

// This process's id, for names that must not collide with a parallel test run.
unsigned long ProcessId();

// The path with every separator written "/": the library joins names with "/", Windows writes
// its own paths with "\\", and both mean the same file.
inline std::string GenericPath(const std::string& aPath) {
  return std::filesystem::path(aPath).generic_string();
}
inline std::string GenericPath(const std::filesystem::path& aPath) {
  return aPath.generic_string();
}

// The file name suffix the library adds to a plug-in library's name.
#if defined(_WIN32)
inline const std::string kLibrarySuffix = ".dll";
#else
inline const std::string kLibrarySuffix = ".so";
#endif

// The error code the system gives for a library file that does not exist.
#if defined(_WIN32)
inline const std::string kMissingLibraryCode = "126";  // ERROR_MOD_NOT_FOUND
#else
inline const std::string kMissingLibraryCode = "2";  // ENOENT
#endif

// The system's own text for a library file that does not exist.
std::string MissingLibraryReason();

// Whether this Windows program runs under Wine, whose WinHTTP has no digest authentication.
bool RunningUnderWine();

// A new empty directory under the system's temporary directory.
std::string MakeTemporaryDirectory();

// Runs aChecks as a host started in each of aLocales would: this test again, in a child
// process of this program whose environment names the locale in LANG (LC_ALL and LC_NUMERIC
// removed). The test fails when the checks fail in a child and is skipped when the system has
// none of the locales or cannot start a child in one (Windows). A process started with
// NVRP_TEST_HOST_LOCALE naming the locale it runs in (the child, or a Wine run in that locale)
// runs aChecks in place when the locale is one of aLocales, and skips the test otherwise.
void CheckInHostLocales(std::initializer_list<const char*> aLocales,
                        const std::function<void()>& aChecks);

// What a child process of this test program wrote and how it ended (its exit code, or -1 when
// it did not end normally).
struct ChildRun {
  int fExitCode = -1;
  bool fTimedOut = false;  // stopped when its time was up
  std::string fOutput;
};

// Environment variables for a child process: a name with its value, or with an empty value
// for one the child does not inherit.
using EnvironmentChanges = std::vector<std::pair<std::string, std::string>>;

// Runs this test program with aArguments, in this process's environment changed by aChanges
// (gtest's own variables, such as sharding, are not passed on), stdout and stderr collected.
// A child still running after aLimit is stopped.
ChildRun RunSelf(const std::string& aArguments, const EnvironmentChanges& aChanges,
                 std::chrono::seconds aLimit = std::chrono::seconds(60));

// Whether a child process takes its locale from LANG in its environment: on Linux; not on
// Windows, nor under Wine, which takes it from the Unix locale of the program it starts.
bool CanStartInLocale();

// Whether the system can give numbers in aLocale.
bool LocaleInstalled(const std::string& aLocale);

// A small file system of its own (a tmpfs of aKiB KiB, read-only when asked) mounted on the
// existing directory aPath for the object's life, to show what the library does when a disk is
// full or refuses writes. Mounting needs root on Linux (without it a read-only folder is made
// with its mode instead) and is not available on Windows: Mounted() is then false and Reason()
// says why.
class SmallFileSystem {
 public:
  SmallFileSystem(const std::string& aPath, int aKiB, bool aReadOnly);
  ~SmallFileSystem();
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool Mounted() const { return fMounted; }
  const std::string& Reason() const { return fReason; }

 private:
  std::string fPath;
  bool fMounted = false;
  bool fChmodded = false;
  std::string fReason;
};

// Holds a file open for writing the way a second log writer would (creating it if needed),
// so that the log writer cannot append to it until the hold ends.
class FileWriteHold {
 public:
  explicit FileWriteHold(const std::string& aPath);
  ~FileWriteHold();
  FileWriteHold(const FileWriteHold&) = delete;
  FileWriteHold& operator=(const FileWriteHold&) = delete;

  bool Held() const { return fHeld; }

 private:
  intptr_t fHandle = -1;
  bool fHeld = false;
};

}  // namespace nvrp::testing

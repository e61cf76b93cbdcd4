#include <fcntl.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "support/test_platform.hpp"

namespace nvrp::testing {

void SetEnvironment(const std::string& aName, const std::string& aValue) {
  ::setenv(aName.c_str(), aValue.c_str(), 1);
}

void UnsetEnvironment(const std::string& aName) { ::unsetenv(aName.c_str()); }

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

std::string MissingLibraryReason() { return std::strerror(ENOENT); }

bool RunningUnderWine() { return false; }

namespace {

// This process's environment changed by aChanges, without gtest's variables (sharding could
// leave the one test out).
std::vector<std::string> ChildEnvironment(const EnvironmentChanges& aChanges) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    const bool changed = std::any_of(aChanges.begin(), aChanges.end(),
                                     [&](const auto& aChange) { return aChange.first == name; });
    if (!changed && !name.starts_with("GTEST_")) entries.push_back(text);
  }
  for (const auto& [name, value] : aChanges) {
    if (!value.empty()) entries.push_back(name + "=" + value);
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& aTexts) {
  std::vector<char*> pointers;
  for (std::string& text : aTexts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

bool CanStartInLocale() { return true; }

bool LocaleInstalled(const std::string& aLocale) {
  const locale_t locale = newlocale(LC_NUMERIC_MASK, aLocale.c_str(), locale_t{});
  if (locale == locale_t{}) return false;
  freelocale(locale);
  return true;
}

ChildRun RunSelf(const std::string& aArguments, const EnvironmentChanges& aChanges,
                 std::chrono::seconds aLimit) {
  ChildRun run;
  std::vector<std::string> environment = ChildEnvironment(aChanges);
  std::vector<std::string> arguments = {"/proc/self/exe", aArguments};
  std::vector<char*> environmentPointers = Pointers(environment);
  std::vector<char*> argumentPointers = Pointers(arguments);
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return run;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives the test
    ::dup2(pipeEnds[1], STDOUT_FILENO);
    ::dup2(pipeEnds[1], STDERR_FILENO);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    ::execve("/proc/self/exe", argumentPointers.data(), environmentPointers.data());
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  const auto deadline = std::chrono::steady_clock::now() + aLimit;
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd readable{pipeEnds[0], POLLIN, 0};
    if (left.count() <= 0 || ::poll(&readable, 1, static_cast<int>(left.count())) == 0) {
      run.fTimedOut = true;
      if (pid > 0) ::kill(pid, SIGKILL);
      break;
    }
    const ssize_t count = ::read(pipeEnds[0], buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    run.fOutput.append(buffer, static_cast<size_t>(count));
  }
  ::close(pipeEnds[0]);
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && !run.fTimedOut) {
    run.fExitCode = WEXITSTATUS(status);
  }
  return run;
}

SmallFileSystem::SmallFileSystem(const std::string& aPath, int aKiB, bool aReadOnly)
    : fPath(aPath) {
  const std::string options = "size=" + std::to_string(aKiB) + "k";
  const unsigned long flags = aReadOnly ? MS_RDONLY : 0;
  fMounted = ::mount("tmpfs", aPath.c_str(), "tmpfs", flags, options.c_str()) == 0;
  if (fMounted) return;
  fReason = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
  // Without root a folder's mode keeps writes out too (for root it would not).
  if (aReadOnly && ::geteuid() != 0 && ::chmod(aPath.c_str(), 0555) == 0) {
    fMounted = true;
    fChmodded = true;
  }
}

SmallFileSystem::~SmallFileSystem() {
  if (fChmodded) {
    ::chmod(fPath.c_str(), 0755);
  } else if (fMounted) {
    ::umount2(fPath.c_str(), MNT_DETACH);
  }
}

// The log writer's appends take an exclusive lock; holding one keeps them out.
FileWriteHold::FileWriteHold(const std::string& aPath) {
  const int fd = ::open(aPath.c_str(), O_WRONLY | O_CREAT, 0644);
  if (fd < 0) return;
  fHandle = fd;
  fHeld = ::flock(fd, LOCK_EX) == 0;
}

FileWriteHold::~FileWriteHold() {
  if (fHandle >= 0) ::close(static_cast<int>(fHandle));
}

}  // namespace nvrp::testing

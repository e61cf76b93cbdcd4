#pragma once

#include <string>
#include <string_view>

// The few path and folder calls each system makes its own way, for the portable part of the
// host environment (host_environment.cpp). Implemented by host_environment_posix.cpp and
// host_environment_win32.cpp.

namespace nvrp::host_fs {

// Full path of the host process's executable (not of this library); empty when unknown.
std::string ExecutablePath();

// What separates the parts of a path: "/" on POSIX systems, "/" and "\\" on Windows.
bool IsPathSeparator(char aChar);

// Whether aPrefix is a root that names no folder to create: a drive ("C:", "\\?\C:") on
// Windows; none on POSIX systems.
bool IsRootWithoutFolder(std::string_view aPrefix);

// The path without trailing separators (a root keeps its own).
std::string WithoutTrailingSeparators(std::string aPath);

bool IsDirectory(const std::string& aPath);

// Creates one directory; true also when it exists already.
bool MakeDirectory(const std::string& aPath);

}  // namespace nvrp::host_fs

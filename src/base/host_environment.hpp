#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nvrp {

// Directory of the host executable (where LogFiles and the configuration file live):
// the environment variable NVRP_HOST_DIR when set and not empty, else the directory of
// /proc/self/exe. Always ends without a path separator.
std::string ExeDirectory();

// File name of the host executable without directory and extension.
std::string ExeBaseName();

// The host's command-line parameters, without the program name.
std::vector<std::string> HostParameters();

// First parameter that, compared in lower case, starts with name + ":" or name + "=", or
// equals name: the whole parameter when `whole`, else the part after the separator.
std::string FindSwitch(std::string_view name, bool whole);
std::string FindSwitchIn(const std::vector<std::string>& parameters, std::string_view name,
                         bool whole);

// Joins a directory and a name: an empty side yields the other; an absolute name is taken
// unchanged; otherwise one "/" is put between them. Throws nvrp::Exception
// "Invalid characters in path" for control characters, '"', '<', '>' or '|' in either part.
std::string JoinPath(std::string_view directory, std::string_view name);

// The part of a path after its last "/" (or "\\").
std::string ExtractFileName(std::string_view path);

// Creates the directory and every missing parent; false when it cannot.
bool ForceDirectories(const std::string& path);

}  // namespace nvrp

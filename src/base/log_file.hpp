#pragma once

#include <cstdint>
#include <string>

namespace nvrp {

// File operations of the log writer.

// One open-append-close cycle of the text at the end of the file, made when missing. While the
// text is written others may read the file but no other writer may have it open; false when
// the file is busy or cannot be written (the caller retries).
bool AppendLogText(const std::string& aFileName, const std::string& aText);

// Moves the file aside without ever replacing an existing file.
void RenameNoReplace(const std::string& aFrom, const std::string& aTo);

// Size of the file in bytes, -1 when it cannot be read.
int64_t FileSizeOf(const std::string& aFileName);

}  // namespace nvrp

#pragma once

namespace nvrp {

// Library load: the application object, the empty device table and driver registry, and the
// registered device classes. Never throws; a failed step leaves the commands answering with an
// error.
void LoadCommandLibrary() noexcept;

// Library unload: frees the tables and the application object. Devices still open are neither
// closed nor freed.
void UnloadCommandLibrary() noexcept;

}  // namespace nvrp

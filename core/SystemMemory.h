#pragma once
// How much memory the machine can still give the program.

#include <optional>

// Bytes the system reports as available for new allocations without
// swapping (MemAvailable on Linux); nothing when it cannot be read.
std::optional<long long> AvailableMemoryBytes();

#pragma once
// How much memory the machine can still give the program.

#include <optional>

// Bytes the program can still allocate: what the system reports as
// available without swapping (MemAvailable on Linux), or less where a limit
// on the process's address space or data (RLIMIT_AS, RLIMIT_DATA) leaves
// less room; nothing when none of these can be read.
std::optional<long long> AvailableMemoryBytes();

// Replacing a file so that a failed or interrupted write leaves the old file intact.
#pragma once

#include <cstddef>
#include <string>

struct TWKAtomicWriteOptions {
  // Create the missing folders of the path first (settings files); a user's document is only
  // ever written into a folder that exists.
  bool CreateFolders = true;
};

// Writes the bytes to a new temporary file (".name.XXXXXX") in the target's folder, flushes it to
// the device and renames it over the target. An existing target keeps its permissions; a
// symbolic link is followed so that the file it names is replaced and the link stays; a target
// the user may not write is not replaced. Temporaries of the same target that an earlier save
// left behind when the program ended during it are removed first. False (target untouched, no
// temporary left behind) on any failure, with the system's reason in error (the caller names
// the file).
bool WriteFileAtomically(const std::string& fileName, const void* data, size_t size,
                         std::string& error, const TWKAtomicWriteOptions& options = {});
bool WriteFileAtomically(const std::string& fileName, const void* data, size_t size);

// Test seam: the next write stops after this many bytes with ENOSPC, as a full disk would;
// negative turns it off. Process-wide.
void SetAtomicWriteSpaceLimitForTesting(long long bytes);

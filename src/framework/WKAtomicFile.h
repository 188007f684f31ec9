// Replacing a file so that a failed or interrupted write leaves the old file intact.
#pragma once

#include <cstddef>
#include <string>

// Creates the missing folders of the path, writes the bytes to a new temporary file in the
// target's folder, flushes it to the device and renames it over the target. False (target
// untouched, no temporary left behind) on any failure.
bool WriteFileAtomically(const std::string& fileName, const void* data, size_t size);

// Unique files in the system's temporary folder.
#pragma once

#include <string>

// $TMPDIR, else /tmp.
std::string TemporaryFolder();
// A new empty file named prefix, six random characters and suffix in the temporary folder,
// open to its owner only; "" when none can be made.
std::string CreateTemporaryFile(const std::string& prefix, const std::string& suffix = "");

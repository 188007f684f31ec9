#include "platform/system/TemporaryFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

std::string TemporaryFolder() {
  const char* dir = std::getenv("TMPDIR");
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

std::string CreateTemporaryFile(const std::string& prefix, const std::string& suffix) {
  const std::string name = TemporaryFolder() + "/" + prefix + "XXXXXX" + suffix;
  std::vector<char> buffer(name.begin(), name.end());
  buffer.push_back('\0');
  const int fd = ::mkstemps(buffer.data(), static_cast<int>(suffix.size()));
  if (fd < 0) return "";
  ::close(fd);
  return buffer.data();
}

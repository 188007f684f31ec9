// Bytes of pages the process holds privately (copied or written) in the mapping that contains an
// address, from /proc/self/smaps; 0 when the address lies in no mapping.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

inline size_t PrivatePagesAt(const void* address) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  while (std::getline(smaps, line)) {
    unsigned long begin = 0, end = 0;
    if (std::sscanf(line.c_str(), "%lx-%lx ", &begin, &end) == 2 && line.find(':') > line.find(' ')) {
      inside = at >= begin && at < end;
      continue;
    }
    if (inside && line.rfind("Anonymous:", 0) == 0) {
      std::istringstream fields(line.substr(10));
      size_t kb = 0;
      fields >> kb;
      return kb * 1024;
    }
  }
  return 0;
}

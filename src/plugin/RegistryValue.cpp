// quillmoor-registry <configuration folder> <key path> <value>: sets the key's default value
// in the registry stand-in file of that folder.
#include <cstdio>

#include "platform/system/Registry.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s <configuration folder> <key path> <value>\n", argv[0]);
    return 2;
  }
  if (!TRegistry::WriteString(argv[1], argv[2], "", argv[3])) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], TRegistry::FileIn(argv[1]).c_str());
    return 1;
  }
  return 0;
}

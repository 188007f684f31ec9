#include "documents/WKDocumentTexts.h"

std::string FormatText(const std::string& text, const std::string& argument) {
  const size_t at = text.find("%s");
  if (at == std::string::npos) return text;
  return text.substr(0, at) + argument + text.substr(at + 2);
}

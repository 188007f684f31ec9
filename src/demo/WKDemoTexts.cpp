#include "demo/WKDemoTexts.h"

#include "documents/WKDocumentTexts.h"
#include "framework/WKLocalizer.h"

std::string DemoText(TWKDemoText text, const std::string& argument) {
  return FormatText(LanguageString(static_cast<int>(text)), argument);
}

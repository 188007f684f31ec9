#include "documents/WKScriptRecorder.h"

// The text as one quoted argument that reads back unchanged: in double quotes, or in single
// quotes when it holds a double quote but no single one, else with its double quotes doubled;
// line breaks are written as backslash-n.
std::string MessageLine(const std::string& text) {
  const bool hasDouble = text.find('"') != std::string::npos;
  const char quote = hasDouble && text.find('\'') == std::string::npos ? '\'' : '"';
  std::string line = "Message ";
  line += quote;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\n' || c == '\r') {
      line += "\\n";
      continue;
    }
    if (c == quote) line += quote;
    line += c;
  }
  line += quote;
  return line;
}

void RecordCommand(IWKScriptRecorder* recorder, const std::string& target,
                   const std::string& message, const std::string& command) {
  if (recorder == nullptr) return;
  recorder->AddLine("MouseCurvedMove " + target);
  if (recorder->ShowsMessages()) recorder->AddLine(MessageLine(message));
  recorder->AddLine(command);
}

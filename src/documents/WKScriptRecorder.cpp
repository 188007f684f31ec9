#include "documents/WKScriptRecorder.h"

std::string MessageLine(const std::string& text) { return "Message \"" + text + "\""; }

void RecordCommand(IWKScriptRecorder* recorder, const std::string& target,
                   const std::string& message, const std::string& command) {
  if (recorder == nullptr) return;
  recorder->AddLine("MouseCurvedMove " + target);
  if (recorder->ShowsMessages()) recorder->AddLine(MessageLine(message));
  recorder->AddLine(command);
}

// Where the editor, the views and the tools append script lines while a demonstration is
// being recorded.
#pragma once

#include <string>

class IWKScriptRecorder {
 public:
  virtual ~IWKScriptRecorder() = default;
  virtual void AddLine(const std::string& line) = 0;
  // Whether the recorded demonstration shows a message for each command.
  virtual bool ShowsMessages() const = 0;
  // The message text the demonstration shows at the moment (for recorded mouse clicks).
  virtual std::string CurrentMessage() const { return {}; }
};

// Message "text", quoted so that the script reads the whole text back.
std::string MessageLine(const std::string& text);
// "MouseCurvedMove <target>", the message line when messages are shown, then the command.
// Nothing without a recorder.
void RecordCommand(IWKScriptRecorder* recorder, const std::string& target,
                   const std::string& message, const std::string& command);

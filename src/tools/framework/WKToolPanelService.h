// What a tool asks of the tool panel: a button among the tool buttons, separators between
// groups, and a panel wide enough for its option frame. The user interface implements it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "documents/WKEditorUI.h"

class IWKToolButton : public IWKUIItem {
 public:
  virtual void SetImageIndex(int32_t index) = 0;
};

class IWKToolPanel {
 public:
  virtual ~IWKToolPanel() = default;
  // Owned by the panel; caption and hint are the text.
  virtual IWKToolButton* AddToolButton(const std::string& caption, std::function<void()> click) = 0;
  // A separator; one wider than the panel starts a new row of buttons.
  virtual void AddToolSeparator(int32_t width) = 0;
  // Ignored below the width the panel already has.
  virtual void SetPanelWidth(int32_t width) = 0;
  // Shows or hides the whole panel (a demonstration shows it).
  virtual void SetPanelVisible(bool value) {}
};

// The program's tool panel, or none (tools then have no button).
IWKToolPanel* ToolPanelService();
void SetToolPanelService(IWKToolPanel* panel);

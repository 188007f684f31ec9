// What the image editor asks of the main window beyond what the document editor asks
// (IWKMainWindow; one window class implements both): the status bar, the window's place on the screen, the dropped files and the plug-in buttons.
#pragma once

#include <functional>
#include <string>

#include "documents/WKEditorUI.h"

class TWKLTBitmap;

class IWKGraphicsMainWindow {
 public:
  virtual ~IWKGraphicsMainWindow() = default;
  // View > Toolbars (the zoom items go in front of it).
  virtual IWKUIItem* ToolbarsMenuItem() = 0;
  // A status-bar panel of the given width showing text; appended at the end. A width of 0 makes
  // the message panel at the left, which takes the room the others leave.
  virtual IWKUIItem* AddStatusPanel(const std::string& text, int32_t width) = 0;
  virtual int32_t FontHeight() const = 0;
  // A tool-bar button showing its caption, stretched to the text.
  virtual IWKUIItem* AddTextButton(IWKUIItem* toolbar, const std::string& caption,
                                   TWKClickHandler click) = 0;
  // A text button that reports being pressed (true) and released (false) rather than clicks;
  // without a platform that can tell, a click is a press followed by a release.
  virtual IWKUIItem* AddHoldButton(IWKUIItem* toolbar, const std::string& caption,
                                   std::function<void(bool down)> held) {
    return AddTextButton(toolbar, caption, [held = std::move(held)] {
      if (!held) return;
      held(true);
      held(false);
    });
  }
  // The window's frame in screen coordinates, and the work area of the screen it is on.
  virtual TRect WindowRect() const = 0;
  virtual void SetWindowRect(const TRect& rect) = 0;
  virtual TRect WorkArea() const = 0;
  // Called with the first dropped file when it exists.
  virtual void SetDropFileHandler(std::function<void(const std::string& fileName)> handler) = 0;
  // While a picture of width x height opens: its reduced picture in place of the document
  // view, fitted as the picture will be; null takes it away.
  virtual void ShowReducedPicture(const TWKLTBitmap* reduced, int32_t width, int32_t height) = 0;
};

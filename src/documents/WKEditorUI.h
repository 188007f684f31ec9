// What the editor asks of the user interface: the main window's menus and tool bars, and the
// file dialogs. The Qt layer implements these; tests fake them. Message boxes go through the
// application object's message-box service.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "documents/WKFileFormats.h"
#include "imaging/WKTypes.h"

class TWKDocumentView;

// A menu item, submenu, separator, tool bar or tool-bar button.
class IWKUIItem {
 public:
  virtual ~IWKUIItem() = default;
  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetHint(const std::string& text) = 0;
  virtual void SetEnabled(bool value) = 0;
  virtual void SetVisible(bool value) = 0;
  // A checked item is drawn pressed (tool-bar button) or with a check mark (menu item); items
  // that cannot show it stay unchecked.
  virtual void SetChecked(bool value) = 0;
  virtual std::string Caption() const = 0;
  virtual bool Enabled() const = 0;
  virtual bool Visible() const = 0;
  virtual bool Checked() const = 0;
  // The centre in screen coordinates.
  virtual TPoint ScreenCenter() const = 0;
  // Whether the item is on screen at ScreenCenter: not hidden, and not folded away (a tool-bar
  // button moved into its tool bar's overflow menu).
  virtual bool Shown() const { return Visible(); }
};

// The item's centre when it is shown; false for none or an item off screen, so that a
// demonstration never clicks whatever lies where a folded button would be.
inline bool ShownCenter(const IWKUIItem* item, TPoint& point) {
  if (item == nullptr || !item->Shown()) return false;
  point = item->ScreenCenter();
  return true;
}

using TWKClickHandler = std::function<void()>;

class IWKMainWindow {
 public:
  virtual ~IWKMainWindow() = default;
  // The main window's own items.
  virtual IWKUIItem* FileMenuItem() = 0;
  virtual IWKUIItem* FileMenuSeparator() = 0;
  virtual IWKUIItem* ExitMenuItem() = 0;
  virtual IWKUIItem* ViewMenuItem() = 0;
  virtual IWKUIItem* HelpMenuItem() = 0;

  // Items are owned by the main window. A none parent means the menu bar; the new item goes in
  // front of before when that is a child of parent, otherwise at the end. imageIndex -1: none.
  virtual IWKUIItem* AddMenuItem(const std::string& caption, const std::string& shortcut,
                                 IWKUIItem* before, IWKUIItem* parent, int32_t imageIndex,
                                 TWKClickHandler click) = 0;
  virtual IWKUIItem* AddSubmenu(const std::string& caption, IWKUIItem* parent,
                                IWKUIItem* before) = 0;
  virtual IWKUIItem* AddSeparator(IWKUIItem* parent, IWKUIItem* before) = 0;
  // A tool bar docked at the top, with a visibility item in the Toolbars submenu.
  virtual IWKUIItem* AddToolbar(const std::string& caption) = 0;
  // Caption and hint are both the given text; before none: at the end.
  virtual IWKUIItem* AddToolbarButton(IWKUIItem* toolbar, IWKUIItem* before,
                                      const std::string& caption, int32_t imageIndex,
                                      TWKClickHandler click) = 0;
  virtual IWKUIItem* AddToolbarSeparator(IWKUIItem* toolbar, IWKUIItem* before) = 0;

  virtual void SetCaption(const std::string& caption) = 0;
  // Aligns the view to fill the client area and places it in the main window.
  virtual void ShowDocumentView(TWKDocumentView& view) = 0;
  // The query runs when the user closes the main window; clearing canClose keeps it open.
  virtual void SetCloseQuery(std::function<void(bool& canClose)> query) = 0;
  virtual void Close() = 0;
};

class IWKFileDialogs {
 public:
  virtual ~IWKFileDialogs() = default;
  // The open dialog over the formats' open list (with file information and thumbnails).
  virtual bool ExecuteOpenDialog(TWKFileFormats& formats, std::string& fileName) = 0;
  // fileName comes in as the proposed name and goes out as the chosen one; filterIndex is
  // the 1-based entry of saveFormats selected (0: none) both ways.
  virtual bool ExecuteSaveDialog(TWKFileFormats& formats, const TWKFileFormatArray& saveFormats,
                                 std::string& fileName, int32_t& filterIndex) = 0;
};

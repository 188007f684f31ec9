// The image editor's view of the main window: the editor window plus status-bar panels, text
// buttons, window placement on the screen and dropped files.
#pragma once

#include <QPointer>
#include <QWidget>

#include "documents/WKGraphicsEditorUI.h"
#include "documents/qt/QtEditorWindow.h"

class TQtGraphicsEditorWindow : public TQtEditorWindow, public IWKGraphicsMainWindow {
 public:
  explicit TQtGraphicsEditorWindow(TMainForm& form);
  ~TQtGraphicsEditorWindow() override;

  IWKUIItem* ToolbarsMenuItem() override { return Toolbars_; }
  IWKUIItem* AddStatusPanel(const std::string& text, int32_t width) override;
  int32_t FontHeight() const override;
  IWKUIItem* AddTextButton(IWKUIItem* toolbar, const std::string& caption,
                           TWKClickHandler click) override;
  IWKUIItem* AddHoldButton(IWKUIItem* toolbar, const std::string& caption,
                           std::function<void(bool down)> held) override;
  TRect WindowRect() const override;
  void SetWindowRect(const TRect& rect) override;
  TRect WorkArea() const override;
  void SetDropFileHandler(std::function<void(const std::string&)> handler) override;
  // Also lays the view out at once, so that it is fitted to its real size even before the
  // main window is first shown.
  void ShowDocumentView(TWKDocumentView& view) override;
  void ShowReducedPicture(const TWKLTBitmap* reduced, int32_t width, int32_t height) override;
  // The widget that shows the reduced picture while a picture opens; none otherwise.
  QWidget* ReducedPictureWidget() const { return Reduced_.data(); }

 private:
  QPointer<QWidget> Reduced_;
  IWKUIItem* Toolbars_ = nullptr;
  std::vector<std::unique_ptr<IWKUIItem>> Panels_;
};

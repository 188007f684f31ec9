// The program's editor: the document editor plus zoom, browsing the image's folder, the
// status-bar read-outs, the current tool, undo and redo with the tools told, drag and drop,
// the demonstration commands and the plug-in mode.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "documents/WKEditor.h"
#include "documents/WKFolderList.h"
#include "documents/WKGraphicsEditorUI.h"
#include "documents/WKGraphicsFormats.h"
#include "framework/WKGuid.h"
#include "framework/WKInputCodes.h"
#include "imaging/WKBitmap.h"

class IWKGraphicsTool;
class TWKGraphicsDocument;
class IWKImageView;
class TWKGraphicsView;

inline constexpr TWKGUID GraphicsEditorSettingsGuid =
    WKGuid("{E1195915-FFAE-4A56-B331-F4567336FF25}");

struct TWKZoomRatio {
  int32_t Numerator = 1;
  int32_t Denominator = 1;
  friend bool operator==(const TWKZoomRatio&, const TWKZoomRatio&) = default;
};
inline constexpr std::array<TWKZoomRatio, 21> ZoomSteps{{
    {1, 16}, {1, 12}, {1, 8}, {1, 7}, {1, 6}, {1, 5}, {1, 4}, {1, 3}, {1, 2}, {3, 4}, {1, 1},
    {3, 2}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {8, 1}, {12, 1}, {16, 1}}};

// The next table step above (zoomIn) or below the ratio; 16/1 or 1/16 when there is none.
TWKZoomRatio NextZoomStep(int32_t numerator, int32_t denominator, bool zoomIn);
// The zoom that fits an image into a view; false (no zoom) when either has a side below 1.
bool ZoomToFit(TSize view, TSize image, TWKZoomRatio& zoom);

// Exit codes of the plug-in mode.
inline constexpr int PluginExitApplied = 0;
inline constexpr int PluginExitCancelled = -1;

class TWKGraphicsEditor : public TWKEditor {
 public:
  TWKGraphicsEditor(TWKComponent* owner, IWKMainWindow& mainWindow,
                    IWKGraphicsMainWindow& graphicsWindow, IWKFileDialogs& dialogs,
                    std::unique_ptr<TWKGraphicsFormats> formats = nullptr);
  ~TWKGraphicsEditor() override;

  // Published items.
  IWKUIItem* ZoomInMenuItem = nullptr;
  IWKUIItem* ZoomOutMenuItem = nullptr;
  IWKUIItem* ActualSizeMenuItem = nullptr;
  IWKUIItem* ScaleToBestFitMenuItem = nullptr;
  IWKUIItem* ZoomMenuSeparator = nullptr;
  IWKUIItem* ZoomToolbarSeparator = nullptr;
  IWKUIItem* ZoomInButton = nullptr;
  IWKUIItem* ZoomOutButton = nullptr;
  IWKUIItem* ActualSizeButton = nullptr;
  IWKUIItem* ScaleToBestFitButton = nullptr;
  IWKUIItem* ImportSubmenu = nullptr;
  IWKUIItem* SelectTwainSourceMenuItem = nullptr;
  IWKUIItem* AcquireMenuItem = nullptr;
  IWKUIItem* CloseMenuSeperator = nullptr;
  IWKUIItem* XStatusPanel = nullptr;
  IWKUIItem* YStatusPanel = nullptr;
  IWKUIItem* WStatusPanel = nullptr;
  IWKUIItem* HStatusPanel = nullptr;
  IWKUIItem* RStatusPanel = nullptr;
  IWKUIItem* GStatusPanel = nullptr;
  IWKUIItem* BStatusPanel = nullptr;
  // The status bar's message: what the last action did.
  IWKUIItem* MessageStatusPanel = nullptr;
  IWKUIItem* PrevImageButton = nullptr;
  IWKUIItem* NextImageButton = nullptr;
  IWKUIItem* OkButton = nullptr;
  IWKUIItem* CancelButton = nullptr;

  // Program folder + "Demo/", set by the composition.
  std::string DemoFolder;
  // The flag of the settings section that is only kept.
  bool StoredFlag = false;
  // Set when the last script command was handled but failed (an image that did not open).
  bool ScriptCommandFailed = false;

  void Localize() override;
  // The file named on the command line opens once the message loop runs, the main window shown
  // first (in plug-in mode and without a message loop at once).
  void Start() override;
  // The command line's file is still to be opened or is opening.
  bool StartupOpenPending() const { return StartupOpenPending_; }
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  void BringToFront(TWKDocument* document) override;
  void UpdateTitle(const void* sender) override;
  TWKDocumentFormats* GetFileFormats() override;
  std::unique_ptr<TWKDocument> CreateDocument() override;
  void ShowDocument(TWKDocument& document, TWKDocumentView*& view) override;
  bool SaveAs(TWKDocument& document) override;
  int AskSaveChanges(const std::string& name) override;
  bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) override;
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;
  void DocumentOpened(TWKDocument& document) override;
  void SetPluginMode(bool value) override;
  bool OpenFile(const std::string& fileName, TWKDocument*& document, bool addToRecent) override;
  bool CanUndo() override;
  bool CanRedo() override;
  void Undo() override;
  void Redo() override;

  // screenPoint in screen coordinates; true when a control or the view handled it.
  virtual bool MainFormMouseWheel(TWKShiftState shift, int32_t wheelDelta, TPoint screenPoint);
  virtual void ActivateDocument(TWKDocument* document) { BringToFront(document); }
  virtual void NextImageClick();
  virtual void PrevImageClick();
  virtual void ZoomInClick();
  virtual void ZoomOutClick();
  virtual void ActualSizeClick();
  virtual void BestFitClick();
  virtual void PluginApplyClick();
  virtual void PluginCancelClick();

  void SetCurrentTool(IWKGraphicsTool* tool);
  IWKGraphicsTool* CurrentTool() const { return CurrentTool_; }
  IWKGraphicsTool* PreviousTool() const { return PreviousTool_; }
  TWKGraphicsDocument* CurrentImageDocument() const;
  TWKGraphicsView* CurrentView() const;
  IWKImageView* CurrentImageView() const;
  bool CanToolEdit(IWKGraphicsTool* tool) const;
  void LockTools() { ToolsLocked_ = true; }
  void UnlockTools() { ToolsLocked_ = false; }
  bool ToolsLocked() const { return ToolsLocked_; }
  void SetZoomToFit();
  void FitNewImage();
  void SetMinViewSize(int32_t width, int32_t height);
  void SetMinWindowSize(int32_t width, int32_t height);
  // The main window's frame becomes width × height, its top-left corner staying.
  void SetWindowSize(int32_t width, int32_t height);

  TWKGraphicsFormats& Formats() const { return *Formats_; }
  const TWKFolderList& FolderList() const { return FolderList_; }
  // The scanner component is not available on this system: its items stay hidden.
  bool ScannerAvailable() const { return false; }
  // The status-bar read-outs of the view.
  void ShowPosition(TPoint imagePoint, const TBGRPixel& pixel);
  void ShowImageSize(int32_t width, int32_t height);
  // An item at the end of the Edit menu, for a command of a tool; none without the menu.
  IWKUIItem* AddEditMenuItem(const std::string& caption, const std::string& shortcut,
                             TWKClickHandler click);
  // A message on the status bar (what a tool just did); an empty text clears it.
  void ShowStatusMessage(const std::string& text);

 protected:
  IWKGraphicsMainWindow& GraphicsWindow() const { return GraphicsWindow_; }

 private:
  // Undo (redo false) or redo one state, with the tools told before and after.
  void StepHistory(bool redo);
  void CreateGraphicsItems();
  void FitView(IWKImageView& view, const TWKGraphicsDocument& document);
  void ZoomViewToFit(IWKImageView& view, const TWKGraphicsDocument& document);
  void FitWindowToWorkArea(TRect& window) const;
  void PluginSave();
  // Opens the command line's file with its decode in the background, the reduced picture shown
  // meanwhile.
  void OpenStartupFile();
  void ApplyZoom(const TWKZoomRatio& zoom, const char* target, const char* message);

  IWKGraphicsMainWindow& GraphicsWindow_;
  std::unique_ptr<TWKGraphicsFormats> Formats_;
  IWKGraphicsTool* CurrentTool_ = nullptr;
  IWKGraphicsTool* PreviousTool_ = nullptr;
  bool ToolsLocked_ = false;
  bool StartupOpenPending_ = false;
  TWKFolderList FolderList_;
  TWKComponent* ScrollTool_ = nullptr;
};

// The original-image comparison: while its tool-bar button or the O key is held, the view shows
// the image as it was opened in place of the current one, painted straight from the document's
// original (nothing is copied); on release the previous tool is current again.
#pragma once

#include <cstdint>
#include <string>

#include "framework/WKLocalizer.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKGraphicsToolControl.h"

class IWKGraphicsMainWindow;
class IWKUIItem;

class TWKOriginalImageToolControl : public TWKGraphicsToolControl {
 public:
  // Background layer, tool overlay, hidden.
  static constexpr uint8_t kIdleFlags = vofBackground | vofToolOverlay;
  static constexpr uint16_t kShowKey = 79;  // O

  TWKOriginalImageToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);

  void Init() override;
  void InitFlags() override;
  // Hides the view's image object and shows the original in its place.
  void Activate() override;
  void Deactivate() override;
  void PaintBackground(TWKViewCanvas& canvas) override;
  // O shows the original while another tool is current; its release brings that tool back.
  bool KeyDown(uint16_t key, TWKShiftState shift) override;
  bool KeyUp(uint16_t key, TWKShiftState shift) override;

 private:
  TRect OriginalBounds() const;
};

class TWKOriginalImageTool : public TWKGraphicsTool {
 public:
  static constexpr TWKLanguageText kCaption{2100, "Original"};
  static constexpr TWKLanguageText kHint{2000, "Hold down to show the original image"};

  // The button goes into toolbar of window (none: no button).
  TWKOriginalImageTool(TWKComponent* owner, IWKGraphicsMainWindow* window, IWKUIItem* toolbar);

  // The tool that was current before the original was shown (possibly none).
  IWKGraphicsTool* PreviousTool = nullptr;
  IWKUIItem* OriginalImageToolButton = nullptr;

  // This tool is the editor's current tool: the original is shown.
  bool IsActive() const;
  void ShowOriginal();
  void RestoreTool();
  // The button's pressed (true) and released state.
  void ButtonHeld(bool down);

  void Localize() override;
  void UpdateControls() override;
  bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) override;
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;
  // Swaps the image, then records the demonstration of the comparison.
  void Activate() override;
};

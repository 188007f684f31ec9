// The rotate/flip tool: quarter turns and mirrors of the whole image, each one undoable step,
// from the standard tool bar, the Edit menu and an option frame that can preview the chosen
// operation on a thumbnail.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "documents/WKGraphicsCommandState.h"
#include "framework/WKLocalizer.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKToolFrame.h"

class IWKMainWindow;
class IWKUIItem;
class TWKRotateTool;

// Operation codes; each is also what undo inverts.
enum : uint8_t {
  RotateNone = 0,
  RotateLeftOperation = 1,
  RotateRightOperation = 2,
  MirrorHorizontalOperation = 3,
  FlipVerticalOperation = 4,
};

// The operation that undoes op (0 for an unknown code).
uint8_t InverseRotateOperation(uint8_t op);
// Applies the document operation of the code; false when nothing changed.
bool ApplyRotateOperation(TWKGraphicsDocument& document, uint8_t op);
// The same on a bitmap (the preview).
bool ApplyRotateOperation(TWKLTBitmap& bitmap, uint8_t op);

namespace RotateNames {
inline constexpr std::string_view ScriptName = "Rotation";
// Frame controls, named by these suffixes for demonstrations.
inline constexpr std::string_view ViewControl = "View";
inline constexpr std::string_view PerformControl = "Perform";
inline constexpr std::string_view OptionsControl = "Options";
// Per operation (index = code - 1): the direct button and the radio button.
inline constexpr std::array<std::string_view, 4> DirectControls = {"Left", "Right", "Horizontal", "Vertical"};
inline constexpr std::array<std::string_view, 4> OptionControls = {"LeftOption", "RightOption",
                                                                  "HorizontalOption", "VerticalOption"};
inline constexpr TWKLanguageText TitleText{2024, "Rotation & Flip"};
inline constexpr std::array<TWKLanguageText, 4> OperationTexts = {{{2026, "Rotate Left"},
                                                                   {2025, "Rotate Right"},
                                                                   {2110, "Flip Horizontal"},
                                                                   {2109, "Flip Vertical"}}};
inline constexpr TWKLanguageText ShowOptionsText{2019, "Show More Options"};
inline constexpr TWKLanguageText HideOptionsText{2020, "Hide Options"};
// Tool-bar and menu order with the program's image indexes.
inline constexpr std::array<uint8_t, 4> BarOrder = {RotateRightOperation, RotateLeftOperation,
                                                    FlipVerticalOperation, MirrorHorizontalOperation};
inline constexpr std::array<int32_t, 4> BarImages = {16, 17, 18, 19};
}  // namespace RotateNames

// The undo step: the operation; undo runs its inverse on both images (and the JPEG form).
class TWKRotateCommandState : public TWKCustomGraphicsCommandState {
 public:
  TWKRotateCommandState(TWKRotateTool* tool, TWKGraphicsDocument& document, uint8_t operation);
  void Undo() override;
  void Redo() override;
  uint8_t Operation() const { return Operation_; }

 private:
  void Apply(uint8_t op);
  TWKRotateTool* RotateTool_;
  uint8_t Operation_;
};

struct TRotateFrameTexts {
  std::string Title;
  std::array<std::string, 4> Operations;  // by code - 1
  std::string Options;                    // the link's text
  std::string Perform;                    // the caption of the preview's perform button
};

// What the tool asks of its option frame; the user interface implements it.
class IWKRotateFrame : public virtual IWKToolFrame {
 public:
  virtual void SetTexts(const TRotateFrameTexts& texts) = 0;
  // Shows the preview panel (true) or the four direct buttons (false).
  virtual void ShowOptionsPanel(bool shown) = 0;
  virtual bool OptionsPanelShown() const = 0;
  // The code of the checked radio button (left, right, horizontal, vertical tried in order), 0
  // when none is checked.
  virtual uint8_t SelectedOperation() const = 0;
  virtual void CheckOperation(uint8_t op) = 0;
  // The thumbnail's paint box.
  virtual TSize ThumbnailViewSize() const = 0;
  virtual void RepaintThumbnail() = 0;
};

class TWKRotateTool : public TWKGraphicsTool {
 public:
  static constexpr int32_t kFrameWidth = 184;
  using TFrameFactory = std::function<IWKRotateFrame*(TWKRotateTool&)>;

  TWKRotateTool(TWKComponent* owner, TFrameFactory frameFactory = nullptr);
  ~TWKRotateTool() override;

  void AfterConstruction() override;
  void Localize() override;
  void UpdateControls() override;
  void StoreUndoState() override;
  void DocumentOpened(TWKGraphicsDocument& document) override;
  void Activate() override;
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;
  void RegisterDemoObjects() override;

  // A separator and the four commands at the end of the tool bar and of the menu (either may
  // be none); the composition calls it once.
  void AddCommandItems(IWKMainWindow& window, IWKUIItem* toolbar, IWKUIItem* menu);

  // Each one undoable step on the current document; false when nothing was done.
  bool RotateLeft() { return Perform(RotateLeftOperation); }
  bool RotateRight() { return Perform(RotateRightOperation); }
  bool MirrorHorizontal() { return Perform(MirrorHorizontalOperation); }
  bool FlipVertical() { return Perform(FlipVerticalOperation); }
  bool Perform(uint8_t op);

  void SetOptionsShown(bool value);
  void RefreshThumbnail();
  void BuildThumbnail(TWKGraphicsDocument* document);
  void ShowPreview();

  // Tool-bar and menu: in plug-in mode the turns run twice (a half turn), the flips once.
  void CommandItemClick(uint8_t op);
  // Frame handlers.
  void DirectButtonClick(uint8_t op);
  void RotateRadioButtonChange(uint8_t op, bool checked);
  void RotateButtonClick();
  void ShowOptionsButtonClick() { SetOptionsShown(!OptionsShown_); }

  uint8_t Operation() const { return Operation_; }
  bool OptionsShown() const { return OptionsShown_; }
  IWKRotateFrame* Frame() const { return Frame_; }
  const TWKLTBitmap* Thumbnail() const { return Thumbnail_.get(); }
  const TWKLTBitmap* PreviewBitmap() const { return PreviewBitmap_.get(); }
  // The tool-bar buttons and menu items in tool-bar order (none before AddCommandItems).
  const std::array<IWKUIItem*, 4>& ToolbarButtons() const { return ToolbarButtons_; }
  const std::array<IWKUIItem*, 4>& MenuItems() const { return MenuItems_; }

 private:
  TWKGraphicsDocument* CurrentDocument() const;
  std::string PerformCaption() const;

  TFrameFactory FrameFactory_;
  IWKRotateFrame* Frame_ = nullptr;
  uint8_t Operation_ = RotateNone;
  bool OptionsShown_ = false;
  std::unique_ptr<TWKLTBitmap> Thumbnail_;
  std::unique_ptr<TWKLTBitmap> PreviewBitmap_;
  std::array<IWKUIItem*, 4> ToolbarButtons_{};
  std::array<IWKUIItem*, 4> MenuItems_{};
};

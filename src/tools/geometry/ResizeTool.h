// The resize tool: resamples the whole image, and the original image with it, to a typed width
// and height, optionally keeping the image's proportions; one undoable step.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "documents/WKGeometryCommandState.h"
#include "framework/WKLocalizer.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKToolFrame.h"

class TWKResizeTool;

namespace ResizeNames {
inline constexpr std::string_view ScriptName = "Resize";
inline constexpr std::string_view ButtonCaption = "Resize";
inline constexpr std::string_view WidthControl = "Width";
inline constexpr std::string_view HeightControl = "Height";
inline constexpr std::string_view ProportionsControl = "Proportions";
inline constexpr std::string_view PerformControl = "Perform";
inline constexpr std::string_view CancelControl = "Cancel";
inline constexpr TWKLanguageText TitleText{108, "Resize"};
inline constexpr TWKLanguageText NewSizeText{2027, "New Size"};
inline constexpr TWKLanguageText WidthText{505, "Width"};
inline constexpr TWKLanguageText HeightText{506, "Height"};
inline constexpr TWKLanguageText ConstrainText{2028, "Constrain Proportions"};
inline constexpr TWKLanguageText OkText{1, "OK"};
inline constexpr TWKLanguageText CancelText{2, "Cancel"};
inline constexpr TWKLanguageText EmptySizeMessage{2029, "The image cannot be resized to %s pixels."};
inline constexpr TWKLanguageText NoMemoryMessage{2030, "There is not enough memory to resize the image to %s pixels."};
}  // namespace ResizeNames

// The undo step: both images from before; redo resamples again to the stored size with the
// resampler of the step.
class TWKResizeCommandState : public TWKCustomGraphicsCommandState {
 public:
  TWKResizeCommandState(TWKResizeTool* tool, TWKGraphicsDocument& document,
                        std::unique_ptr<TWKGeometrySnapshot> before, int32_t width, int32_t height,
                        bool quickDraft);
  void Undo() override;
  void Redo() override;

  const int32_t NewWidth;
  const int32_t NewHeight;
  const bool QuickDraft;

 private:
  std::unique_ptr<TWKGeometrySnapshot> Before_;
};

struct TResizeFrameTexts {
  std::string Title, NewSize, Width, Height, Constrain, Ok, Cancel;
};

// What the tool asks of its option frame; the user interface implements it.
class IWKResizeFrame : public virtual IWKToolFrame {
 public:
  virtual void SetTexts(const TResizeFrameTexts& texts) = 0;
  // The edits show the values (not reported back as the user's typing).
  virtual void ShowWidth(int32_t value) = 0;
  virtual void ShowHeight(int32_t value) = 0;
  virtual void SetConstrainChecked(bool value) = 0;
  // Ok and Cancel together.
  virtual void SetActionsEnabled(bool value) = 0;
};

class TWKResizeTool : public TWKGraphicsTool {
 public:
  static constexpr int32_t kFrameWidth = 184;
  using TFrameFactory = std::function<IWKResizeFrame*(TWKResizeTool&)>;

  TWKResizeTool(TWKComponent* owner, TFrameFactory frameFactory = nullptr);
  ~TWKResizeTool() override;

  void AfterConstruction() override;
  void Localize() override;
  void UpdateControls() override;
  void StoreUndoState() override {}  // Perform adds its own step
  void DocumentOpened(TWKGraphicsDocument& document) override;
  void Activate() override;
  void ResetControls() override;
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;
  void RegisterDemoObjects() override;

  // The current document's image size; 1 without a document.
  int32_t ImageWidth() const;
  int32_t ImageHeight() const;
  // Values below 2 become 1; with proportions kept the other side follows the image's.
  void SetNewWidth(int32_t value);
  void SetNewHeight(int32_t value);
  void SetConstrainProportions(bool value);
  // Resizes the current document to NewWidth × NewHeight as one undoable step. A size below
  // 1 × 1 or one whose memory cannot be had is refused with a message and leaves no step.
  bool Perform();

  // Frame handlers. The edit handlers take the text typed; text that is not a whole integer
  // changes nothing.
  void WidthEditChange(const std::string& text);
  void HeightEditChange(const std::string& text);
  void WidthUpDownChanging(int16_t position) { SetNewWidth(position); }
  void HeightUpDownChanging(int16_t position) { SetNewHeight(position); }
  void ConstrainProportionsCheckBoxChange(bool checked);
  void OkButtonClick();
  void CancelButtonClick();

  int32_t NewWidth() const { return NewWidth_; }
  int32_t NewHeight() const { return NewHeight_; }
  bool ConstrainProportions() const { return ConstrainProportions_; }
  IWKResizeFrame* Frame() const { return Frame_; }

 private:
  TWKGraphicsDocument* CurrentDocument() const;
  void ShowValues();
  void Refuse(const TWKLanguageText& message) const;

  TFrameFactory FrameFactory_;
  IWKResizeFrame* Frame_ = nullptr;
  int32_t NewWidth_ = 0;
  int32_t NewHeight_ = 0;
  bool ConstrainProportions_ = false;
};

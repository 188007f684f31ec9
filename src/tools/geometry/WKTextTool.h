// The text tool: the memo's lines drawn in a chosen font, stretched into a box dragged on the
// image and blended into it in one colour or as the inverse of the picture. The box can be moved
// and resized with eight handles while every option change redraws the text in place; a click
// outside the box (or Enter) makes the text part of the image as one step, a right click (or Esc)
// removes it. The other tools are locked while the box exists.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/WKGuid.h"
#include "framework/WKLocalizer.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKGraphicsToolControl.h"
#include "tools/framework/WKToolFrame.h"
#include "tools/geometry/TextBlend.h"
#include "tools/geometry/WKTextRasterizer.h"

class TWKTextTool;

namespace TextNames {
inline constexpr std::string_view FontColorControl = "FontColor";
inline constexpr std::string_view ColorControl = "Color";
inline constexpr std::string_view MaxInverseControl = "MaxInverse";
inline constexpr std::string_view FontSizeControl = "FontSize";
inline constexpr std::string_view FontStyleControl = "FontBI";
inline constexpr std::string_view MemoControl = "Memo";

inline constexpr TWKLanguageText Title{2864, "Text"};
inline constexpr TWKLanguageText FontGroup{151, "Font"};
inline constexpr TWKLanguageText Size{154, "Size"};
inline constexpr TWKLanguageText ColorGroup{2012, "Color"};
inline constexpr TWKLanguageText Selected{2880, "Selected"};
inline constexpr TWKLanguageText Inverted{2881, "Inverted"};
inline constexpr TWKLanguageText MaxInverse{2882, "Maximum Contrast"};
// Caption and hint of the bold, italic, underline and strikeout buttons.
inline constexpr TWKLanguageText StyleCaptions[4] = {{2870, "B"}, {2872, "I"}, {2874, "U"}, {2876, "S"}};
inline constexpr TWKLanguageText StyleHints[4] = {
    {2871, "Bold"}, {2873, "Italic"}, {2875, "Underline"}, {2877, "Strikeout"}};

// The colour box's standard and extended colours (0x00BBGGRR), in list order, with their names.
struct TNamedColor {
  uint32_t Value;
  TWKLanguageText Name;
};
inline constexpr TNamedColor Colors[20] = {
    {0x000000, {2940, "Black"}},       {0x000080, {2941, "Maroon"}},   {0x008000, {2942, "Green"}},
    {0x008080, {2943, "Olive"}},       {0x800000, {2944, "Navy"}},     {0x800080, {2945, "Purple"}},
    {0x808000, {2946, "Teal"}},        {0x808080, {2947, "Gray"}},     {0xC0C0C0, {2948, "Silver"}},
    {0x0000FF, {2949, "Red"}},         {0x00FF00, {2950, "Lime"}},     {0x00FFFF, {2951, "Yellow"}},
    {0xFF0000, {2952, "Blue"}},        {0xFF00FF, {2953, "Fuchsia"}},  {0xFFFF00, {2954, "Aqua"}},
    {0xFFFFFF, {2955, "White"}},       {0xC0DCC0, {2956, "Money Green"}}, {0xF0CAA6, {2957, "Sky Blue"}},
    {0xF0FBFF, {2958, "Cream"}},       {0xA4A0A0, {2959, "Medium Gray"}}};
}  // namespace TextNames

// What the text tool asks of its option frame. Show… moves a control without it counting as
// the user's change.
class IWKTextFrame : public virtual IWKToolFrame {
 public:
  virtual void SetFontNames(const std::vector<std::string>& names) = 0;
  // Empty: no font is selected.
  virtual std::string SelectedFontName() const = 0;
  virtual void SelectFontName(const std::string& name) = 0;
  // Shown within 8..400.
  virtual void ShowFontSize(int32_t value) = 0;
  virtual void SetFontSizeStep(int32_t step) = 0;
  virtual void ShowFontStyle(int32_t style) = 0;
  virtual void ShowColorMode(int32_t mode) = 0;
  virtual void ShowSelectedColor(uint32_t color) = 0;
  virtual void ShowMaxInverse(bool value) = 0;
  virtual std::vector<std::string> MemoLines() const = 0;
  // Reports the change like the user's typing.
  virtual void SetMemoLines(const std::vector<std::string>& lines) = 0;
  // The captions from the language strings.
  virtual void LocalizeFrame() = 0;
  // Waits, keeping the user interface painted.
  virtual void Pause(int32_t milliseconds) {}
};

class TWKTextToolControl : public TWKGraphicsToolControl {
 public:
  enum : int32_t { bsIdle = 0, bsDrawing = 1, bsPresent = 2, bsDragging = 3 };

  TWKTextToolControl(TWKGraphicsTool& tool, TWKGraphicsView& view);

  int32_t BoxState = bsIdle;
  TRect TextBox;
  int32_t DragHandle = thNone;
  TTextEdges DragEdges;
  bool StartMirroredX = false, StartMirroredY = false;
  TRect StartBox;
  TPoint DragStart;

  void Activate() override;
  void Deactivate() override;
  void GetForegroundRect(const TWKMapMode& mapMode, TRect& rect) override;
  // The box's dotted frame and, while it rests, its eight handles.
  void PaintForeground(TWKViewCanvas& canvas) override;
  bool GetCursor(TWKShiftState shift, TPoint point, int32_t& cursor) override;
  bool MouseDown(int32_t button, TWKShiftState shift, TPoint point) override;
  bool MouseMove(TWKShiftState shift, TPoint point) override;
  bool MouseUp(int32_t button, TWKShiftState shift, TPoint point) override;
  bool KeyDown(uint16_t key, TWKShiftState shift) override;

  // The box on the view.
  TRect ScreenBox() const;
  int32_t HandleHitTest(TPoint point) const { return TextHandleHitTest(ScreenBox(), point); }

 private:
  TWKTextTool* TextTool() const;
  TRect ImageRect() const;
  void DragNewBox(TPoint image);
  void DragHandleTo(TPoint image);
};

class TWKTextTool : public TWKGraphicsTool {
 public:
  using TFrameFactory = std::function<IWKTextFrame*(TWKTextTool&)>;

  static constexpr TWKGUID kSettingsGuid = WKGuid("{663FE753-B6FB-4703-B7E5-6E8A8E0DD5E0}");
  static constexpr int32_t kPanelWidth = 272;
  static constexpr int32_t kMinFontSize = 8, kMaxFontSize = 400;
  // What a double click on the size label makes of the main window.
  static constexpr int32_t kQuickWindowWidth = 800, kQuickWindowHeight = 600;

  // What leaving the size edit puts in place of its text: the smallest size when the text holds
  // no whole number (empty, say); none when it does (its changes arrived as they were made).
  static std::optional<int32_t> FontSizeOnExit(std::string_view text);

  TWKTextTool(TWKComponent* owner, TFrameFactory frameFactory);
  ~TWKTextTool() override;

  TWKPixelBuffer TextMask;
  TWKPixelBuffer FittedMask;
  bool TextShown = false;
  TRect ShownRect;
  bool MirroredX = false, MirroredY = false;
  bool ColorBoxPending = true;

  int32_t FontSize() const { return FontSize_; }
  int32_t ColorMode() const { return Paint_.ColorMode; }
  uint32_t SelectedColor() const { return Paint_.Color; }
  bool MaxInverse() const { return Paint_.MaxInverse; }
  int32_t FontStyle() const { return FontStyle_; }
  IWKTextFrame* Frame() const { return Frame_; }
  // The control on the first view, which the tool works with.
  TWKTextToolControl* BoxControl() const;

  void SetFontSize(int32_t value);
  void SetFontStyle(int32_t value);
  void SetSelectedColor(uint32_t value);
  void SetColorMode(int32_t value);
  void SetMaxInverse(bool value);

  // The text at the font size into TextMask, then fitted and blended.
  void RenderText();
  void FitMaskToBox();
  // Puts back the picture under the last text, then blends the text into the current box.
  void BlendText();
  void RestoreBackground();
  // BlendText and the changed area repainted.
  void ApplyText();
  // The text becomes part of the image as one step, clipped to the image.
  void CommitText();
  void ResetBox();
  void SelectDefaultFont();
  void TypeDemoText();

  // The frame's handlers.
  void FontStyleButtonsClick(int32_t style);
  void FontColorClick(int32_t mode);
  void MaxInverseClick(bool checked);
  void SizeSpinEditChange(int32_t value);
  // The edit shows FontSizeOnExit (text), if any, reported as a change.
  void SizeSpinEditExit(std::string_view text);
  // The main window becomes 800 × 600 at its place.
  void SizeLabelDoubleClick();
  void TextMemoChange() { RenderText(); }

  void AfterConstruction() override;
  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void UpdateControls() override;
  void CancelEdit() override;
  void DocumentClosing(TWKGraphicsDocument& document) override;
  void RegisterDemoObjects() override;

 private:
  TWKTextFont CurrentFont() const;
  void UpdateUndoItems();

  TFrameFactory FrameFactory_;
  IWKTextFrame* Frame_ = nullptr;
  int32_t FontSize_ = 0;
  int32_t FontStyle_ = -1;
  TTextPaint Paint_{0, 0xFFFFFFFF, false};
};

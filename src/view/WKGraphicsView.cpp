#include "view/WKGraphicsView.h"

#include <cstring>

#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKImageView.h"
#include "documents/WKScriptRecorder.h"
#include "framework/WKApplication.h"
#include "imaging/WKParallel.h"
#include "view/WKScrollTool.h"

namespace {

TWKGraphicsView::TWindowFactory& WindowFactory() {
  static TWKGraphicsView::TWindowFactory factory;
  return factory;
}

// Lines scrolled by one wheel notch that no tool takes.
constexpr int32_t kWheelLines = 3;

// The first device coordinate at or after the document edge: ceil instead of floor, so that
// a changed area never maps to an empty device rectangle.
int32_t MapCeil(int32_t value, int32_t fromOrigin, int32_t fromExtent, int32_t toOrigin,
                int32_t toExtent) {
  if (fromExtent <= 0 || toExtent <= 0) return MapCoordinate(value, fromOrigin, fromExtent, toOrigin, toExtent);
  const int64_t product = (static_cast<int64_t>(value) - fromOrigin) * toExtent;
  int64_t q = product / fromExtent;
  if (product % fromExtent != 0 && product > 0) ++q;
  const int64_t result = q + toOrigin;
  return static_cast<int32_t>(std::clamp<int64_t>(result, INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- TWKGraphicDocumentView

TWKGraphicDocumentView::TWKGraphicDocumentView(TWKGraphicsDocument& document) : Document_(document) {
  TWKGraphicDocumentView::InitFlags();
  Bounds = document.ImageRect();
}

void TWKGraphicDocumentView::InitFlags() { Flags = vofVisible | vofBackground | vofPainted; }

void PaintImagePixels(const TWKPixels& image, const TWKMapMode& m, TWKPixels& target,
                      const TRect& clip, const TWKDisplayTransform* display) {
  if (image.Bits == nullptr || target.Bits == nullptr || target.PixelFormat != FormatBGR24) return;
  if (image.PixelFormat != FormatBGR24 && image.PixelFormat != FormatBGRA32) return;
  const TRect area = IntersectRect(clip, target.BoundsRect());
  if (area.IsEmpty() || image.Width < 1 || image.Height < 1) return;
  const int32_t bpp = image.BytesPerPixel;
  std::vector<int32_t> columns(static_cast<size_t>(area.Width()));
  for (int32_t x = area.Left; x < area.Right; ++x) {
    const int32_t doc = MapCoordinate(x, m.DevOrigin.X, m.DevExtent.X, m.DocOrigin.X, m.DocExtent.X);
    columns[static_cast<size_t>(x - area.Left)] = ClampInt(doc - image.Left, 0, image.Width - 1) * bpp;
  }
  const int64_t work = static_cast<int64_t>(area.Width()) * area.Height() * 3;
  ParallelRows(area.Height(), work, [&](int32_t, int32_t begin, int32_t end) {
    int32_t lastRow = INT32_MIN;
    const uint8_t* lastDest = nullptr;
    for (int32_t i = begin; i < end; ++i) {
      const int32_t y = area.Top + i;
      const int32_t doc = MapCoordinate(y, m.DevOrigin.Y, m.DevExtent.Y, m.DocOrigin.Y, m.DocExtent.Y);
      const int32_t row = ClampInt(doc - image.Top, 0, image.Height - 1);
      uint8_t* d = target.PixelAddress(area.Left, y);
      if (row == lastRow) {
        std::memcpy(d, lastDest, static_cast<size_t>(area.Width()) * 3);
        continue;
      }
      const uint8_t* s = image.Bits + static_cast<ptrdiff_t>(row) * image.RowBytes;
      for (const int32_t offset : columns) {
        const uint8_t* p = s + offset;
        d[0] = p[0];
        d[1] = p[1];
        d[2] = p[2];
        d += 3;
      }
      if (display != nullptr) display->Convert(target.PixelAddress(area.Left, y), area.Width());
      lastRow = row;
      lastDest = target.PixelAddress(area.Left, y);
    }
  });
}

const TWKDisplayTransform* TWKGraphicDocumentView::DisplayTransform() {
  const std::shared_ptr<const TColorProfileBytes> monitor = MonitorColorProfile();
  Display_.Prepare(Document_.Metadata.Embedded.IccProfile, *monitor);
  return Display_.Identity() ? nullptr : &Display_;
}

void TWKGraphicDocumentView::PaintBackground(TWKViewCanvas& canvas) {
  const TRect device = canvas.MapMode.DocToDevRect(Document_.ImageRect());
  if (const TWKPixels* image = Document_.CurrentPixels()) {
    const TWKDisplayTransform* display = DisplayTransform();
    TWKPixels target = canvas.Pixels();
    for (const TRect& r : canvas.ClipRegion().Rects())
      PaintImagePixels(*image, canvas.MapMode, target, IntersectRect(r, device), display);
  }
  canvas.ExcludeClipRect(device);
}

// ---- TWKGraphicsView

void TWKGraphicsView::SetWindowFactory(TWindowFactory factory) { WindowFactory() = std::move(factory); }

bool TWKGraphicsView::HasWindowFactory() { return static_cast<bool>(WindowFactory()); }

TWKGraphicsView::TWKGraphicsView(TWKGraphicsDocument& document) : Document_(document) {
  auto object = std::make_unique<TWKGraphicDocumentView>(document);
  object->SetVisible(false);
  DocumentView_ = object.get();
  Objects().Insert(0, std::move(object));
  document.AddObserver(this);
  if (WindowFactory()) SetWindow(WindowFactory()(*this));
}

TWKGraphicsView::~TWKGraphicsView() { Document_.RemoveObserver(this); }

void InstallGraphicsViews() {
  SetViewMakers({[](TWKGraphicsDocument& document) -> std::unique_ptr<TWKDocumentView> {
                   return std::make_unique<TWKGraphicsView>(document);
                 },
                 [](TWKGraphicsEditor& editor) -> TWKComponent* {
                   TWKApplication* app = Application();
                   return app ? app->CreateModule<TWKScrollTool>(editor) : nullptr;
                 }});
}

void TWKGraphicsView::InvalidateImageRect(const TRect& rect) {
  if (rect.IsEmpty()) return;
  const TWKMapMode& m = MapMode();
  InvalidateRect({MapCoordinate(rect.Left, m.DocOrigin.X, m.DocExtent.X, m.DevOrigin.X, m.DevExtent.X),
                  MapCoordinate(rect.Top, m.DocOrigin.Y, m.DocExtent.Y, m.DevOrigin.Y, m.DevExtent.Y),
                  MapCeil(rect.Right, m.DocOrigin.X, m.DocExtent.X, m.DevOrigin.X, m.DevExtent.X),
                  MapCeil(rect.Bottom, m.DocOrigin.Y, m.DocExtent.Y, m.DevOrigin.Y, m.DevExtent.Y)});
}

void TWKGraphicsView::SetImageBounds(const TRect& bounds) {
  if (DocumentView_) DocumentView_->SetBounds(bounds);
}

void TWKGraphicsView::ShowImageLayer() {
  if (DocumentView_) DocumentView_->SetVisible(true);
}

void TWKGraphicsView::UpdateScrollRange() { TWKScrollViewControl::UpdateScrollRange(); }

TSize TWKGraphicsView::WindowSize() const { return Window() ? Window()->OuterSize() : TSize{}; }

bool TWKGraphicsView::WheelAtScreen(TWKShiftState shift, int32_t direction, TPoint screenPoint) {
  if (Window() == nullptr) return false;
  const TPoint p = Window()->ScreenToClient(screenPoint);
  const TSize client = Window()->ClientSize();
  if (!Rect(0, 0, client.Width, client.Height).Contains(p)) return false;
  return MouseWheel(shift, direction, p);
}

bool TWKGraphicsView::ImageToScreen(TPoint imagePoint, TPoint& screenPoint) const {
  if (Window() == nullptr) return false;
  screenPoint = Window()->ClientToScreen(MapMode().DocToDev(imagePoint));
  return true;
}

void TWKGraphicsView::DocumentLoaded(TWKDocument&) {
  if (DocumentView_) DocumentView_->SetBounds(Document_.ImageRect());
  UpdateScrollRange();
}

void TWKGraphicsView::SetZoom(int32_t numerator, int32_t denominator) {
  if (numerator < 1 || denominator < 1) return;
  const TSize client = ClientSize();
  const TPoint centre = MapMode().DocFromDev({client.Width / 2, client.Height / 2});
  MapMode().DevExtent = {numerator, numerator};
  MapMode().DocExtent = {denominator, denominator};
  CenterOn(centre);
  if (IWKViewWindow* window = Window()) window->RepeatMouseMove();
  RefreshCursor();
}

int32_t TWKGraphicsView::CompareZoom(int32_t numerator, int32_t denominator) const {
  const int32_t a = MulDiv(1000, numerator, denominator);
  const int32_t b = MulDiv(1000, ZoomNumerator(), ZoomDenominator());
  return a < b ? -1 : (a > b ? 1 : 0);
}

void TWKGraphicsView::RefreshCursor() {
  if (IWKViewWindow* window = Window()) window->RefreshCursor();
}

bool TWKGraphicsView::InsideImage(TPoint p) const { return Document_.ImageRect().Contains(p); }

TBGRPixel TWKGraphicsView::PixelAt(TPoint p) const {
  const TWKPixels* pixels = Document_.CurrentPixels();
  if (pixels == nullptr || !pixels->BoundsRect().Contains(p)) return {};
  return *pixels->Pixel(p.X, p.Y);
}

std::vector<IWKViewInputHandler*> TWKGraphicsView::ToolControls() const {
  std::vector<IWKViewInputHandler*> controls;
  for (int32_t i = 0; i < Objects().Count(); ++i)
    if (auto* control = dynamic_cast<IWKViewInputHandler*>(Objects().Items(i)))
      controls.push_back(control);
  return controls;
}

// Topmost first; a control may change the list while it handles the event.
template <class F>
bool TWKGraphicsView::Offer(F&& f) const {
  const std::vector<IWKViewInputHandler*> controls = ToolControls();
  for (auto it = controls.rbegin(); it != controls.rend(); ++it)
    if (f(**it)) return true;
  return false;
}

void TWKGraphicsView::RecordMouse(const char* prefix, TPoint p) {
  TWKGraphicsEditor* editor = Document_.GraphicsEditor();
  IWKScriptRecorder* recorder = editor ? editor->Recorder() : nullptr;
  if (recorder == nullptr) return;
  recorder->AddLine(std::string(prefix) + std::to_string(p.X) + ", " + std::to_string(p.Y));
}

void TWKGraphicsView::MouseDown(int32_t button, TWKShiftState shift, TPoint point) {
  TWKGraphicsEditor* editor = Document_.GraphicsEditor();
  if (IWKScriptRecorder* recorder = editor ? editor->Recorder() : nullptr) {
    const TPoint p = MapMode().DocFromDev(point);
    LastRecorded_ = p;
    RecordMouse(ButtonDown_ ? "MouseMove Image, " : "MouseCurvedMove Image, ", p);
    if (recorder->ShowsMessages()) recorder->AddLine(MessageLine(recorder->CurrentMessage()));
    RecordMouse(button == mbRight ? "MouseRightDown Image, " : "MouseDown Image, ", p);
    ButtonDown_ = true;
  }
  Offer([&](IWKViewInputHandler& c) { return c.MouseDown(button, shift, point); });
}

void TWKGraphicsView::MouseMove(TWKShiftState shift, TPoint point) {
  TWKGraphicsEditor* editor = Document_.GraphicsEditor();
  if (editor && editor->Recorder() && ButtonDown_) {
    const TPoint p = MapMode().DocFromDev(point);
    if (p != LastRecorded_) {
      RecordMouse("MouseTo Image, ", p);
      LastRecorded_ = p;
    }
  }
  if (!MouseInside_) MouseEnter();
  ShowReadouts(point);
  Offer([&](IWKViewInputHandler& c) { return c.MouseMove(shift, point); });
}

void TWKGraphicsView::MouseUp(int32_t button, TWKShiftState shift, TPoint point) {
  TWKGraphicsEditor* editor = Document_.GraphicsEditor();
  if (IWKScriptRecorder* recorder = editor ? editor->Recorder() : nullptr) {
    RecordMouse(button == mbRight ? "MouseRightUp Image, " : "MouseUp Image, ",
                MapMode().DocFromDev(point));
    ButtonDown_ = false;
    recorder->AddLine("Pause 0.5");
  }
  Offer([&](IWKViewInputHandler& c) { return c.MouseUp(button, shift, point); });
}

bool TWKGraphicsView::KeyDown(uint16_t key, TWKShiftState shift) {
  return Offer([&](IWKViewInputHandler& c) { return c.KeyDown(key, shift); });
}

bool TWKGraphicsView::KeyUp(uint16_t key, TWKShiftState shift) {
  return Offer([&](IWKViewInputHandler& c) { return c.KeyUp(key, shift); });
}

bool TWKGraphicsView::MouseWheel(TWKShiftState shift, int32_t direction, TPoint point) {
  if (Offer([&](IWKViewInputHandler& c) { return c.MouseWheel(shift, direction, point); }))
    return true;
  // Wheel up shows what lies above: the content moves down.
  int32_t d = direction * kWheelLines * LineStep;
  int32_t dx = (shift & ssShift) ? d : 0, dy = (shift & ssShift) ? 0 : d;
  ClampScroll(dx, dy);
  if (dx != 0 || dy != 0) ScrollBy(dx, dy);
  return true;
}

int32_t TWKGraphicsView::GetCursor(TWKShiftState shift, TPoint point) {
  int32_t cursor = crDefaultArrow;
  Offer([&](IWKViewInputHandler& c) { return c.GetCursor(shift, point, cursor); });
  return cursor;
}

void TWKGraphicsView::MouseEnter() {
  MouseInside_ = true;
  for (IWKViewInputHandler* control : ToolControls()) control->MouseEnter();
  if (IWKViewWindow* window = Window()) {
    window->TrackMouseLeave();
    if (window->MainWindowForeground() && !window->Focused()) window->SetFocus();
  }
}

void TWKGraphicsView::MouseLeave() {
  MouseInside_ = false;
  for (IWKViewInputHandler* control : ToolControls()) control->MouseLeave();
}

bool TWKGraphicsView::WantsKey(uint16_t key) {
  switch (key) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_RETURN: case VK_ESCAPE: case 3: case 43:
      return true;
    default:
      return false;
  }
}

void TWKGraphicsView::ShowReadouts(TPoint point) {
  TWKGraphicsEditor* editor = Document_.GraphicsEditor();
  if (editor == nullptr) return;
  const TPoint p = MapMode().DocFromDev(point);
  editor->ShowPosition(p, PixelAt(p));
}

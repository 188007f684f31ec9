#include "view/WKViewControl.h"

TWKViewControl::TWKViewControl() : Canvas_(std::make_unique<TWKViewCanvas>()) {}

// The objects go before the window: a tool control may still reach the view while it is freed.
TWKViewControl::~TWKViewControl() {
  Objects_.Clear();
  Window_.reset();
}

void TWKViewControl::SetCanvas(std::unique_ptr<TWKViewCanvas> canvas) {
  if (!canvas) return;
  canvas->MapMode = Canvas_->MapMode;
  Canvas_ = std::move(canvas);
}

void TWKViewControl::SetWindow(std::unique_ptr<IWKViewWindow> window) { Window_ = std::move(window); }

TSize TWKViewControl::ClientSize() const { return Window_ ? Window_->ClientSize() : TSize{}; }

bool TWKViewControl::Paint(IWKPaintWindow& window) { return Canvas_->PaintLayered(window, Objects_); }

void TWKViewControl::InvalidateRect(const TRect& rect) {
  if (Window_ && !rect.IsEmpty()) Window_->Invalidate(&rect);
}

void TWKViewControl::InvalidateAll() {
  if (Window_) Window_->Invalidate(nullptr);
}

void TWKScrollViewControl::GetContentRect(TRect& rect) {
  rect = TRect{};
  const TWKViewObjectList& objects = Objects();
  for (int32_t i = 0; i < objects.Count(); ++i) {
    TWKViewObject* object = objects.Items(i);
    if (!object->Visible() || (object->Flags & vofToolOverlay) != 0) continue;
    TRect r;
    object->GetUpdateRect(MapMode(), r);
    rect = UnionRect(rect, r);
  }
}

namespace {

// The shift that centres content falling short of the view, or keeps it within [-excess, 0].
int32_t WantedShift(int32_t origin, int32_t excess) {
  const int32_t wanted = excess < 0 ? -excess / 2 : ClampInt(origin, -excess, 0);
  return wanted - origin;
}

}  // namespace

void TWKScrollViewControl::GetScrollInfo(int32_t& dx, int32_t& dy, int32_t& excessHeight,
                                         int32_t& excessWidth) {
  TRect content;
  GetContentRect(content);
  IWKViewWindow* window = Window();
  const TSize outer = window ? window->OuterSize() : TSize{};
  const int32_t barWidth = window ? window->VerticalScrollBarWidth() : 0;
  const int32_t barHeight = window ? window->HorizontalScrollBarHeight() : 0;
  excessWidth = content.Width() - outer.Width;
  excessHeight = content.Height() - outer.Height;
  if (excessHeight > 0) {
    excessWidth += barWidth;
    if (excessWidth > 0) excessHeight += barHeight;
  } else if (excessWidth > 0) {
    excessHeight += barHeight;
    if (excessHeight > 0) excessWidth += barWidth;
  }
  dx = WantedShift(MapMode().DevOrigin.X, excessWidth);
  dy = WantedShift(MapMode().DevOrigin.Y, excessHeight);
}

void TWKScrollViewControl::SetScrollBars(int32_t excessWidth, int32_t excessHeight) {
  IWKViewWindow* window = Window();
  if (window == nullptr || !window->Exists()) return;
  const TSize outer = window->OuterSize();
  if (outer.Width < 1 || outer.Height < 1) return;
  TWKScrollBarInfo h;
  h.Max = outer.Width + excessWidth - 1;
  h.Page = outer.Width;
  h.Position = h.TrackPosition = -MapMode().DevOrigin.X;
  window->SetScrollBar(true, h, true);
  TWKScrollBarInfo v;
  v.Max = outer.Height + excessHeight - 1;
  v.Page = outer.Height;
  v.Position = v.TrackPosition = -MapMode().DevOrigin.Y;
  window->SetScrollBar(false, v, true);
}

void TWKScrollViewControl::UpdateScrollRange() {
  int32_t dx = 0, dy = 0, excessHeight = 0, excessWidth = 0;
  GetScrollInfo(dx, dy, excessHeight, excessWidth);
  if (dx != 0 || dy != 0) OffsetOrigin(dx, dy);
  SetScrollBars(excessWidth, excessHeight);
  InvalidateAll();
}

void TWKScrollViewControl::Resized() {
  int32_t dx = 0, dy = 0, excessHeight = 0, excessWidth = 0;
  GetScrollInfo(dx, dy, excessHeight, excessWidth);
  if (dx != 0 || dy != 0) ScrollContent(dx, dy);
  SetScrollBars(excessWidth, excessHeight);
}

void TWKScrollViewControl::OffsetOrigin(int32_t dx, int32_t dy) {
  MapMode().DevOrigin.X += dx;
  MapMode().DevOrigin.Y += dy;
}

void TWKScrollViewControl::ScrollContent(int32_t dx, int32_t dy) {
  OffsetOrigin(dx, dy);
  if (IWKViewWindow* window = Window()) {
    window->ScrollPixels(dx, dy);
    window->Update();
  }
}

void TWKScrollViewControl::CenterOn(TPoint docPoint) {
  const TPoint p = MapMode().DocToDev(docPoint);
  const TSize client = ClientSize();
  OffsetOrigin(client.Width / 2 - p.X, client.Height / 2 - p.Y);
  int32_t dx = 0, dy = 0, excessHeight = 0, excessWidth = 0;
  GetScrollInfo(dx, dy, excessHeight, excessWidth);
  OffsetOrigin(dx, dy);
  SetScrollBars(excessWidth, excessHeight);
  InvalidateAll();
}

void TWKScrollViewControl::ClampScroll(int32_t& dx, int32_t& dy) {
  int32_t sx = 0, sy = 0, excessHeight = 0, excessWidth = 0;
  GetScrollInfo(sx, sy, excessHeight, excessWidth);
  auto clamp = [](int32_t& d, int32_t origin, int32_t excess) {
    if (excess <= 0) {
      d = 0;
    } else if (d < 0) {
      d = std::max(d, -excess - origin);
    } else if (d > 0) {
      d = std::min(d, -origin);
    }
  };
  clamp(dx, MapMode().DevOrigin.X, excessWidth);
  clamp(dy, MapMode().DevOrigin.Y, excessHeight);
}

void TWKScrollViewControl::ScrollBy(int32_t dx, int32_t dy) {
  ScrollContent(dx, dy);
  int32_t sx = 0, sy = 0, excessHeight = 0, excessWidth = 0;
  GetScrollInfo(sx, sy, excessHeight, excessWidth);
  SetScrollBars(excessWidth, excessHeight);
}

void TWKScrollViewControl::ScrollBarMessage(bool horizontal, TWKScrollCode code) {
  IWKViewWindow* window = Window();
  if (window == nullptr || InScrollMessage_) return;
  InScrollMessage_ = true;
  TWKScrollBarInfo bar = window->GetScrollBar(horizontal);
  int32_t a = 0;
  switch (code) {
    case TWKScrollCode::LineUp: a = -LineStep; break;
    case TWKScrollCode::LineDown: a = LineStep; break;
    case TWKScrollCode::PageUp: a = -MulDiv(bar.Page, 3, 4); break;
    case TWKScrollCode::PageDown: a = MulDiv(bar.Page, 3, 4); break;
    case TWKScrollCode::ThumbTrack: a = bar.TrackPosition - bar.Position; break;
    default: break;
  }
  const int32_t last = std::max(bar.Min, bar.Max - bar.Page + 1);
  if (a != 0) a = ClampInt(bar.Position + a, bar.Min, last) - bar.Position;
  // Content narrower than the control has no range to scroll in.
  if (bar.Max - bar.Min + 1 <= bar.Page) a = 0;
  if (a != 0) {
    bar.Position += a;
    bar.TrackPosition = bar.Position;
    window->SetScrollBar(horizontal, bar, code != TWKScrollCode::ThumbTrack);
    if (horizontal)
      ScrollContent(-a, 0);
    else
      ScrollContent(0, -a);
  }
  InScrollMessage_ = false;
}

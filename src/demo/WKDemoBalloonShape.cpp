#include "demo/WKDemoBalloonShape.h"

namespace {

int32_t ChooseStyle(TPoint tip, TSize screen) {
  int32_t style = tip.X > screen.Width / 2 ? 4 : 3;
  if (tip.Y <= screen.Height / 2) style -= 2;
  return style;
}

}  // namespace

TWKBalloonShape BalloonShape(TPoint tip, int32_t style, TSize text, TSize screen) {
  TWKBalloonShape s;
  s.Style = style >= 1 && style <= 4 ? style : ChooseStyle(tip, screen);
  const int32_t w = text.Width + 16;
  const int32_t h = text.Height + 16;
  switch (s.Style) {
    case 1: s.Tail = {TPoint{16, 0}, TPoint{32, 0}, TPoint{16, -16}}; break;
    case 2: s.Tail = {TPoint{w - 16, 0}, TPoint{w - 32, 0}, TPoint{w - 16, -16}}; break;
    case 3: s.Tail = {TPoint{15, h - 1}, TPoint{31, h - 1}, TPoint{15, h + 15}}; break;
    default: s.Tail = {TPoint{w - 17, h - 1}, TPoint{w - 33, h - 1}, TPoint{w - 17, h + 15}}; break;
  }
  const bool tailOnTop = s.Style <= 2;
  s.Body = Bounds(0, 0, w, h);
  s.Text = Bounds(12, tailOnTop ? 24 : 8, text.Width, text.Height);
  if (tailOnTop) {
    // The shape moves down so that the tip lies on the window's top edge.
    s.Body = OffsetRect(s.Body, 0, 16);
    for (TPoint& p : s.Tail) p.Y += 16;
  }
  const TPoint t = s.Tail[2];
  s.Window = Bounds(tip.X - t.X, tip.Y - t.Y, w, h + 16);
  return s;
}

#include "demo/qt/WKBalloon.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QToolTip>

#include "framework/qt/QtText.h"

namespace {

QPoint ToQPoint(TPoint p) { return QPoint(p.X, p.Y); }
QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

}  // namespace

TWKBalloon::TWKBalloon(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::BlankCursor);
  setFont(QToolTip::font());
  setPalette(QToolTip::palette());
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::ToolTipBase);
}

// The body with 16 x 16 corner ellipses and the tail, as one shape.
QPainterPath TWKBalloon::Outline() const {
  QPainterPath body;
  body.addRoundedRect(QRectF(ToQRect(Shape_.Body)), 8, 8);
  QPainterPath tail;
  tail.moveTo(ToQPoint(Shape_.Tail[0]));
  tail.lineTo(ToQPoint(Shape_.Tail[2]));
  tail.lineTo(ToQPoint(Shape_.Tail[1]));
  tail.closeSubpath();
  return body.united(tail);
}

void TWKBalloon::ShowAt(int32_t x, int32_t y, int32_t style, const std::string& text) {
  Text_ = ToQString(text);
  const QRect measured = fontMetrics().boundingRect(QRect(0, 0, kMaxTextWidth, 1 << 20),
                                                    Qt::TextWordWrap, Text_);
  const QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
  Shape_ = BalloonShape(TPoint{x - area.left(), y - area.top()}, style,
                        TSize{measured.width(), measured.height()},
                        TSize{area.width(), area.height()});
  Shape_.Window = OffsetRect(Shape_.Window, area.left(), area.top());
  setGeometry(ToQRect(Shape_.Window));

  QBitmap mask(size());
  mask.fill(Qt::color0);
  QPainter painter(&mask);
  painter.setPen(Qt::color1);
  painter.setBrush(Qt::color1);
  painter.drawPath(Outline());
  painter.end();
  setMask(mask);
  // The line along the inside of the shape: its pixels that have a neighbour outside it.
  const QRegion region(mask);
  const QRegion inner = region.intersected(region.translated(1, 0)).intersected(region.translated(-1, 0))
                            .intersected(region.translated(0, 1)).intersected(region.translated(0, -1));
  Border_ = region.subtracted(inner);
  show();
  raise();
  update();
}

void TWKBalloon::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor text = palette().color(QPalette::ToolTipText);
  painter.setClipRegion(Border_);
  painter.fillRect(rect(), text);
  painter.setClipping(false);
  painter.setPen(text);
  painter.drawText(ToQRect(Shape_.Text), Qt::TextWordWrap, Text_);
}

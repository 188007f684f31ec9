#include "framework/qt/WKCursors.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "framework/WKProgramCursors.h"

namespace {

struct TDrawnCursor {
  QImage Image;
  QPoint HotSpot;
};

QHash<int32_t, QCursor>& Cursors() {
  static QHash<int32_t, QCursor> cursors;
  return cursors;
}

// Black strokes with a white rim, so the cursor shows on dark and light pixels alike.
void Outlined(QPainter& p, const QPainterPath& path, qreal width = 1.6) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, width + 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
}

QPainterPath Crosshair(QPointF c, qreal arm) {
  QPainterPath path;
  path.moveTo(c.x() - arm, c.y());
  path.lineTo(c.x() - 2, c.y());
  path.moveTo(c.x() + 2, c.y());
  path.lineTo(c.x() + arm, c.y());
  path.moveTo(c.x(), c.y() - arm);
  path.lineTo(c.x(), c.y() - 2);
  path.moveTo(c.x(), c.y() + 2);
  path.lineTo(c.x(), c.y() + arm);
  return path;
}

// A paint bucket at the lower right of a crosshair; its content says what a click fills.
enum class TFillMark { Full, Empty, Object, Background, Unknown, None };

void DrawBucket(QPainter& p, TFillMark mark) {
  QPainterPath bucket;
  bucket.moveTo(15, 17);
  bucket.lineTo(22, 10);
  bucket.lineTo(30, 18);
  bucket.lineTo(23, 25);
  bucket.closeSubpath();
  p.setPen(QPen(Qt::black, 1.4));
  p.setBrush(mark == TFillMark::Full ? QColor(40, 40, 40) : QColor(Qt::white));
  p.drawPath(bucket);
  p.setBrush(Qt::NoBrush);
  switch (mark) {
    case TFillMark::Object:
      p.setBrush(QColor(200, 40, 40));
      p.drawEllipse(QPointF(22.5, 17.5), 2.6, 2.6);
      break;
    case TFillMark::Background:
      p.setPen(QPen(QColor(40, 90, 200), 1.4));
      p.drawLine(QPointF(19, 17), QPointF(26, 17));
      p.drawLine(QPointF(19, 20), QPointF(24, 20));
      break;
    case TFillMark::Unknown:
      p.setPen(QPen(Qt::black, 1.4));
      p.drawText(QRectF(18, 11, 10, 12), Qt::AlignCenter, QStringLiteral("?"));
      break;
    default:
      break;
  }
}

// Each drawer paints its cursor and returns its hot spot.
QPoint DrawEyedropper(QPainter& p) {
  // The tip at the lower left picks the colour.
  QPainterPath pipette;
  pipette.moveTo(2, 29);
  pipette.lineTo(5, 26);
  pipette.lineTo(18, 13);
  pipette.lineTo(21, 16);
  pipette.lineTo(8, 29);
  pipette.closeSubpath();
  Outlined(p, pipette, 1.3);
  p.setPen(QPen(Qt::black, 1.2));
  p.setBrush(QColor(60, 60, 60));
  p.drawEllipse(QPointF(23, 9), 5.0, 5.0);
  p.drawLine(QPointF(16, 11), QPointF(23, 18));
  return {2, 29};
}

QPoint DrawPlusMinus(QPainter& p, bool plus) {
  Outlined(p, Crosshair(QPointF(8, 8), 7));
  QPainterPath sign;
  sign.moveTo(18, 22);
  sign.lineTo(28, 22);
  if (plus) {
    sign.moveTo(23, 17);
    sign.lineTo(23, 27);
  }
  Outlined(p, sign, 2.2);
  return {8, 8};
}

QPoint DrawFill(QPainter& p, int32_t number) {
  Outlined(p, Crosshair(QPointF(8, 8), 7));
  static constexpr TFillMark Marks[] = {TFillMark::Full, TFillMark::Empty, TFillMark::Object,
                                        TFillMark::Background, TFillMark::Unknown};
  DrawBucket(p, Marks[number - crFill]);
  return {8, 8};
}

// An arrow with a small badge for what lies under it.
QPoint DrawArrow(QPainter& p, int32_t number) {
  QPainterPath arrow;
  arrow.moveTo(1, 1);
  arrow.lineTo(1, 19);
  arrow.lineTo(6, 14);
  arrow.lineTo(10, 22);
  arrow.lineTo(13, 21);
  arrow.lineTo(9, 13);
  arrow.lineTo(15, 13);
  arrow.closeSubpath();
  p.setPen(QPen(Qt::black, 1.0));
  p.setBrush(Qt::white);
  p.drawPath(arrow);
  const QRectF badge(17, 17, 12, 12);
  p.setPen(QPen(Qt::black, 1.2));
  if (number == crEmpty) p.setBrush(Qt::white);
  if (number == crObject) p.setBrush(QColor(200, 40, 40));
  if (number == crBG) p.setBrush(QColor(40, 90, 200));
  if (number == crUnknown) p.setBrush(QColor(230, 230, 230));
  p.drawRect(badge);
  if (number == crUnknown) p.drawText(badge, Qt::AlignCenter, QStringLiteral("?"));
  return {1, 1};
}

// An open hand: palm and four fingers, thumb to the left.
QPoint DrawHand(QPainter& p) {
  QPainterPath hand;
  hand.addRoundedRect(QRectF(9, 14, 15, 13), 5, 5);
  for (int i = 0; i < 4; ++i) hand.addRoundedRect(QRectF(9.5 + i * 3.8, 5 + (i == 0 || i == 3 ? 2 : 0), 3.4, 12), 1.7, 1.7);
  hand.addRoundedRect(QRectF(4, 15, 8, 3.6), 1.8, 1.8);
  hand.setFillRule(Qt::WindingFill);
  p.setPen(QPen(Qt::black, 1.2));
  p.setBrush(Qt::white);
  p.drawPath(hand.simplified());
  return {16, 16};
}

QPoint DrawCursor(QPainter& p, int32_t number) {
  switch (number) {
    case crEyedropper: return DrawEyedropper(p);
    case crPlus: return DrawPlusMinus(p, true);
    case crMinus: return DrawPlusMinus(p, false);
    case crFill:
    case crFillEmpty:
    case crFillObject:
    case crFillBG:
    case crFillUnknown: return DrawFill(p, number);
    case crEmpty:
    case crObject:
    case crBG:
    case crUnknown: return DrawArrow(p, number);
    case crHandCursor: return DrawHand(p);
    default: return {-1, -1};
  }
}

TDrawnCursor Draw(int32_t number) {
  QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QPoint hot = DrawCursor(p, number);
  if (hot.x() < 0) return {};
  return {image, hot};
}

}  // namespace

QImage ProgramCursorImage(int32_t number) { return Draw(number).Image; }

void LoadProgramCursors() {
  for (int32_t n : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, static_cast<int>(crHandCursor)}) {
    if (Cursors().contains(n)) continue;
    const TDrawnCursor c = Draw(n);
    if (!c.Image.isNull()) Cursors().insert(n, QCursor(QPixmap::fromImage(c.Image), c.HotSpot.x(), c.HotSpot.y()));
  }
}

bool HasProgramCursor(int32_t number) { return Cursors().contains(number); }

QCursor ProgramCursor(int32_t number) {
  if (auto it = Cursors().constFind(number); it != Cursors().constEnd()) return *it;
  switch (number) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crHourGlass: return QCursor(Qt::WaitCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case -9: return QCursor(Qt::UpArrowCursor);
    case -12: return QCursor(Qt::DragMoveCursor);
    case -13: return QCursor(Qt::ForbiddenCursor);
    case -21: return QCursor(Qt::PointingHandCursor);
    default: return QCursor(Qt::ArrowCursor);
  }
}

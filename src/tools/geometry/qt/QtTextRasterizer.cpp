#include "tools/geometry/qt/QtTextRasterizer.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace {

// Points at the 96 dots per inch the masks are laid out for.
QFont MakeFont(const TWKTextFont& font) {
  QFont f(QString::fromStdString(font.Face));
  f.setPixelSize(std::max(1, (font.Size * 96 + 36) / 72));
  f.setBold((font.Style & 1) != 0);
  f.setItalic((font.Style & 2) != 0);
  f.setUnderline((font.Style & 4) != 0);
  f.setStrikeOut((font.Style & 8) != 0);
  return f;
}

// Copies the drawing's rows into the mask with blue first.
bool CopyToMask(const QImage& image, TWKPixelBuffer& mask) {
  if (!mask.Allocate(FormatBGR24, Rect(0, 0, image.width(), image.height()), TPixelFill::Any)) return false;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* s = image.constScanLine(y);
    uint8_t* d = mask.PixelAddress(0, y);
    for (int x = 0; x < image.width(); ++x, s += 3, d += 3) {
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
    }
  }
  return true;
}

}  // namespace

std::vector<std::string> TQtTextRasterizer::FontNames() {
  std::vector<std::string> names;
  for (const QString& family : QFontDatabase::families()) names.push_back(family.toStdString());
  return names;
}

bool TQtTextRasterizer::Render(const TWKTextFont& font, const std::vector<std::string>& lines, TWKPixelBuffer& mask) {
  const QFont f = MakeFont(font);
  const QFontMetrics metrics(f);
  const int lineHeight = metrics.boundingRect(QStringLiteral("Wy")).height();
  std::vector<QString> texts;
  for (const std::string& line : lines) texts.push_back(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
  const auto last = std::find_if(texts.rbegin(), texts.rend(), [](const QString& t) { return !t.isEmpty(); });
  const int count = static_cast<int>(texts.rend() - last);
  int width = 0;
  for (int i = 0; i < count; ++i) width = std::max(width, metrics.horizontalAdvance(texts[static_cast<size_t>(i)]));
  const int64_t height = int64_t{count} * lineHeight;
  if (count == 0 || width < 1 || height < 1) {
    mask.Clear();
    return true;
  }
  if (int64_t{width} * height > kMaxPixels) return false;
  QImage image(width, static_cast<int>(height), QImage::Format_RGB888);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setFont(f);
  painter.setPen(Qt::white);
  for (int i = 0; i < count; ++i)
    painter.drawText(QRect(0, i * lineHeight, width, lineHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     texts[static_cast<size_t>(i)]);
  painter.end();
  return CopyToMask(image, mask);
}

#include "framework/qt/WKImageList.h"

#include <QDir>
#include <QPainter>
#include <QSvgRenderer>

namespace {
TWKImageList* gProgramImages = nullptr;
}

TWKImageList* ProgramImageList() { return gProgramImages; }

void SetProgramImageList(TWKImageList* images) { gProgramImages = images; }

QImage TWKImageList::Fit(const QImage& image) const {
  if (image.isNull()) return {};
  QImage fitted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  if (fitted.width() != Size_ || fitted.height() != Size_)
    fitted = fitted.scaled(Size_, Size_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  return fitted;
}

int TWKImageList::Add(const QImage& image) {
  Images_.push_back(Fit(image));
  Disabled_.resize(Images_.size());
  return Count() - 1;
}

void TWKImageList::Put(int index, const QImage& image) {
  if (index < 0) return;
  if (index >= Count()) {
    Images_.resize(index + 1);
    Disabled_.resize(index + 1);
  }
  Images_[index] = Fit(image);
}

void TWKImageList::AddDisabled(int index, const QImage& image) {
  if (index < 0 || index >= Count()) return;
  Disabled_[index] = Fit(image);
}

QImage TWKImageList::Image(int index) const {
  return index >= 0 && index < Count() ? Images_[index] : QImage();
}

QIcon TWKImageList::Icon(int index) const {
  const QImage image = Image(index);
  if (image.isNull()) return {};
  QIcon icon(QPixmap::fromImage(image));
  if (!Disabled_[index].isNull())
    icon.addPixmap(QPixmap::fromImage(Disabled_[index]), QIcon::Disabled);
  return icon;
}

QImage TWKImageList::RenderSvg(const QString& fileName) const {
  QSvgRenderer renderer(fileName);
  if (!renderer.isValid()) return {};
  QImage image(Size_, Size_, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  return image;
}

int TWKImageList::LoadSvgFolder(const QString& folder) {
  int loaded = 0;
  const QDir dir(folder);
  for (const QString& name : dir.entryList({"*.svg"}, QDir::Files, QDir::Name)) {
    bool ok = false;
    const int index = name.section('-', 0, 0).toInt(&ok);
    if (!ok || index < 0 || index > 4096) continue;
    const QImage image = RenderSvg(dir.filePath(name));
    if (image.isNull()) continue;
    Put(index, image);
    ++loaded;
  }
  return loaded;
}

// A list of equally sized images for tool-bar buttons and menu items, with an optional separate
// list of disabled images.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <QVector>

class TWKImageList {
 public:
  explicit TWKImageList(int size = 24) : Size_(size) {}

  int Size() const { return Size_; }
  int Count() const { return static_cast<int>(Images_.size()); }
  // Appends an image scaled to the list's size; returns its index.
  int Add(const QImage& image);
  // Puts an image at an index, growing the list with empty images.
  void Put(int index, const QImage& image);
  void AddDisabled(int index, const QImage& image);
  // The icon for an index (with its disabled form when one was given); null when out of range.
  QIcon Icon(int index) const;
  QImage Image(int index) const;

  // Fills the list from a folder of SVG drawings named "<index>-<name>.svg"; an index without a
  // drawing stays empty. Returns the number of drawings loaded.
  int LoadSvgFolder(const QString& folder);
  // Renders an SVG file at the list's size; null when it cannot be read.
  QImage RenderSvg(const QString& fileName) const;

 private:
  QImage Fit(const QImage& image) const;

  int Size_;
  QVector<QImage> Images_;
  QVector<QImage> Disabled_;
};

// The program-wide image list every image index refers to; none before the composition sets it.
TWKImageList* ProgramImageList();
void SetProgramImageList(TWKImageList* images);

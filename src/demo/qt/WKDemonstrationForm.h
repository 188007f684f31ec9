// The demonstration list: a modal dialog centred on the main window with one large icon per
// script (its picture and its title), "Show at startup", Start and Close.
#pragma once

#include <QDialog>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <string>

#include "demo/WKDemonstrationModule.h"
#include "framework/qt/WKForm.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class TWKDemoList;

class TWKDemonstrationForm : public TWKFormOf<QDialog> {
 public:
  static constexpr int kPictureSize = 64;
  static constexpr unsigned kOutlineColor = 0xCBCBCB;

  TWKDemonstrationForm(TWKDemoList& list, QWidget* parent = nullptr);

  void Localize() override;

  // Published handlers.
  void FormCreate();
  void DemoListViewChange();
  void DemoListViewDblClick();
  void ShowAtStartupCheckBoxClick();
  void FormClose();

  // The picture of a script: an index into DemoImageList, 0 (the predefined one) when its
  // image cannot be opened.
  int MakeThumbnail(const std::string& imageFile);

  QLabel* SelectLabel = nullptr;
  QLabel* EscTntLabel = nullptr;
  QListWidget* DemoListView = nullptr;
  QList<QPixmap> DemoImageList;
  QCheckBox* ShowAtStartupCheckBox = nullptr;
  QPushButton* StartButton = nullptr;
  QPushButton* CloseButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  TWKDemoList& List_;
};

// The module's list window on Qt.
class TQtDemoListForm : public IWKDemoListForm {
 public:
  bool ShowModal(TWKDemoList& list) override;
};

// The picture in the thumbnail square: fitted, centred, outlined; a null image gives none.
QImage DemoThumbnail(const QImage& picture, int size, QRgb outline);

// The about box: a tab bar over a background picture, with the labels of the layout table
// placed on it; hyperlink labels open their address.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QSvgRenderer>
#include <QWidget>
#include <functional>
#include <vector>

#include "framework/qt/WKForm.h"
#include "help/WKAboutLayout.h"

class QTabBar;
class IWKShell;

// The background picture, stretched over the whole control.
class TWKLogoBackground : public QWidget {
 public:
  explicit TWKLogoBackground(QWidget* parent);
  // The picture resource of that name (any case); false when there is none.
  bool LoadPicture(const std::string& resourceName);
  // The picture's own width; 0 without a picture.
  int PictureWidth() const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSvgRenderer Picture_;
};

// A label that reports a click with the left button.
class TWKLinkLabel : public QLabel {
 public:
  explicit TWKLinkLabel(QWidget* parent) : QLabel(parent) {}
  std::string Address;
  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class TWKAboutForm : public TWKFormOf<QDialog> {
 public:
  TWKAboutForm(TWKComponent* owner, const TWKAboutLayoutTable& layout, IWKShell& shell,
               QWidget* parent = nullptr);

  void Localize() override;
  // Published handlers.
  void AboutTabControlChange();
  void LinkLabelClick(TWKLinkLabel* label);

  QTabBar* AboutTabControl = nullptr;
  TWKLogoBackground* Background = nullptr;
  // The labels in table order.
  std::vector<QLabel*> Labels;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateLabels();
  // Escape or Enter close the box.
  bool FormKeyDown(int key);

  const TWKAboutLayoutTable& Layout_;
  IWKShell& Shell_;
  std::vector<TWKAboutLabel> Placed_;
  std::vector<int32_t> Pages_;  // the page of each tab
};

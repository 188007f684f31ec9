// The image view's window: a scroll area whose viewport the core view paints, with the core's
// scroll bars, input translated into the view's calls and the program cursors.
#pragma once

#include <QAbstractScrollArea>
#include <QPointer>
#include <memory>

#include "view/WKGraphicsView.h"

class TQtGraphicsViewWidget : public QAbstractScrollArea {
 public:
  TQtGraphicsViewWidget(TWKGraphicsView& view, QWidget* parent = nullptr);
  TWKGraphicsView& View() const { return View_; }

  // Platform key and modifiers in the view's terms.
  static uint16_t VirtualKey(int qtKey, Qt::KeyboardModifiers modifiers);
  static TWKShiftState ShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

 protected:
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void scrollContentsBy(int, int) override {}
  void showEvent(QShowEvent* event) override;

 private:
  friend class TQtViewWindow;
  void BarAction(bool horizontal, int action);
  void ApplyCursor(TPoint point);

  TWKGraphicsView& View_;
  bool Setting_ = false;
  bool Shown_ = false;
};

// Installs the Qt window maker for every new image view.
void InstallQtViewWindows();
// The widget of a view made by InstallQtViewWindows; none for other views.
QWidget* QtViewWidget(TWKDocumentView& view);

#include "documents/qt/QtGraphicsEditorWindow.h"

#include <QAction>
#include <QLabel>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "documents/qt/QtUIItem.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKStartupTimes.h"
#include "framework/qt/QtText.h"
#include "imaging/WKBitmap.h"

namespace {

TRect FromQRect(const QRect& r) { return Bounds(r.x(), r.y(), r.width(), r.height()); }

// The reduced picture of a picture that opens, drawn where and as large as the view will show
// the whole picture: centred, at 1:1 when it fits, else fitted.
class TReducedPicture : public QWidget {
 public:
  TReducedPicture(const TWKLTBitmap& reduced, int32_t width, int32_t height, QWidget* parent)
      : QWidget(parent), Full_{width, height} {
    const TWKBitmapStorage& rows = reduced.Storage();
    // BGR rows are RGB888 with red and blue swapped; copied, the decode's buffer goes.
    Image_ = QImage(rows.Bits, rows.Width, rows.Height, int(rows.RowBytes), QImage::Format_RGB888).rgbSwapped();
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(64, 64, 64));  // the image view's background
    TWKZoomRatio zoom;
    if (Full_.Width <= width() && Full_.Height <= height()) zoom = {1, 1};
    else if (!ZoomToFit({width(), height()}, Full_, zoom)) return;
    const int w = int(int64_t(Full_.Width) * zoom.Numerator / zoom.Denominator);
    const int h = int(int64_t(Full_.Height) * zoom.Numerator / zoom.Denominator);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect((width() - w) / 2, (height() - h) / 2, w, h), Image_);
    NoteStartupMoment("reduced");
  }

 private:
  QImage Image_;
  TSize Full_;
};

}  // namespace

TQtGraphicsEditorWindow::TQtGraphicsEditorWindow(TMainForm& form) : TQtEditorWindow(form) {
  Toolbars_ = WrapAction(form.ToolbarsMenuItem);
}

TQtGraphicsEditorWindow::~TQtGraphicsEditorWindow() { Form().OnDropFile = nullptr; }

IWKUIItem* TQtGraphicsEditorWindow::AddStatusPanel(const std::string& text, int32_t width) {
  auto* label = new QLabel(ToQString(text), Form().StatusBar);
  if (width > 0) {
    label->setFixedWidth(width);
    Form().StatusBar->addPermanentWidget(label);
  } else {
    // On the left, taking the room the fixed panels leave; a narrow window clips its text
    // instead of pushing panels off, and a passing status message shows in its place.
    label->setMinimumWidth(1);
    Form().StatusBar->addWidget(label, 1);
  }
  Panels_.push_back(std::make_unique<TQtUIItem<QLabel>>(label));
  return Panels_.back().get();
}

int32_t TQtGraphicsEditorWindow::FontHeight() const { return Form().fontMetrics().height(); }

IWKUIItem* TQtGraphicsEditorWindow::AddTextButton(IWKUIItem* toolbar, const std::string& caption,
                                                  TWKClickHandler click) {
  QToolBar* bar = ToolbarOf(toolbar);
  if (bar == nullptr) return WrapAction(nullptr);
  QAction* action = bar->addAction(ToQString(caption));
  QObject::connect(action, &QAction::triggered, action, [click = std::move(click)] {
    if (click) click();
  });
  if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(action->text()) + 24);
  }
  return WrapAction(action, bar);
}

IWKUIItem* TQtGraphicsEditorWindow::AddHoldButton(IWKUIItem* toolbar, const std::string& caption,
                                                  std::function<void(bool down)> held) {
  IWKUIItem* item = AddTextButton(toolbar, caption, nullptr);
  QToolBar* bar = ToolbarOf(toolbar);
  QAction* action = bar != nullptr ? bar->actions().value(bar->actions().size() - 1) : nullptr;
  auto* button = action != nullptr ? qobject_cast<QToolButton*>(bar->widgetForAction(action)) : nullptr;
  if (button == nullptr || !held) return item;
  QObject::connect(button, &QToolButton::pressed, button, [held] { held(true); });
  QObject::connect(button, &QToolButton::released, button, [held] { held(false); });
  return item;
}

TRect TQtGraphicsEditorWindow::WindowRect() const { return FromQRect(Form().frameGeometry()); }

void TQtGraphicsEditorWindow::SetWindowRect(const TRect& rect) {
  // The frame's extra over the client area carries over.
  const QRect frame = Form().frameGeometry(), inner = Form().geometry();
  Form().setGeometry(rect.Left + (inner.x() - frame.x()), rect.Top + (inner.y() - frame.y()),
                     rect.Width() - (frame.width() - inner.width()),
                     rect.Height() - (frame.height() - inner.height()));
}

TRect TQtGraphicsEditorWindow::WorkArea() const {
  QScreen* screen = Form().screen();
  return screen ? FromQRect(screen->availableGeometry()) : WindowRect();
}

void TQtGraphicsEditorWindow::SetDropFileHandler(std::function<void(const std::string&)> handler) {
  Form().OnDropFile = std::move(handler);
}

void TQtGraphicsEditorWindow::ShowDocumentView(TWKDocumentView& view) {
  TQtEditorWindow::ShowDocumentView(view);
  QWidget* widget = ViewWidget ? ViewWidget(view) : nullptr;
  if (widget == nullptr) return;
  // Children added to a shown window appear only on the next pass of the event loop; the
  // layout skips them until then.
  QWidget* parent = widget->parentWidget();
  if (parent) parent->show();
  widget->show();
  if (QLayout* layout = Form().layout()) layout->activate();
  if (parent && parent->layout()) parent->layout()->activate();
}

void TQtGraphicsEditorWindow::ShowReducedPicture(const TWKLTBitmap* reduced, int32_t width, int32_t height) {
  if (Reduced_) {
    CentralArea().removeWidget(Reduced_);
    delete Reduced_.data();
  }
  if (reduced == nullptr || reduced->Empty()) return;
  QStackedWidget& central = CentralArea();
  Reduced_ = new TReducedPicture(*reduced, width, height, &central);
  central.addWidget(Reduced_);
  central.setCurrentWidget(Reduced_);
  Reduced_->update();
}

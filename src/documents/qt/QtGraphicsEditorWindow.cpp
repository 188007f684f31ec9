#include "documents/qt/QtGraphicsEditorWindow.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "documents/qt/QtUIItem.h"
#include "framework/qt/QtText.h"

namespace {

TRect FromQRect(const QRect& r) { return Bounds(r.x(), r.y(), r.width(), r.height()); }

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
    label->setMinimumWidth(1);  // a narrow window clips the text instead of pushing panels off
    Form().StatusBar->addPermanentWidget(label, 1);
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

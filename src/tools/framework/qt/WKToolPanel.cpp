#include "tools/framework/qt/WKToolPanel.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QResizeEvent>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "framework/WKLocalizer.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/qt/MainForm.h"
#include "framework/qt/QtText.h"
#include "framework/qt/WKImageList.h"

namespace {

TWKToolPanelModule* GlobalPanel = nullptr;

// A separator of the panel tool bar: a thin vertical line whose item claims the given width.
class TSeparator : public QFrame {
 public:
  TSeparator(QWidget* parent, int width) : QFrame(parent), Width_(width) {
    setFrameShape(QFrame::VLine);
    setFrameShadow(QFrame::Sunken);
    // A line's fixed width would make a row break as wide as its hint, and the bar with it.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
  }
  QSize sizeHint() const override { return QSize(Width_, 16); }
  QSize minimumSizeHint() const override { return QSize(std::min(Width_, 6), 16); }

 private:
  int Width_;
};

Qt::DockWidgetArea AreaOf(TDockSide side) {
  switch (side) {
    case TDockSide::Top: return Qt::TopDockWidgetArea;
    case TDockSide::Bottom: return Qt::BottomDockWidgetArea;
    case TDockSide::Left: return Qt::LeftDockWidgetArea;
    case TDockSide::Right: return Qt::RightDockWidgetArea;
  }
  return Qt::RightDockWidgetArea;
}

TDockSide SideOf(Qt::DockWidgetArea area) {
  switch (area) {
    case Qt::TopDockWidgetArea: return TDockSide::Top;
    case Qt::BottomDockWidgetArea: return TDockSide::Bottom;
    case Qt::LeftDockWidgetArea: return TDockSide::Left;
    default: return TDockSide::Right;
  }
}

}  // namespace

TWKFlowLayout::~TWKFlowLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

QLayoutItem* TWKFlowLayout::takeAt(int index) {
  return index >= 0 && index < Items_.size() ? Items_.takeAt(index) : nullptr;
}

QSize TWKFlowLayout::minimumSize() const {
  QSize size;
  for (QLayoutItem* item : Items_) size = size.expandedTo(item->minimumSize());
  const QMargins m = contentsMargins();
  return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void TWKFlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  Arrange(rect, true);
}

int TWKFlowLayout::Arrange(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  const bool wrap = static_cast<const TWKWrapToolbar*>(parentWidget())->Wrap();
  int x = area.x(), y = area.y(), rowHeight = 0;
  for (QLayoutItem* item : Items_) {
    if (item->isEmpty()) continue;
    QSize hint = item->sizeHint();
    // A separator wider than the bar ends its row (a row break), drawn as a short line.
    const bool tooWide = hint.width() > area.width();
    if (tooWide) hint.setWidth(std::min(hint.width(), 6));
    if (wrap && x > area.x() && x + hint.width() > area.right() + 1) {
      x = area.x();
      y += rowHeight;
      rowHeight = 0;
    }
    if (apply) item->setGeometry(QRect(QPoint(x, y), hint));
    x += hint.width();
    rowHeight = std::max(rowHeight, hint.height());
    if (wrap && tooWide) {
      x = area.x();
      y += rowHeight;
      rowHeight = 0;
    }
  }
  const QMargins m = contentsMargins();
  return y + rowHeight - area.y() + m.top() + m.bottom();
}

TWKWrapToolbar::TWKWrapToolbar(QWidget* parent) : QWidget(parent) {
  auto* layout = new TWKFlowLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

QToolButton* TWKWrapToolbar::AddButton(const std::string& caption, int imageIndex,
                                       std::function<void()> click) {
  auto* button = new QToolButton(this);
  button->setText(ToQString(caption));
  button->setToolTip(ToQString(caption));
  button->setAutoRaise(true);
  button->setCheckable(true);
  button->setIconSize(QSize(24, 24));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  SetImageIndex(button, imageIndex);
  if (click) QObject::connect(button, &QToolButton::clicked, button, [click] { click(); });
  layout()->addWidget(button);
  ItemsChanged();
  return button;
}

QWidget* TWKWrapToolbar::AddSeparator(int width) {
  auto* separator = new TSeparator(this, width);
  layout()->addWidget(separator);
  ItemsChanged();
  return separator;
}

void TWKWrapToolbar::ItemsChanged() {
  // A new item can start a new row without the bar changing its width: its owner resizes it.
  if (OnResize) OnResize();
}

void TWKWrapToolbar::SetImageIndex(QToolButton* button, int imageIndex) {
  TWKImageList* images = Images_ ? Images_ : ProgramImageList();
  if (button == nullptr || images == nullptr || imageIndex < 0) return;
  const QIcon icon = images->Icon(imageIndex);
  if (!icon.isNull()) button->setIcon(icon);
}

int TWKWrapToolbar::HeightFor(int width) const { return layout()->heightForWidth(width); }

void TWKWrapToolbar::SetWrap(bool value) {
  Wrap_ = value;
  layout()->invalidate();
}

void TWKWrapToolbar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The buttons follow the new width at once, also before the layout was first activated.
  if (layout() != nullptr) layout()->setGeometry(rect());
  if (OnResize) OnResize();
}

bool TWKWrapToolbar::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  if (event->type() == QEvent::LayoutRequest && OnResize) OnResize();
  return handled;
}

TWKToolFrame::TWKToolFrame(TWKComponent* owner, QWidget* parent) : TWKFrame(owner, parent) {
  Name = "ToolFrame";
  Toolbar = new TWKWrapToolbar(this);
  Toolbar->OnResize = [this] { ToolbarResize(); };
}

void TWKToolFrame::resizeEvent(QResizeEvent* event) {
  TWKFrame::resizeEvent(event);
  if (Toolbar != nullptr && Toolbar->width() != width()) ToolbarResize();
}

void TWKToolFrame::ToolbarResize() {
  if (Resizing_) return;
  Resizing_ = true;
  const int height = Toolbar->HeightFor(width()) + 6;
  const QRect bar(0, 0, width(), height - 6);
  Toolbar->setGeometry(bar);
  // Laid out at once: a bar not shown yet would keep its old rows until it is.
  Toolbar->layout()->setGeometry(bar);
  setFixedHeight(height);
  Resizing_ = false;
}

void TQtToolButton::SetCaption(const std::string& text) { Button_->setText(ToQString(text)); }
void TQtToolButton::SetHint(const std::string& text) { Button_->setToolTip(ToQString(text)); }
void TQtToolButton::SetEnabled(bool value) { Button_->setEnabled(value); }
void TQtToolButton::SetVisible(bool value) { Button_->setVisible(value); }
std::string TQtToolButton::Caption() const { return ToStdString(Button_->text()); }
bool TQtToolButton::Enabled() const { return Button_->isEnabled(); }
bool TQtToolButton::Visible() const { return !Button_->isHidden(); }
TPoint TQtToolButton::ScreenCenter() const {
  const QPoint p = Button_->mapToGlobal(QPoint(Button_->width() / 2, Button_->height() / 2));
  return TPoint{p.x(), p.y()};
}
void TQtToolButton::SetChecked(bool value) { Button_->setChecked(value); }
bool TQtToolButton::Checked() const { return Button_->isChecked(); }
void TQtToolButton::SetImageIndex(int32_t index) { Toolbar_.SetImageIndex(Button_, index); }

TWKToolPanelModule::TWKToolPanelModule(TWKComponent* owner, TMainForm& mainForm)
    : TWKModuleWithControls(owner), MainForm_(mainForm) {
  Name = "ToolPanelModule";
  Panel = mainForm.CreateDockablePanel();
  Panel->setObjectName(QStringLiteral("ToolPanel"));
  Panel->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  Panel->setFeatures(QDockWidget::DockWidgetMovable);
  auto* body = new QWidget(Panel);
  auto* column = new QVBoxLayout(body);
  column->setContentsMargins(8, 8, 8, 8);
  column->setSpacing(0);
  ToolFrame = new TWKToolFrame(this, body);
  Toolbar = ToolFrame->Toolbar;
  Toolbar->SetImages(mainForm.ImageList());
  column->addWidget(ToolFrame);
  Frames_ = new QStackedWidget(body);
  column->addWidget(Frames_, 1);
  Panel->setWidget(body);
  Panel->setMinimumWidth(PanelWidth_);
  mainForm.addDockWidget(Qt::RightDockWidgetArea, Panel);

  VisibleMenuItem = mainForm.AddMenuItem(LanguageString(kCaptionText, "Tools"), QKeySequence(),
                                         mainForm.ToolbarsMenuItem, mainForm.ViewMenuItem, -1,
                                         [this] { SetPanelVisible(!PanelVisible()); });
  VisibleMenuItem->setCheckable(true);
  GlobalPanel = this;
  SetToolPanelService(this);
  Localize();
}

TWKToolPanelModule::~TWKToolPanelModule() {
  if (GlobalPanel == this) GlobalPanel = nullptr;
  if (ToolPanelService() == this) SetToolPanelService(nullptr);
}

IWKToolButton* TWKToolPanelModule::AddToolButton(const std::string& caption,
                                                 std::function<void()> click) {
  QToolButton* button = Toolbar->AddButton(caption, -1, std::move(click));
  Buttons_.push_back(std::make_unique<TQtToolButton>(*Toolbar, button));
  return Buttons_.back().get();
}

void TWKToolPanelModule::PlaceFrame(QWidget* frame) {
  auto* scroll = new QScrollArea(Frames_);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(frame);
  Frames_->addWidget(scroll);
}

void TWKToolPanelModule::BringToFront(QWidget* frame) {
  for (int i = 0; i < Frames_->count(); ++i) {
    auto* scroll = static_cast<QScrollArea*>(Frames_->widget(i));
    if (scroll->widget() == frame) Frames_->setCurrentIndex(i);
  }
}

QWidget* TWKToolPanelModule::FrontFrame() const {
  auto* scroll = static_cast<QScrollArea*>(Frames_->currentWidget());
  return scroll ? scroll->widget() : nullptr;
}

void TWKToolPanelModule::SetPanelWidth(int32_t width) {
  if (width < PanelWidth_) return;
  PanelWidth_ = width;
  Panel->setMinimumWidth(width);
  Panel->setMaximumWidth(width);
  MainForm_.resizeDocks({Panel}, {width}, Qt::Horizontal);
}

void TWKToolPanelModule::SetToolbarWrap() { Toolbar->SetWrap(true); }

bool TWKToolPanelModule::PanelVisible() const { return !Panel->isHidden(); }

void TWKToolPanelModule::SetPanelVisible(bool value) { Panel->setVisible(value); }

TWKPanelState TWKToolPanelModule::State() const {
  TWKPanelState s;
  s.Visible = PanelVisible();
  s.Floating = false;
  s.DockSide = SideOf(MainForm_.dockWidgetArea(Panel));
  s.DockedWidth = Panel->width();
  s.DockedHeight = Panel->height();
  s.SplitWidth = Panel->width();
  s.SplitHeight = Panel->height();
  return s;
}

void TWKToolPanelModule::ApplyState(const TWKPanelState& state) {
  SetPanelVisible(state.Visible);
  // The panel cannot float; a record from a floating panel keeps the dock it has.
  if (state.Floating) return;
  const Qt::DockWidgetArea area = AreaOf(state.DockSide);
  if ((Panel->allowedAreas() & area) != 0 && MainForm_.dockWidgetArea(Panel) != area)
    MainForm_.addDockWidget(area, Panel);
  if (state.DockedWidth >= PanelWidth_ && state.DockedWidth < 10000)
    MainForm_.resizeDocks({Panel}, {state.DockedWidth}, Qt::Horizontal);
}

void TWKToolPanelModule::Localize() {
  const QString caption = ToQString(LanguageString(kCaptionText, "Tools"));
  Panel->setWindowTitle(caption);
  VisibleMenuItem->setText(caption);
}

void TWKToolPanelModule::UpdateControls() { VisibleMenuItem->setChecked(PanelVisible()); }

void TWKToolPanelModule::LoadSettings(TWKSDFReader& reader) {
  if (!reader.OpenNode(1, kSettingsGuid)) return;
  std::array<uint8_t, TWKPanelState::RecordSize> bytes{};
  // ReadBinary fails unless the stored value has exactly the record's length.
  if (reader.ReadBinary(1, bytes.data(), TWKPanelState::RecordSize))
    if (auto state = TWKPanelState::FromBytes(bytes.data(), bytes.size())) ApplyState(*state);
  reader.CloseNode();
}

void TWKToolPanelModule::SaveSettings(TWKSDFWriter& writer) {
  writer.BeginNode(1, kSettingsGuid);
  const auto bytes = State().ToBytes();
  writer.WriteBinary(1, bytes.data(), TWKPanelState::RecordSize);
  writer.EndNode();
}

TWKToolPanelModule* ToolPanel() { return GlobalPanel; }

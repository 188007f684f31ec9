#include "framework/qt/MainForm.h"

#include "imaging/WKTypes.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPalette>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "framework/WKApplication.h"
#include "framework/WKByteOrder.h"
#include "framework/WKLocalizer.h"
#include "framework/WKPaths.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStartupTimes.h"
#include "framework/qt/QtLocalFiles.h"
#include "framework/qt/QtText.h"
#include "imaging/WKTypes.h"

namespace {

enum : int {
  kMenuBarCaption = 161,
  kFileCaption = 10,
  kExitCaption = 23,
  kViewCaption = 34,
  kToolbarsCaption = 163,
  kLanguageCaption = 41,
  kHelpCaption = 46,
};


QImage LoadImageResource(const QString& baseName, const TWKImageList& list) {
  const QString svg = baseName + ".svg";
  if (QFileInfo::exists(svg)) return list.RenderSvg(svg);
  for (const char* extension : {".png", ".bmp"}) {
    QImage image(baseName + extension);
    if (image.isNull()) continue;
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
      for (int x = 0; x < image.width(); ++x)
        if (row[x] == transparent) row[x] = qRgba(0, 0, 0, 0);
    }
    return image;
  }
  return {};
}

}  // namespace

std::array<uint8_t, 44> TWindowPlacement::ToBytes() const {
  std::array<uint8_t, 44> bytes{};
  const int32_t fields[11] = {Length, Flags, ShowCmd, MinX, MinY, MaxX, MaxY, Left, Top, Right, Bottom};
  for (int i = 0; i < 11; ++i) WriteLE32(bytes.data() + 4 * i, static_cast<uint32_t>(fields[i]));
  return bytes;
}

TWindowPlacement TWindowPlacement::FromBytes(const uint8_t* bytes) {
  TWindowPlacement p;
  int32_t* fields[11] = {&p.Length, &p.Flags, &p.ShowCmd, &p.MinX, &p.MinY, &p.MaxX,
                         &p.MaxY,   &p.Left,  &p.Top,     &p.Right, &p.Bottom};
  for (int i = 0; i < 11; ++i) *fields[i] = static_cast<int32_t>(ReadLE32(bytes + 4 * i));
  return p;
}

bool TWindowPlacement::IsPlausible() const {
  const int64_t width = int64_t(Right) - Left, height = int64_t(Bottom) - Top;
  return Length == 44 && width >= 100 && height >= 100 && width <= 32767 && height <= 32767 &&
         Left > -32768 && Left < 32768 && Top > -32768 && Top < 32768;
}

TMainForm::TMainForm(TWKComponent* owner) : TWKFormOf<QMainWindow>(owner) {
  Name = "MainForm";
  setObjectName("MainForm");
  if (TWKApplication* app = Application()) setWindowTitle(ToQString(app->GetTitle()));
  setFont(QFont("Tahoma", font().pointSize()));
  // The workspace behind documents, in the application-workspace colour.
  auto* workspace = new QWidget(this);
  workspace->setObjectName("Workspace");
  workspace->setBackgroundRole(QPalette::Dark);
  workspace->setAutoFillBackground(true);
  setCentralWidget(workspace);
  setAcceptDrops(true);
  setDockOptions(QMainWindow::AllowNestedDocks | QMainWindow::AnimatedDocks);
  setCorner(Qt::TopLeftCorner, Qt::TopDockWidgetArea);
  setCorner(Qt::TopRightCorner, Qt::TopDockWidgetArea);
  setCorner(Qt::BottomLeftCorner, Qt::BottomDockWidgetArea);
  setCorner(Qt::BottomRightCorner, Qt::BottomDockWidgetArea);
  resize(1000, 700);
  StatusBar = statusBar();
  BuildMenus();
  qApp->installEventFilter(this);
}

TMainForm::~TMainForm() { qApp->removeEventFilter(this); }

void TMainForm::BuildMenus() {
  Menu = menuBar();
  FileMenuItem = AddSubmenu("", nullptr, nullptr);
  FileMenuSeparator = AddSeparator(FileMenuItem, nullptr);
  ExitMenuItem = AddMenuItem("", QKeySequence(), nullptr, FileMenuItem, -1, [this] { ExitMenuItemClick(); });
  ViewMenuItem = AddSubmenu("", nullptr, nullptr);
  ToolbarsMenuItem = AddSubmenu("", ViewMenuItem, nullptr);
  ViewMenuSeparator = AddSeparator(ViewMenuItem, nullptr);
  LanguageMenuItem = AddSubmenu("", ViewMenuItem, nullptr);
  HelpMenuItem = AddSubmenu("", nullptr, nullptr);
  FileMenuItem->setObjectName("FileMenuItem");
  ExitMenuItem->setObjectName("ExitMenuItem");
  ViewMenuItem->setObjectName("ViewMenuItem");
  ToolbarsMenuItem->setObjectName("ToolbarsMenuItem");
  LanguageMenuItem->setObjectName("LanguageMenuItem");
  HelpMenuItem->setObjectName("HelpMenuItem");
  LanguageGroup_ = new QActionGroup(this);
  LanguageGroup_->setExclusive(true);
}

QWidget* TMainForm::MenuWidget(QAction* parent) const {
  if (parent != nullptr && parent->menu() != nullptr) return parent->menu();
  return Menu;
}

namespace {
void Place(QWidget* container, QAction* item, QAction* before) {
  if (before != nullptr && container->actions().contains(before))
    container->insertAction(before, item);
  else
    container->addAction(item);
}
}  // namespace

QAction* TMainForm::AddMenuItem(const std::string& caption, const QKeySequence& shortcut,
                                QAction* before, QAction* parent, int imageIndex,
                                std::function<void()> onClick) {
  auto* item = new QAction(ToQString(caption), this);
  item->setShortcut(shortcut);
  if (imageIndex >= 0) item->setIcon(ImageList()->Icon(imageIndex));
  if (onClick) connect(item, &QAction::triggered, this, [onClick = std::move(onClick)] { onClick(); });
  Place(MenuWidget(parent), item, before);
  return item;
}

QAction* TMainForm::AddSubmenu(const std::string& caption, QAction* parent, QAction* before) {
  auto* menu = new QMenu(ToQString(caption), this);
  QAction* item = menu->menuAction();
  Place(MenuWidget(parent), item, before);
  return item;
}

QAction* TMainForm::AddSeparator(QAction* parent, QAction* before) {
  auto* item = new QAction(this);
  item->setSeparator(true);
  Place(MenuWidget(parent), item, before);
  return item;
}

QToolBar* TMainForm::AddToolbar(const std::string& caption) {
  auto* toolbar = new QToolBar(ToQString(caption), this);
  toolbar->setObjectName(QStringLiteral("Toolbar%1").arg(Toolbars_.size()));
  toolbar->setIconSize(QSize(ImageList()->Size(), ImageList()->Size()));
  toolbar->setAllowedAreas(Qt::AllToolBarAreas);
  addToolBar(TopDock, toolbar);
  Toolbars_.push_back(toolbar);
  ToolbarsMenuItem->menu()->addAction(toolbar->toggleViewAction());
  return toolbar;
}

QAction* TMainForm::AddToolbarButton(QToolBar* toolbar, TWKImageList* images, QAction* before,
                                     const std::string& caption, int imageIndex,
                                     std::function<void()> onClick) {
  auto* item = new QAction(ToQString(caption), toolbar);
  item->setToolTip(ToQString(caption));
  if (images == nullptr) images = ImageList();
  if (imageIndex >= 0) item->setIcon(images->Icon(imageIndex));
  if (onClick) connect(item, &QAction::triggered, this, [onClick = std::move(onClick)] { onClick(); });
  Place(toolbar, item, before);
  return item;
}

int TMainForm::AddToolbarImage(const std::string& resourceName) {
  const QString base = ToQString(ProgramDataFolder("icons") + "icons/" + resourceName);
  TWKImageList* list = ImageList();
  const QImage image = LoadImageResource(base, *list);
  if (image.isNull()) return -1;
  const int index = list->Add(image);
  const QImage disabled = LoadImageResource(base + "Disabled", *list);
  if (!disabled.isNull()) list->AddDisabled(index, disabled);
  return index;
}

QDockWidget* TMainForm::CreateDockablePanel() {
  auto* panel = new QDockWidget(this);
  panel->setObjectName(QStringLiteral("DockablePanel%1").arg(findChildren<QDockWidget*>().size()));
  return panel;
}

void TMainForm::FillLanguageMenu() {
  QMenu* menu = LanguageMenuItem->menu();
  menu->clear();
  TWKLanguageList languages;
  GetLanguages(languages);
  for (const auto& [name, language] : languages) {
    auto* item = new QAction(ToQString(name), menu);
    const uint16_t id = language->LangId;
    item->setData(id);
    item->setCheckable(true);
    item->setChecked(id == CurrentLanguageId());
    LanguageGroup_->addAction(item);
    connect(item, &QAction::triggered, this, [id] { SelectLanguage(id); });
    menu->addAction(item);
  }
}

void TMainForm::Initialize() {
  FillLanguageMenu();
  TWKFormOf<QMainWindow>::Initialize();
}

void TMainForm::Localize() {
  // A language file refused for its size is named once the message loop runs.
  if (std::string refused = TakeLanguageFileMessage(); !refused.empty())
    if (TWKApplication* app = Application())
      app->PostDeferredCall([refused] {
        if (TWKApplication* shown = Application()) shown->MessageBox(refused, MB_OK | MB_ICONWARNING);
      });
  Menu->setAccessibleName(ToQString(LanguageString(kMenuBarCaption)));
  FileMenuItem->setText(ToQString(LanguageString(kFileCaption)));
  ExitMenuItem->setText(ToQString(LanguageString(kExitCaption)));
  ViewMenuItem->setText(ToQString(LanguageString(kViewCaption)));
  ToolbarsMenuItem->setText(ToQString(LanguageString(kToolbarsCaption)));
  LanguageMenuItem->setText(ToQString(LanguageString(kLanguageCaption)));
  HelpMenuItem->setText(ToQString(LanguageString(kHelpCaption)));
  for (QAction* item : LanguageMenuItem->menu()->actions()) {
    const auto id = static_cast<uint16_t>(item->data().toUInt());
    item->setChecked(id == CurrentLanguageId());
    std::string name = ToStdString(item->text());
    LanguageName(id, name);
    item->setText(ToQString(name));
  }
  // Tool bars re-label themselves in their own Localize, which may run after this one.
  if (TWKApplication* app = Application())
    app->PostDeferredCall([this] { UpdateToolbarItemCaptions(); });
}

void TMainForm::UpdateToolbarItemCaptions() {
  for (QToolBar* toolbar : Toolbars_) toolbar->toggleViewAction()->setText(toolbar->windowTitle());
}

void TMainForm::UpdateControls() {
  if (OnUpdate) OnUpdate();
}

void TMainForm::ExitMenuItemClick() { close(); }

TWindowPlacement TMainForm::Placement() const {
  TWindowPlacement p;
  const QRect normal = isMaximized() || isMinimized() || isFullScreen() ? normalGeometry() : geometry();
  p.ShowCmd = isMaximized() ? TWindowPlacement::kShowMaximized : TWindowPlacement::kShowNormal;
  p.Left = normal.left();
  p.Top = normal.top();
  p.Right = normal.left() + normal.width();
  p.Bottom = normal.top() + normal.height();
  return p;
}

void TMainForm::RestorePlacement(const TWindowPlacement& p) {
  if (!p.IsPlausible()) return;
  QRect rect(p.Left, p.Top, p.Right - p.Left, p.Bottom - p.Top);
  // The window comes back into the available area of the screen that holds most of it (the
  // primary one when the screen is gone), no larger than that area.
  const QScreen* home = QGuiApplication::primaryScreen();
  int64_t most = 0;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect overlap = screen->availableGeometry().intersected(rect);
    const int64_t area = overlap.isEmpty() ? 0 : int64_t(overlap.width()) * overlap.height();
    if (area > most) {
      most = area;
      home = screen;
    }
  }
  if (home != nullptr) {
    const QRect a = home->availableGeometry();
    const TRect fitted = FitRectInto(Rect(p.Left, p.Top, p.Right, p.Bottom), Bounds(a.x(), a.y(), a.width(), a.height()));
    rect = QRect(fitted.Left, fitted.Top, fitted.Width(), fitted.Height());
  }
  setGeometry(rect);
  if (p.ShowCmd == TWindowPlacement::kShowMaximized)
    setWindowState(windowState() | Qt::WindowMaximized);
  else
    setWindowState(windowState() & ~Qt::WindowMaximized);
}

void TMainForm::LoadSettings(TWKSDFReader& reader) {
  if (!reader.OpenNode(1, kSettingsGuid)) return;
  std::array<uint8_t, 44> bytes{};
  if (reader.ReadBinary(2, bytes.data(), 44)) RestorePlacement(TWindowPlacement::FromBytes(bytes.data()));
  int32_t language = 0;
  if (reader.ReadInteger(1, language) && language > 0 && language <= 0xFFFF)
    SelectLanguage(static_cast<uint16_t>(language));
  reader.CloseNode();
}

void TMainForm::SaveSettings(TWKSDFWriter& writer) {
  writer.BeginNode(1, kSettingsGuid);
  writer.WriteInteger(1, CurrentLanguageId());
  const auto bytes = Placement().ToBytes();
  writer.WriteBinary(2, bytes.data(), 44);
  writer.EndNode();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this) return false;
  // Key events travel up the parent chain; preview each one only at its first receiver.
  QWidget* first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
  if (widget != first) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() == Qt::Key_Alt) {
    if (type == QEvent::KeyPress) AltAlone_ = true;
    if (type == QEvent::KeyRelease && AltAlone_) {
      // The keyboard activates the menu bar: hover overlays under the pointer must go.
      if (QWidget* under = QApplication::widgetAt(QCursor::pos())) {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(under, &leave);
      }
    }
  } else if (type == QEvent::KeyPress) {
    AltAlone_ = false;
  }
  return OnKeyPreview && OnKeyPreview(key);
}

void TMainForm::paintEvent(QPaintEvent* event) {
  QMainWindow::paintEvent(event);
  NoteStartupMoment("window");
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (OnCloseQuery && !OnCloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  FilesDropped(DroppedUrls(*event->mimeData()));
}

void TMainForm::FilesDropped(const QList<QUrl>& urls) {
  if (urls.isEmpty()) return;
  // Only the first file counts; its full path, however long.
  const std::string fileName = LocalFileOf(urls.first());
  if (OnDropFile && !fileName.empty() && FileExists(fileName)) OnDropFile(fileName);
}

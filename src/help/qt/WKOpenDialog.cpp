#include "help/qt/WKOpenDialog.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QItemSelectionModel>
#include <QFileInfo>
#include <QFontInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QToolTip>

#include "framework/WKLocalizer.h"
#include "framework/qt/QtLocalFiles.h"
#include "framework/qt/QtText.h"
#include "help/WKPreviewLayout.h"
#include "help/qt/WKDialogPreviewThread.h"
#include "platform/paint/QtPixelPainter.h"

namespace {

constexpr int PanelBorder = 6;
constexpr int PanelWidth = 240;
constexpr int InitialPreviewHeight = 224;

// "JPEG (*.jpg;*.jpeg)" with masks "*.jpg;*.jpeg" becomes "JPEG (*.jpg *.jpeg)", the form in
// which Qt finds the patterns.
QString QtNameFilter(const TWKFilterEntry& entry) {
  QString caption = ToQString(entry.Caption);
  const QString masks = ToQString(entry.Masks);
  QString spaced = masks;
  spaced.replace(';', ' ');
  const QString tail = "(" + masks + ")";
  if (caption.endsWith(tail)) caption.chop(tail.size());
  caption = caption.trimmed();
  return caption.isEmpty() ? spaced : caption + " (" + spaced + ")";
}

}  // namespace

TWKPreviewBox::TWKPreviewBox(TWKOpenDialog& dialog, QWidget* parent)
    : QWidget(parent), Dialog_(dialog) {}

void TWKPreviewBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Dialog_.PaintPreview(painter);
}

TWKOpenDialog::TWKOpenDialog(QWidget* owner, TWKFileFormats& formats)
    : TWKOpenDialog(owner, formats, TKind::Open) {
  setFileMode(QFileDialog::ExistingFile);
  SetupFilter();
}

TWKOpenDialog::TWKOpenDialog(QWidget* owner, TWKFileFormats& formats, TKind kind)
    : QFileDialog(owner), Formats(formats), Kind_(kind) {
  // The side panel needs the dialog's own widgets; this must come before anything else.
  setOption(QFileDialog::DontUseNativeDialog, true);
  // Thumbnails are pixel memory painted through the pixel painter; without one they stay blank.
  if (PixelPainter() == nullptr) InstallQtPixelPainter();
  BuildSidePanel();
  PreviewThread = std::make_unique<TWKDialogPreviewThread>(*this);
  connect(this, &QFileDialog::currentChanged, this, &TWKOpenDialog::DoSelectionChange);
  // A name typed into the name box selects its file without making it current: preview the
  // single file selected that way too, unless it is the one already asked for.
  if (auto* list = findChild<QAbstractItemView*>("listView"); list && list->selectionModel()) {
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
      const QStringList files = selectedFiles();
      if (files.size() == 1 && QFileInfo(files.first()).isFile() &&
          FileSystemName(files.first()) != Selected_)
        DoSelectionChange(files.first());
    });
  }
}

TWKOpenDialog::~TWKOpenDialog() {
  // The thread is cut off from this dialog first; a decode in hand finishes on its own.
  PreviewThread.reset();
  Thumbnail.reset();
}

void TWKOpenDialog::BuildSidePanel() {
  SidePanel = new QFrame(this);
  SidePanel->setObjectName("SidePanel");
  SidePanel->setFrameShape(QFrame::NoFrame);
  SidePanel->setFixedWidth(PanelWidth);
  SidePanel->setFocusPolicy(Qt::NoFocus);
  SidePanel->installEventFilter(this);

  PreviewBox = new TWKPreviewBox(*this, SidePanel);
  PreviewBox->setObjectName("PreviewBox");
  PreviewBox->setGeometry(PanelBorder, PanelBorder, PanelWidth - 2 * PanelBorder,
                          InitialPreviewHeight);

  InfoLabel = new QLabel(SidePanel);
  InfoLabel->setObjectName("InfoLabel");
  QFont font("Tahoma");
  font.setPointSizeF(InfoLabel->font().pointSizeF());
  InfoLabel->setFont(font);
  InfoLabel->setTextFormat(Qt::PlainText);  // metadata is shown as it stands, never as markup
  InfoLabel->setWordWrap(true);
  InfoLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  InfoLabel->setAutoFillBackground(false);

  // Beside the folder view and the name and type rows, below the look-in row.
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(SidePanel, 1, grid->columnCount(), std::max(grid->rowCount() - 1, 1), 1);
  } else if (layout()) {
    layout()->addWidget(SidePanel);
  }
  FitPreviewBox();
}

void TWKOpenDialog::FitPreviewBox() {
  const QRect area =
      SidePanel->rect().adjusted(PanelBorder, PanelBorder, -PanelBorder, -PanelBorder);
  if (area.width() <= 0) return;
  const int fontHeight = QFontInfo(InfoLabel->font()).pixelSize();
  const int boxHeight =
      isVisible() ? PreviewBoxHeight(area.height(), fontHeight) : InitialPreviewHeight;
  PreviewBox->setGeometry(area.left(), area.top(), area.width(), boxHeight);
  InfoLabel->setGeometry(area.left(), area.top() + boxHeight, area.width(),
                         std::max(area.height() - boxHeight, 0));
}

void TWKOpenDialog::SetupFilter() {
  TWKFileFormatArray formats;
  Formats.GetOpenFormats(formats);
  SetFilter(BuildFilter(formats));
  SetFilterIndex(Formats.FormatCount() + 1);
}

bool TWKOpenDialog::Execute() {
  setWindowTitle(ToQString(Kind_ == TKind::Open ? LanguageString(12, "Open")
                                                : LanguageString(15, "Save")));
  // Room for the places list, the file list with its columns and the side panel.
  resize(size().expandedTo(QSize(860, 500)));
  return exec() == QDialog::Accepted;
}

std::string TWKOpenDialog::FileName() const {
  const QStringList files = selectedFiles();
  return files.isEmpty() ? std::string() : FileSystemName(files.first());
}

void TWKOpenDialog::SetFileName(const std::string& fileName) {
  const QFileInfo info(ToQString(fileName));
  if (fileName.find('/') != std::string::npos) setDirectory(info.absolutePath());
  selectFile(info.fileName());
}

int32_t TWKOpenDialog::FilterIndex() const {
  return static_cast<int32_t>(nameFilters().indexOf(selectedNameFilter())) + 1;
}

void TWKOpenDialog::SetFilterIndex(int32_t index) {
  const QStringList filters = nameFilters();
  if (index >= 1 && index <= filters.size()) selectNameFilter(filters[index - 1]);
}

void TWKOpenDialog::SetFilter(const std::string& filter) {
  Filter_ = filter;
  QStringList filters;
  for (const TWKFilterEntry& entry : ParseFilter(filter)) filters << QtNameFilter(entry);
  setNameFilters(filters);
}

std::string TWKOpenDialog::Title() const { return ToStdString(windowTitle()); }

void TWKOpenDialog::PaintPreview(QPainter& painter) {
  const QRect client = PreviewBox->rect();
  painter.fillRect(client, PreviewBox->palette().color(QPalette::Window));
  if (Thumbnail) {
    TQtPaintDevice device(painter);
    Thumbnail->Draw(device, Rect(0, 0, client.width(), client.height()));
  }
  painter.setPen(PreviewBox->palette().color(QPalette::Dark));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(client.adjusted(0, 0, -1, -1));
}

void TWKOpenDialog::ShowThumbnail(uint64_t ticket, std::unique_ptr<TWKThumbnail> thumbnail) {
  if (!thumbnail || !PreviewThread || !PreviewThread->IsCurrent(ticket)) return;
  Thumbnail = std::move(thumbnail);
  PreviewBox->update();
}

void TWKOpenDialog::DoSelectionChange(const QString& path) {
  Thumbnail.reset();
  std::unique_ptr<TWKFileInfo> info;
  const std::string name = FileSystemName(path);
  Selected_ = name;
  if (!name.empty() && Formats.GetFileInfo(name, info) && info) {
    std::string text;
    info->GetDescription(text);
    // A file the registry knows nothing about shows no lines at all.
    InfoLabel->setText(text.empty() ? QString() : "\n" + ToQString(text));
    PreviewThread->Request(name, PreviewBox->width() - 2, PreviewBox->height() - 2);
  } else {
    InfoLabel->clear();
    // Whatever was asked for the previous file must not appear beside this one.
    PreviewThread->Cancel();
  }
  PreviewBox->update();
}

void TWKOpenDialog::DoShow() {
  // A dialog executed once more gets a fresh thread; the old one was told to end when it
  // closed and is let go without waiting for it.
  if (PreviewThread->Terminated()) PreviewThread = std::make_unique<TWKDialogPreviewThread>(*this);
  FitPreviewBox();
}

void TWKOpenDialog::DoClose() {
  PreviewThread->Terminate();
  QToolTip::hideText();
}

void TWKOpenDialog::showEvent(QShowEvent* event) {
  QFileDialog::showEvent(event);
  DoShow();
}

void TWKOpenDialog::done(int result) {
  DoClose();
  QFileDialog::done(result);
}

bool TWKOpenDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SidePanel && event->type() == QEvent::Resize) FitPreviewBox();
  return QFileDialog::eventFilter(watched, event);
}

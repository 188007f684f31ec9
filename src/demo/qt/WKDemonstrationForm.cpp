#include "demo/qt/WKDemonstrationForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "demo/WKDemoList.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/QtText.h"

namespace {

enum : int {
  kSelectText = 910,
  kShowAtStartupText = 802,
  kStartText = 75,
  kCloseText = 13,
  kEscText = 2925,
};

// The picture of a script without one of its own: a blank page with a play sign.
QPixmap PredefinedPicture(int size) {
  QImage image(size, size, QImage::Format_RGB888);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x80, 0x80, 0x80));
  const double c = size / 2.0, r = size / 5.0;
  painter.drawPolygon(QPolygonF({QPointF(c - r * 0.7, c - r), QPointF(c - r * 0.7, c + r), QPointF(c + r, c)}));
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QColor(QRgb(TWKDemonstrationForm::kOutlineColor)));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, size - 1, size - 1);
  painter.end();
  return QPixmap::fromImage(image);
}

QWidget* MainWindow() {
  TWKApplication* app = Application();
  return app != nullptr ? dynamic_cast<QWidget*>(app->MainForm()) : nullptr;
}

}  // namespace

QImage DemoThumbnail(const QImage& picture, int size, QRgb outline) {
  if (picture.isNull()) return {};
  const TRect fit = DemoThumbnailRect(TSize{picture.width(), picture.height()}, size);
  QImage square(size, size, QImage::Format_RGB888);
  square.fill(Qt::white);
  QPainter painter(&square);
  painter.drawImage(QRect(fit.Left, fit.Top, fit.Width(), fit.Height()),
                    picture.scaled(fit.Width(), fit.Height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  painter.setPen(QColor(outline));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, size - 1, size - 1);
  painter.end();
  return square;
}

TWKDemonstrationForm::TWKDemonstrationForm(TWKDemoList& list, QWidget* parent)
    : TWKFormOf<QDialog>(nullptr, parent), List_(list) {
  setObjectName("DemonstrationForm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  SelectLabel = new QLabel(this);
  SelectLabel->setObjectName("SelectLabel");
  SelectLabel->setWordWrap(true);
  DemoListView = new QListWidget(this);
  DemoListView->setObjectName("DemoListView");
  DemoListView->setViewMode(QListView::IconMode);
  DemoListView->setIconSize(QSize(kPictureSize, kPictureSize));
  DemoListView->setGridSize(QSize(kPictureSize + 56, kPictureSize + 44));
  DemoListView->setWordWrap(true);
  DemoListView->setMovement(QListView::Static);
  DemoListView->setResizeMode(QListView::Adjust);
  DemoListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DemoListView->setSelectionMode(QAbstractItemView::SingleSelection);
  DemoListView->setMinimumSize(460, 260);
  // The selection stays visible when the list loses the focus.
  QPalette palette = DemoListView->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  DemoListView->setPalette(palette);
  ShowAtStartupCheckBox = new QCheckBox(this);
  ShowAtStartupCheckBox->setObjectName("ShowAtStartupCheckBox");
  StartButton = new QPushButton(this);
  StartButton->setObjectName("StartButton");
  StartButton->setDefault(true);
  StartButton->setEnabled(false);
  CloseButton = new QPushButton(this);
  CloseButton->setObjectName("CloseButton");
  EscTntLabel = new QLabel(this);
  EscTntLabel->setObjectName("EscTntLabel");
  EscTntLabel->setWordWrap(true);
  DemoImageList.append(PredefinedPicture(kPictureSize));

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ShowAtStartupCheckBox);
  buttons->addStretch(1);
  buttons->addWidget(StartButton);
  buttons->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(SelectLabel);
  layout->addWidget(DemoListView, 1);
  layout->addWidget(EscTntLabel);
  layout->addLayout(buttons);

  connect(DemoListView, &QListWidget::itemSelectionChanged, this, [this] { DemoListViewChange(); });
  connect(DemoListView, &QListWidget::itemDoubleClicked, this, [this] { DemoListViewDblClick(); });
  connect(ShowAtStartupCheckBox, &QCheckBox::clicked, this, [this] { ShowAtStartupCheckBoxClick(); });
  connect(StartButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
  InitializeUnlessOwnedByApplication(*this);
  FormCreate();
}

void TWKDemonstrationForm::Localize() {
  setWindowTitle(ToQString(LanguageString(TWKDemonstrationModule::kCaptionText)));
  SelectLabel->setText(ToQString(LanguageString(kSelectText)));
  ShowAtStartupCheckBox->setText(ToQString(LanguageString(kShowAtStartupText)));
  StartButton->setText(ToQString(LanguageString(kStartText)));
  CloseButton->setText(ToQString(LanguageString(kCloseText)));
  EscTntLabel->setText(ToQString(LanguageString(kEscText)));
}

void TWKDemonstrationForm::FormCreate() {
  for (int32_t i = 0; i < List_.Count(); ++i) {
    const int picture = MakeThumbnail(List_.ImageFile(i));
    auto* item = new QListWidgetItem(QIcon(DemoImageList.value(picture)), ToQString(List_.Caption(i)), DemoListView);
    item->setData(Qt::UserRole, i);
  }
  if (List_.SelectedIndex() >= 0) DemoListView->setCurrentRow(List_.SelectedIndex());
  DemoListViewChange();
  ShowAtStartupCheckBox->setChecked(List_.ShowAtStartup());
}

int TWKDemonstrationForm::MakeThumbnail(const std::string& imageFile) {
  if (imageFile.empty()) return 0;
  QImageReader reader(ToQString(imageFile));
  const QImage picture = DemoThumbnail(reader.read(), kPictureSize, kOutlineColor);
  if (picture.isNull()) return 0;
  DemoImageList.append(QPixmap::fromImage(picture));
  return static_cast<int>(DemoImageList.size()) - 1;
}

void TWKDemonstrationForm::DemoListViewChange() {
  const QList<QListWidgetItem*> selected = DemoListView->selectedItems();
  List_.Select(selected.isEmpty() ? -1 : selected.front()->data(Qt::UserRole).toInt());
  StartButton->setEnabled(List_.StartEnabled());
}

void TWKDemonstrationForm::DemoListViewDblClick() {
  if (StartButton->isEnabled()) StartButton->click();
}

void TWKDemonstrationForm::ShowAtStartupCheckBoxClick() {
  List_.SetShowAtStartup(ShowAtStartupCheckBox->isChecked());
}

void TWKDemonstrationForm::FormClose() { List_.Closing(); }

void TWKDemonstrationForm::showEvent(QShowEvent* event) {
  TWKFormOf<QDialog>::showEvent(event);
  if (const QWidget* main = MainWindow(); main != nullptr && main->isVisible())
    move(main->frameGeometry().center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
}

void TWKDemonstrationForm::done(int result) {
  FormClose();
  TWKFormOf<QDialog>::done(result);
}

bool TQtDemoListForm::ShowModal(TWKDemoList& list) {
  TWKDemonstrationForm form(list, MainWindow());
  return form.exec() == QDialog::Accepted;
}

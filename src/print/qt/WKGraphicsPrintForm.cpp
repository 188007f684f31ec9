#include "print/qt/WKGraphicsPrintForm.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "documents/WKDocumentTexts.h"
#include "documents/WKGraphicsDocument.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/QtText.h"
#include "imaging/WKBitmap.h"
#include "platform/paint/QtPixelPainter.h"
#include "print/qt/WKPrinter.h"

namespace {

enum : int {
  kOkCaption = 1,
  kCancelCaption = 2,
  kPrintCaption = 21,
  kScaleCaption = 35,
  kTopCaption = 148,
  kLeftCaption = 149,
  kWidthCaption = 505,
  kHeightCaption = 506,
  kPrinterCaption = 524,
  kPositionAndSizeCaption = 746,
  kCenterImageCaption = 757,
  kScaleToFitCaption = 758,
  kDoesNotFitQuestion = 761,
  kPrintFailedMessage = 762,
};

// Sets the counter for the life of the object, so that nested writes stay marked.
class TUpdating {
 public:
  explicit TUpdating(int& counter) : Counter_(counter) { ++Counter_; }
  ~TUpdating() { --Counter_; }

 private:
  int& Counter_;
};

QComboBox* NewUnitsBox(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  for (int unit = 0; unit < PrintUnitCount; ++unit) box->addItem(QString());
  return box;
}

QLineEdit* NewEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setMaximumWidth(80);
  return edit;
}

QString Localized(int id, const char* tail = "") { return ToQString(LanguageString(id) + tail); }

// Inches where the system measures in the US way, centimetres everywhere else.
int DefaultUnit() {
  return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? PrintUnitInch
                                                                     : PrintUnitCentimeter;
}

}  // namespace

// --- preview ---

void TWKPrintPreview::SetPage(const TWKPrinterPage& page, const TWKPrintLayout& layout,
                              const TWKGraphicsDocument* document) {
  Page_ = page;
  Layout_ = layout;
  Document_ = document;
  update();
}

void TWKPrintPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TPoint paper = Page_.PaperSize();
  int32_t width = 0, height = 0;
  if (paper.X < 1 || paper.Y < 1 || !FitSize(paper.X, paper.Y, this->width() - 8, this->height() - 8, width, height))
    return;
  const QRect sheet(QPoint((this->width() - width) / 2, (this->height() - height) / 2), QSize(width, height));
  auto map = [&](const TRect& r) {
    auto x = [&](int32_t v) { return sheet.left() + static_cast<int>(double(v) * width / paper.X); };
    auto y = [&](int32_t v) { return sheet.top() + static_cast<int>(double(v) * height / paper.Y); };
    return QRect(QPoint(x(r.Left), y(r.Top)), QPoint(x(r.Right), y(r.Bottom)));
  };
  painter.fillRect(sheet.translated(3, 3), palette().color(QPalette::Shadow));
  painter.fillRect(sheet, Qt::white);
  painter.setClipRect(sheet);
  const QRect image = map(Layout_.PaperRect());
  const QImage pixels = Document_ && Document_->CurrentImage.Pixels()
                            ? WrapPixels(*Document_->CurrentImage.Pixels())
                            : QImage();
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  if (!pixels.isNull())
    painter.drawImage(image, pixels);
  else
    painter.fillRect(image, Qt::gray);
  painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(map(Page_.PrintableRect()).adjusted(0, 0, -1, -1));
  painter.setClipping(false);
  painter.setPen(Qt::black);
  painter.drawRect(sheet.adjusted(0, 0, -1, -1));
}

// --- dialog ---

TWKGraphicsPrintForm::TWKGraphicsPrintForm(TWKComponent* owner, TWKPrinter& printer, QWidget* parent)
    : TWKFormOf<QDialog>(owner, parent), Printer_(printer) {
  setObjectName("GraphicsPrintForm");
  if (PixelPainter() == nullptr) InstallQtPixelPainter();
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);

  CreatePositionAndSizeBox();
  CreateButtonsAndPreview();
  ConnectControls();
  InitializeUnlessOwnedByApplication(*this);
}

void TWKGraphicsPrintForm::CreatePositionAndSizeBox() {
  PositionAndSizeGroupBox = new QGroupBox(this);
  QWidget* box = PositionAndSizeGroupBox;
  LeftLabel = new QLabel(box);
  LeftEdit = NewEdit(box, "LeftEdit");
  LeftUnitsComboBox = NewUnitsBox(box, "LeftUnitsComboBox");
  TopLabel = new QLabel(box);
  TopEdit = NewEdit(box, "TopEdit");
  TopUnitsComboBox = NewUnitsBox(box, "TopUnitsComboBox");
  CenterImageCheckBox = new QCheckBox(box);
  CenterImageCheckBox->setObjectName("CenterImageCheckBox");
  ScaleLabel = new QLabel(box);
  ScaleEdit = NewEdit(box, "ScaleEdit");
  WidthLabel = new QLabel(box);
  WidthEdit = NewEdit(box, "WidthEdit");
  WidthUnitsComboBox = NewUnitsBox(box, "WidthUnitsComboBox");
  HeightLabel = new QLabel(box);
  HeightEdit = NewEdit(box, "HeightEdit");
  HeightUnitsComboBox = NewUnitsBox(box, "HeightUnitsComboBox");
  ScaleToFitMediaCheckBox = new QCheckBox(box);
  ScaleToFitMediaCheckBox->setObjectName("ScaleToFitMediaCheckBox");
  Edits_ = {LeftEdit, TopEdit, WidthEdit, HeightEdit, ScaleEdit};
  UnitBoxes_ = {LeftUnitsComboBox, TopUnitsComboBox, WidthUnitsComboBox, HeightUnitsComboBox};

  auto* grid = new QGridLayout(box);
  grid->addWidget(LeftLabel, 0, 0);
  grid->addWidget(LeftEdit, 0, 1);
  grid->addWidget(LeftUnitsComboBox, 0, 2);
  grid->addWidget(TopLabel, 1, 0);
  grid->addWidget(TopEdit, 1, 1);
  grid->addWidget(TopUnitsComboBox, 1, 2);
  grid->addWidget(CenterImageCheckBox, 2, 0, 1, 3);
  grid->setColumnMinimumWidth(3, 16);
  grid->addWidget(ScaleLabel, 0, 4);
  grid->addWidget(ScaleEdit, 0, 5);
  grid->addWidget(WidthLabel, 1, 4);
  grid->addWidget(WidthEdit, 1, 5);
  grid->addWidget(WidthUnitsComboBox, 1, 6);
  grid->addWidget(HeightLabel, 2, 4);
  grid->addWidget(HeightEdit, 2, 5);
  grid->addWidget(HeightUnitsComboBox, 2, 6);
  grid->addWidget(ScaleToFitMediaCheckBox, 3, 4, 1, 3);

}

void TWKGraphicsPrintForm::CreateButtonsAndPreview() {
  PrinterButton = new QPushButton(this);
  PrinterButton->setObjectName("PrinterButton");
  PrintButton = new QPushButton(this);
  PrintButton->setObjectName("PrintButton");
  PrintButton->setDefault(true);
  CancelButton = new QPushButton(this);
  CancelButton->setObjectName("CancelButton");
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(PrinterButton);
  buttons->addSpacing(8);
  buttons->addWidget(PrintButton);
  buttons->addWidget(CancelButton);
  buttons->addStretch(1);

  Preview = new TWKPrintPreview(this);
  Preview->setObjectName("Preview");
  PrinterNameLabel = new QLabel(this);
  PrinterNameLabel->setObjectName("PrinterNameLabel");
  PrinterNameLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* right = new QVBoxLayout;
  right->addWidget(PositionAndSizeGroupBox);
  right->addWidget(PrinterNameLabel);
  right->addStretch(1);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(Preview);
  layout->addLayout(right);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

}

void TWKGraphicsPrintForm::ConnectControls() {
  for (QComboBox* units : UnitBoxes_)
    connect(units, &QComboBox::currentIndexChanged, this, [this, units] { UnitsChange(units); });
  for (QCheckBox* option : {CenterImageCheckBox, ScaleToFitMediaCheckBox})
    connect(option, &QCheckBox::toggled, this, [this] { OptionsChange(); });
  for (QLineEdit* edit : Edits_) {
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, [this, edit] { EditChange(edit); });
  }
  connect(PrinterButton, &QPushButton::clicked, this, [this] { PrinterButtonClick(); });
  connect(PrintButton, &QPushButton::clicked, this, [this] { PrintButtonClick(); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

std::string TWKGraphicsPrintForm::DecimalSeparator() { return ToStdString(QLocale().decimalPoint()); }

void TWKGraphicsPrintForm::Initialize() {
  TWKFormOf<QDialog>::Initialize();
  TUpdating updating(Updating_);
  const int unit = DefaultUnit();
  for (QComboBox* units : UnitBoxes_)
    units->setCurrentIndex(unit);
  ShowPrinter();
}

void TWKGraphicsPrintForm::Localize() {
  setWindowTitle(Localized(kPrintCaption));
  PositionAndSizeGroupBox->setTitle(" " + Localized(kPositionAndSizeCaption, ": "));
  LeftLabel->setText(Localized(kLeftCaption, ":"));
  TopLabel->setText(Localized(kTopCaption, ":"));
  ScaleLabel->setText(Localized(kScaleCaption, ":"));
  WidthLabel->setText(Localized(kWidthCaption, ":"));
  HeightLabel->setText(Localized(kHeightCaption, ":"));
  CenterImageCheckBox->setText(Localized(kCenterImageCaption));
  ScaleToFitMediaCheckBox->setText(Localized(kScaleToFitCaption));
  PrinterButton->setText(Localized(kPrinterCaption, "..."));
  PrintButton->setText(Localized(kPrintCaption));
  CancelButton->setText(Localized(kCancelCaption));
  for (QComboBox* units : UnitBoxes_)
    for (int unit = 0; unit < PrintUnitCount; ++unit)
      units->setItemText(unit, Localized(PrintUnitCaptionId(unit), "."));
  ShowPrinter();
}

void TWKGraphicsPrintForm::SetDocument(TWKGraphicsDocument* document) {
  Document_ = document;
  if (document != nullptr) Printer_.ProposePdfFile(ToQString(document->DisplayName()));
  ShowPrinter();
  if (document != nullptr)
    Layout_.SetImage(document->CurrentImage.Width(), document->CurrentImage.Height(),
                     document->Metadata.ResolutionX, document->Metadata.ResolutionY);
  CenterOnPaper();
  ShowWidth();
  ShowHeight();
  ShowScale();
}

// --- layout operations, each showing what it changed ---

void TWKGraphicsPrintForm::CenterOnPaper() {
  Layout_.CenterOnPaper(Printer_.Page());
  ShowLeft();
  ShowTop();
}

void TWKGraphicsPrintForm::MoveToPrintableCorner() {
  Layout_.MoveToPrintableCorner(Printer_.Page());
  ShowLeft();
  ShowTop();
}

void TWKGraphicsPrintForm::FitToMedia() {
  Layout_.FitToMedia(Printer_.Page());
  ShowAll();
}

void TWKGraphicsPrintForm::ShowField(QLineEdit* edit, const std::string& text) {
  TUpdating updating(Updating_);
  edit->setText(ToQString(text));
  Preview->SetPage(Printer_.Page(), Layout_, Document_);
}

void TWKGraphicsPrintForm::ShowLeft() {
  ShowField(LeftEdit, PrintUnitText(LeftUnitsComboBox->currentIndex(), Layout_.PrintLeft, DecimalSeparator()));
}

void TWKGraphicsPrintForm::ShowTop() {
  ShowField(TopEdit, PrintUnitText(TopUnitsComboBox->currentIndex(), Layout_.PrintTop, DecimalSeparator()));
}

void TWKGraphicsPrintForm::ShowWidth() {
  ShowField(WidthEdit,
            PrintUnitText(WidthUnitsComboBox->currentIndex(), Layout_.PrintWidth, DecimalSeparator()));
}

void TWKGraphicsPrintForm::ShowHeight() {
  ShowField(HeightEdit,
            PrintUnitText(HeightUnitsComboBox->currentIndex(), Layout_.PrintHeight, DecimalSeparator()));
}

void TWKGraphicsPrintForm::ShowScale() { ShowField(ScaleEdit, PrintScaleText(Layout_.Scale(), DecimalSeparator())); }

void TWKGraphicsPrintForm::ShowAll() {
  ShowLeft();
  ShowTop();
  ShowWidth();
  ShowHeight();
  ShowScale();
}

void TWKGraphicsPrintForm::ShowPrinter() {
  PrinterNameLabel->setText(Localized(kPrinterCaption, ": ") + Printer_.Description());
  if (Preview != nullptr) Preview->SetPage(Printer_.Page(), Layout_, Document_);
}

// --- handlers ---

void TWKGraphicsPrintForm::UnitsChange(QComboBox* box) {
  if (box == LeftUnitsComboBox) ShowLeft();
  if (box == TopUnitsComboBox) ShowTop();
  if (box == WidthUnitsComboBox) ShowWidth();
  if (box == HeightUnitsComboBox) ShowHeight();
}

void TWKGraphicsPrintForm::OptionsChange() {
  if (Updating_ > 0) return;
  TUpdating updating(Updating_);
  const bool fit = ScaleToFitMediaCheckBox->isChecked();
  CenterImageCheckBox->setEnabled(!fit);
  if (fit) CenterImageCheckBox->setChecked(true);
  const bool centre = CenterImageCheckBox->isChecked();
  if (fit)
    FitToMedia();
  else if (centre)
    CenterOnPaper();
  LeftEdit->setEnabled(!centre);
  TopEdit->setEnabled(!centre);
  ScaleEdit->setEnabled(!fit);
  WidthEdit->setEnabled(!fit);
  HeightEdit->setEnabled(!fit);
  Preview->SetPage(Printer_.Page(), Layout_, Document_);
}

TWKPrintField TWKGraphicsPrintForm::FieldOf(const QLineEdit* edit) const {
  if (edit == LeftEdit) return TWKPrintField::Left;
  if (edit == TopEdit) return TWKPrintField::Top;
  if (edit == WidthEdit) return TWKPrintField::Width;
  if (edit == HeightEdit) return TWKPrintField::Height;
  return TWKPrintField::Scale;
}

QComboBox* TWKGraphicsPrintForm::UnitsOf(const QLineEdit* edit) const {
  if (edit == LeftEdit) return LeftUnitsComboBox;
  if (edit == TopEdit) return TopUnitsComboBox;
  if (edit == WidthEdit) return WidthUnitsComboBox;
  if (edit == HeightEdit) return HeightUnitsComboBox;
  return nullptr;
}

bool TWKGraphicsPrintForm::ApplySize(TWKPrintLayout& layout, TWKPrintField field,
                                     const std::string& text) const {
  double value = 0;
  if (field == TWKPrintField::Scale) {
    std::string number = text;
    if (!number.empty() && number.back() == '%') number.pop_back();
    return ParsePrintNumber(number, DecimalSeparator(), value) && layout.SetScale(value);
  }
  const QLineEdit* edit = field == TWKPrintField::Width ? WidthEdit : HeightEdit;
  int32_t size = 0;
  if (!ParsePrintNumber(text, DecimalSeparator(), value) ||
      !PrintUnitToHiMetric(UnitsOf(edit)->currentIndex(), value, size))
    return false;
  return field == TWKPrintField::Width ? layout.SetWidth(size) : layout.SetHeight(size);
}

bool TWKGraphicsPrintForm::SizeAccepted(TWKPrintField field, const std::string& text) const {
  TWKPrintLayout probe = Layout_;
  return ApplySize(probe, field, text);
}

void TWKGraphicsPrintForm::EditChange(QLineEdit* edit) {
  const std::string text = ToStdString(edit->text());
  if (Updating_ > 0 || text.empty()) return;
  const TWKPrintField field = FieldOf(edit);
  if (field == TWKPrintField::Left || field == TWKPrintField::Top) {
    double value = 0;
    int32_t position = 0;
    if (!ParsePrintNumber(text, DecimalSeparator(), value) ||
        !PrintUnitToHiMetric(UnitsOf(edit)->currentIndex(), value, position))
      return;
    (field == TWKPrintField::Left ? Layout_.PrintLeft : Layout_.PrintTop) = position;
    Preview->SetPage(Printer_.Page(), Layout_, Document_);
    return;
  }
  // A size of zero or less, typed or pasted, is refused and changes nothing.
  if (!ApplySize(Layout_, field, text)) return;
  if (CenterImageCheckBox->isChecked()) CenterOnPaper();
  if (field != TWKPrintField::Width) ShowWidth();
  if (field != TWKPrintField::Height) ShowHeight();
}

bool TWKGraphicsPrintForm::EditKeyPress(QLineEdit* edit, QChar typed) {
  const QString text = edit->text();
  const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
  const int end = edit->hasSelectedText() ? edit->selectionEnd() : start;
  const char ascii = typed.unicode() < 128 ? static_cast<char>(typed.unicode()) : '\0';
  std::string inserted;
  if (!AcceptPrintFieldKey(FieldOf(edit), ToStdString(text),
                           static_cast<size_t>(text.left(start).toUtf8().size()),
                           static_cast<size_t>(text.left(end).toUtf8().size()), ascii,
                           DecimalSeparator(), inserted))
    return false;
  if (inserted.size() != 1 || inserted[0] != ascii) {
    edit->insert(ToQString(inserted));
    return false;  // inserted here instead
  }
  return true;
}

void TWKGraphicsPrintForm::EditExit(QLineEdit* edit) {
  const TWKPrintField field = FieldOf(edit);
  const std::string text = PrintFieldExitText(field, ToStdString(edit->text()), DecimalSeparator());
  const bool size = field == TWKPrintField::Width || field == TWKPrintField::Height ||
                    field == TWKPrintField::Scale;
  if (size && !SizeAccepted(field, text)) {
    // The size in use stays, and the field shows it again.
    if (field == TWKPrintField::Width) ShowWidth();
    if (field == TWKPrintField::Height) ShowHeight();
    if (field == TWKPrintField::Scale) ShowScale();
    return;
  }
  if (ToQString(text) != edit->text()) edit->setText(ToQString(text));
}

bool TWKGraphicsPrintForm::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  if (edit == nullptr || std::find(Edits_.begin(), Edits_.end(), edit) == Edits_.end())
    return TWKFormOf<QDialog>::eventFilter(watched, event);
  if (event->type() == QEvent::FocusOut) {
    EditExit(edit);
  } else if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // Only typed characters are filtered; editing keys and shortcuts pass.
    if (!command && text.size() == 1 && text[0].isPrint() && !EditKeyPress(edit, text[0])) return true;
  }
  return TWKFormOf<QDialog>::eventFilter(watched, event);
}

void TWKGraphicsPrintForm::PrinterButtonClick() {
  QPrintDialog dialog(&Printer_.Device(), this);
  dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
  // Here the dialog only sets the printer up; printing is the Print button's.
  for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>())
    if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) ok->setText(Localized(kOkCaption));
  if (dialog.exec() != QDialog::Accepted) return;
  ShowPrinter();
  OptionsChange();
}

void TWKGraphicsPrintForm::PrintButtonClick() {
  const TWKPrinterPage page = Printer_.Page();
  if (!Layout_.FitsPrintableArea(page)) {
    TWKApplication* app = Application();
    const int answer = app != nullptr ? app->MessageBox(LanguageString(kDoesNotFitQuestion),
                                                        ToStdString(windowTitle()), MB_YESNO | MB_ICONQUESTION)
                                      : IDNO;
    if (answer != IDYES) {
      if (Layout_.CorrectToPrintableArea(page)) {
        ShowAll();
      } else {
        ShowLeft();
        ShowTop();
      }
      return;
    }
  }
  if (PrintPage(Layout_.DeviceRect(page))) accept();
}

bool TWKGraphicsPrintForm::PrintPage(const TRect& deviceRect) {
  if (Document_ == nullptr) return false;
  QPrinter& printer = Printer_.Device();
  printer.setDocName(ToQString(Document_->DisplayName()));
  QPainter painter;
  bool printed = painter.begin(&printer);
  if (printed) {
    TQtPaintDevice device(painter);
    printed = Document_->CurrentImage.Print(device, deviceRect);
    printed = painter.end() && printed;
  }
  if (!printed) {
    const std::string message =
        FormatText(LanguageString(kPrintFailedMessage), ToStdString(Printer_.Description()));
    if (TWKApplication* app = Application()) app->MessageBox(message, ToStdString(windowTitle()), MB_OK | MB_ICONERROR);
  }
  return printed;
}

void TWKGraphicsPrintForm::showEvent(QShowEvent* event) {
  TWKFormOf<QDialog>::showEvent(event);
  if (QWidget* owner = parentWidget()) move(owner->window()->geometry().center() - rect().center());
}

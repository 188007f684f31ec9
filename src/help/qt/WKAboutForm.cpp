#include "help/qt/WKAboutForm.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTabBar>
#include <QVBoxLayout>

#include "framework/WKLocalizer.h"
#include "framework/qt/QtText.h"
#include "help/WKShell.h"

// The picture lives in this library's resources, which a static library must register.
static void InitAboutResources() { Q_INIT_RESOURCE(about); }

namespace {

constexpr int kAboutCaption = 47;

class TFontMetrics : public IWKLabelMetrics {
 public:
  explicit TFontMetrics(const QFont& font) : Font_(font), Metrics_(font) {}
  TSize TextSize(const std::string& text, bool bold) const override {
    QFont font = Font_;
    font.setBold(bold);
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
  }
  int32_t LineHeight() const override { return Metrics_.height() + Metrics_.leading(); }
  int32_t ExternalLeading() const override { return Metrics_.leading(); }
  int32_t AverageCharWidth() const override { return Metrics_.averageCharWidth(); }

 private:
  QFont Font_;
  QFontMetrics Metrics_;
};

}  // namespace

TWKLogoBackground::TWKLogoBackground(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  InitAboutResources();
}

bool TWKLogoBackground::LoadPicture(const std::string& resourceName) {
  return Picture_.load(QStringLiteral(":/help/%1.svg").arg(ToQString(resourceName).toLower()));
}

int TWKLogoBackground::PictureWidth() const {
  return Picture_.isValid() ? Picture_.defaultSize().width() : 0;
}

QSize TWKLogoBackground::sizeHint() const {
  return Picture_.isValid() ? Picture_.defaultSize() : QSize(420, 220);
}

void TWKLogoBackground::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (Picture_.isValid())
    Picture_.render(&painter, QRectF(rect()));
  else
    painter.fillRect(rect(), palette().color(QPalette::Window));
}

void TWKLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
    OnClick();
}

TWKAboutForm::TWKAboutForm(TWKComponent* owner, const TWKAboutLayoutTable& layout, IWKShell& shell,
                           QWidget* parent)
    : TWKFormOf<QDialog>(owner, parent), Layout_(layout), Shell_(shell) {
  setObjectName("AboutForm");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);
  AboutTabControl = new QTabBar(this);
  AboutTabControl->setObjectName("AboutTabControl");
  AboutTabControl->installEventFilter(this);
  Background = new TWKLogoBackground(this);
  Background->setObjectName("LogoBackground");
  Background->LoadPicture(Layout_.ResourceName);
  Background->setFixedSize(Background->sizeHint());
  auto* box = new QVBoxLayout(this);
  box->setSpacing(0);
  box->addWidget(AboutTabControl);
  box->addWidget(Background);
  box->setSizeConstraint(QLayout::SetFixedSize);

  CreateLabels();
  connect(AboutTabControl, &QTabBar::currentChanged, this, [this] { AboutTabControlChange(); });
  AboutTabControlChange();
  InitializeUnlessOwnedByApplication(*this);
}

void TWKAboutForm::CreateLabels() {
  const TFontMetrics metrics(font());
  Placed_ = LayoutAboutLabels(Layout_, Background->width(), Background->PictureWidth(), metrics);
  Pages_ = {0};
  for (int32_t page : AboutTabPages(Layout_)) Pages_.push_back(page);
  for (size_t i = 0; i < Pages_.size(); ++i) AboutTabControl->addTab(QString());

  for (const TWKAboutLabel& placed : Placed_) {
    QLabel* label = nullptr;
    if (placed.Flags & LabelHyperlink) {
      auto* link = new TWKLinkLabel(Background);
      link->Address = placed.Hint;
      link->OnClick = [this, link] { LinkLabelClick(link); };
      link->setToolTip(ToQString(placed.Hint));
      link->setCursor(Qt::PointingHandCursor);
      label = link;
    } else {
      label = new QLabel(Background);
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(ToQString(placed.Text));
    QFont font = label->font();
    font.setBold((placed.Flags & LabelBold) != 0);
    font.setUnderline((placed.Flags & LabelHyperlink) != 0);
    label->setFont(font);
    QPalette palette = label->palette();
    if (placed.Flags & LabelWhite) palette.setColor(QPalette::WindowText, Qt::white);
    if (placed.Flags & LabelHyperlink) palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setWordWrap((placed.Flags & LabelWordWrap) != 0);
    label->setAlignment(((placed.Flags & LabelRightAligned) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    const TRect& r = placed.Bounds;
    label->setGeometry(r.Left, r.Top, r.Width(), r.Height());
    Labels.push_back(label);
  }
}

void TWKAboutForm::Localize() {
  setWindowTitle(ToQString(LanguageString(kAboutCaption)));
  for (int tab = 0; tab < AboutTabControl->count(); ++tab)
    AboutTabControl->setTabText(tab, ToQString(AboutTabName(Pages_[static_cast<size_t>(tab)])));
}

void TWKAboutForm::AboutTabControlChange() {
  const int tab = AboutTabControl->currentIndex();
  const int32_t page = tab >= 0 ? Pages_[static_cast<size_t>(tab)] : 0;
  for (size_t i = 0; i < Labels.size(); ++i) Labels[i]->setVisible(Placed_[i].Tab == page || Placed_[i].Tab < 0);
}

void TWKAboutForm::LinkLabelClick(TWKLinkLabel* label) { Shell_.OpenUrl(label->Address); }

bool TWKAboutForm::FormKeyDown(int key) {
  if (key != Qt::Key_Escape && key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  accept();
  return true;
}

bool TWKAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && FormKeyDown(static_cast<QKeyEvent*>(event)->key())) return true;
  return TWKFormOf<QDialog>::eventFilter(watched, event);
}

void TWKAboutForm::keyPressEvent(QKeyEvent* event) {
  if (!FormKeyDown(event->key())) TWKFormOf<QDialog>::keyPressEvent(event);
}

void TWKAboutForm::showEvent(QShowEvent* event) {
  TWKFormOf<QDialog>::showEvent(event);
  if (QWidget* owner = parentWidget()) move(owner->window()->geometry().center() - rect().center());
}

#include "framework/qt/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "framework/qt/QtText.h"

namespace {

QMessageBox::Icon IconFor(int flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

}  // namespace

int TQtMessageBoxService::MessageBox(const std::string& text, const std::string& caption, int flags) {
  QMessageBox box(IconFor(flags), ToQString(caption), ToQString(text), QMessageBox::NoButton,
                  QApplication::activeWindow());
  struct TButton {
    QMessageBox::StandardButton Button;
    int Result;
  };
  std::vector<TButton> buttons;
  switch (flags & MB_BUTTONMASK) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_YESNOCANCEL:
      buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
      break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
  }
  for (const auto& b : buttons) box.addButton(b.Button);
  const size_t defaultIndex = (flags & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
  box.setDefaultButton(buttons[defaultIndex].Button);
  box.setEscapeButton(buttons.back().Button);
  box.exec();
  for (const auto& b : buttons)
    if (box.clickedButton() == box.button(b.Button)) return b.Result;
  return buttons.back().Result;
}

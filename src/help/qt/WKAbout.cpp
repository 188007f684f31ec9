#include "help/qt/WKAbout.h"

#include "documents/WKEditorUI.h"
#include "framework/WKLocalizer.h"
#include "help/qt/WKAboutForm.h"

namespace {
constexpr int kAboutCaption = 47;
}

TWKAbout::TWKAbout(TWKComponent* owner, IWKMainWindow& window, IWKShell& shell, QWidget* dialogParent)
    : TWKModule(owner), Shell_(shell), DialogParent_(dialogParent) {
  Name = "About";
  AboutMenuSeparator = window.AddSeparator(window.HelpMenuItem(), nullptr);
  AboutMenuItem = window.AddMenuItem(LanguageString(kAboutCaption), "", nullptr, window.HelpMenuItem(), -1,
                                     [this] { ShowAbout(); });
}

void TWKAbout::SetLayout(const TWKLabelDescriptor* labels, int32_t count, const std::string& resourceName) {
  Layout_.Labels = labels;
  Layout_.Count = count;
  Layout_.ResourceName = resourceName;
}

void TWKAbout::ShowAbout() {
  TWKAboutForm form(nullptr, Layout_, Shell_, DialogParent_);
  form.exec();
}

void TWKAbout::Localize() { AboutMenuItem->SetCaption(LanguageString(kAboutCaption)); }

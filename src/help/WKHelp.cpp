#include "help/WKHelp.h"

#include "documents/WKBusyCursor.h"
#include "documents/WKDocumentTexts.h"
#include "documents/WKEditorUI.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/WKPaths.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "help/WKInetUpdater.h"
#include "help/WKShell.h"
#include "help/WKVersion.h"

namespace {

enum : int {
  kUpdateCheckCaption = 107,
  kContentsCaption = 128,
  kTechnicalSupportCaption = 131,
  kGettingStartedCaption = 165,
  kCheckForUpdatesCaption = 3020,
  kNoNewerVersionMessage = 3021,
  kNewVersionMessage = 3022,
  kNewVersionQuestion = 3023,
  kHelpPageMissingMessage = 3024,
};

constexpr const char* kFallbackLanguage = "English";

// The help folder's name for the current language: its language file's base name.
std::string CurrentLanguageFolder() {
  const TWKLocalizer* localizer = Localizer();
  const TWKLanguage* language = localizer ? localizer->FindLanguage(localizer->CurrentLanguageId) : nullptr;
  return language ? ExtractBaseName(language->FileName) : kFallbackLanguage;
}

}  // namespace

const char* HelpTopicPage(int topic) {
  switch (topic) {
    case TWKHelp::GettingStartedTopic: return "getting-started.html";
    case TWKHelp::TechnicalSupportTopic: return "support.html";
    default: return "index.html";
  }
}

TWKHelp::TWKHelp(TWKComponent* owner, IWKMainWindow& window, IWKShell& shell, IWKDownloader& downloader)
    : TWKModule(owner), Window_(window), Shell_(shell), Downloader_(downloader) {
  Name = "Help";
  SetHelpFolder(ProgramDataFolder("Help") + "Help/");
  CreateMenuItems();
}

void TWKHelp::CreateMenuItems() {
  IWKUIItem* menu = Window_.HelpMenuItem();
  ContentsMenuItem = Window_.AddMenuItem(LanguageString(kContentsCaption), "F1", nullptr, menu, -1,
                                         [this] { ShowTopic(ContentsTopic); });
  ContentsMenuSeparator = Window_.AddSeparator(menu, nullptr);
  GettingStartedMenuItem = Window_.AddMenuItem(LanguageString(kGettingStartedCaption), "", nullptr, menu, -1,
                                               [this] { ShowTopic(GettingStartedTopic); });
  TechnicalSupportMenuItem = Window_.AddMenuItem(LanguageString(kTechnicalSupportCaption), "", nullptr, menu,
                                                 -1, [this] { ShowTopic(TechnicalSupportTopic); });
  UpdateMenuSeparator = Window_.AddSeparator(menu, nullptr);
  UpdateMenuItem = Window_.AddMenuItem(LanguageString(kCheckForUpdatesCaption) + "...", "", nullptr, menu, -1,
                                       [this] { CheckForUpdates(); });
}

void TWKHelp::Localize() {
  ContentsMenuItem->SetCaption(LanguageString(kContentsCaption));
  GettingStartedMenuItem->SetCaption(LanguageString(kGettingStartedCaption));
  TechnicalSupportMenuItem->SetCaption(LanguageString(kTechnicalSupportCaption));
  UpdateMenuItem->SetCaption(LanguageString(kCheckForUpdatesCaption) + "...");
}

void TWKHelp::LoadSettings(TWKSDFReader& reader) {
  if (!reader.OpenNode(1, SettingsGuid)) return;
  bool unused = false;
  reader.ReadBoolean(1, unused);  // kept for the file's sake only
  reader.CloseNode();
}

void TWKHelp::SaveSettings(TWKSDFWriter& writer) {
  writer.BeginNode(1, SettingsGuid);
  writer.WriteBoolean(1, false);
  writer.EndNode();
}

void TWKHelp::SetHelpFolder(const std::string& folder) {
  HelpFolder_ = folder;
  if (!HelpFolder_.empty() && HelpFolder_.back() != '/') HelpFolder_ += '/';
}

std::string TWKHelp::TopicFileName(int topic) const {
  for (const std::string& language : {CurrentLanguageFolder(), std::string(kFallbackLanguage)}) {
    const std::string page = HelpFolder_ + language + "/" + HelpTopicPage(topic);
    if (FileExists(page)) return page;
  }
  return {};
}

void TWKHelp::ShowTopic(int topic) {
  const std::string page = TopicFileName(topic);
  if (!page.empty()) {
    Shell_.OpenFile(page);
    return;
  }
  if (TWKApplication* app = Application()) {
    const std::string expected = HelpFolder_ + kFallbackLanguage + "/" + HelpTopicPage(topic);
    app->MessageBox(FormatText(LanguageString(kHelpPageMissingMessage), expected), MB_OK | MB_ICONERROR);
  }
}

void TWKHelp::CheckForUpdates() {
  std::string version;
  {
    TWKBusyCursor busy;
    version = TWKInetUpdater(UpdateUrl, {ProductCode + "-" + LanguageName, ProductCode}, Downloader_).Version;
  }
  TWKApplication* app = Application();
  if (app == nullptr) return;
  if (IsNewerVersion(ProductVersion, version)) {
    const std::string text =
        LanguageString(kNewVersionMessage) + " (" + version + ") " + LanguageString(kNewVersionQuestion);
    if (app->MessageBox(text, MB_OKCANCEL) == IDOK) Shell_.OpenUrl(HomePage);
    return;
  }
  app->MessageBox(LanguageString(kNoNewerVersionMessage), LanguageString(kUpdateCheckCaption), MB_OK);
}

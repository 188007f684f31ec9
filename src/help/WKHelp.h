// The help module: the help pages shipped with the program, opened at fixed topics in the
// default browser, and the check for a newer version on the vendor's update server.
#pragma once

#include <string>
#include <vector>

#include "framework/WKGuid.h"
#include "framework/WKModule.h"

class IWKDownloader;
class IWKMainWindow;
class IWKShell;
class IWKUIItem;

class TWKHelp : public TWKModule {
 public:
  static constexpr TWKGUID SettingsGuid = WKGuid("{3F084D7D-FB21-44A5-BA4F-B6FF3AE0B41D}");
  // Topics of the Help menu.
  static constexpr int ContentsTopic = 0;
  static constexpr int GettingStartedTopic = 20;
  static constexpr int TechnicalSupportTopic = 30;

  TWKHelp(TWKComponent* owner, IWKMainWindow& window, IWKShell& shell, IWKDownloader& downloader);

  // Set by the composition, then constant.
  std::string ProductCode = "Quillmoor";
  std::string ProductVersion;
  std::string LanguageName = "English";
  std::string HomePage;
  std::string UpdateUrl;

  IWKUIItem* ContentsMenuItem = nullptr;
  IWKUIItem* ContentsMenuSeparator = nullptr;
  IWKUIItem* GettingStartedMenuItem = nullptr;
  IWKUIItem* TechnicalSupportMenuItem = nullptr;
  IWKUIItem* UpdateMenuSeparator = nullptr;
  IWKUIItem* UpdateMenuItem = nullptr;

  // The folder of the help pages: one subfolder per language, named after its language file
  // ("English", "German"), with "/" at the end.
  void SetHelpFolder(const std::string& folder);
  const std::string& HelpFolder() const { return HelpFolder_; }
  // The page of a topic in the current language, else in English; "" when neither exists.
  std::string TopicFileName(int topic) const;
  // Opens the topic's page, or reports that it is missing.
  void ShowTopic(int topic);
  void CheckForUpdates();

  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;

 protected:
  // Appends the help items to the Help menu; called at the end of construction.
  virtual void CreateMenuItems();

 private:
  IWKMainWindow& Window_;
  IWKShell& Shell_;
  IWKDownloader& Downloader_;
  std::string HelpFolder_;
};

// The file name of a topic's page: the contents for 0 and any topic not known.
const char* HelpTopicPage(int topic);

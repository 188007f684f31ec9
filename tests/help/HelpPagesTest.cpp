// The help pages shipped with the program: every topic in every language, links that lead
// somewhere, and the same sections in each language.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "help/WKHelp.h"
#include "support/ShippedLanguages.h"

namespace {

namespace fs = std::filesystem;

fs::path HelpFolder() { return fs::path(TShippedLanguages::DataFolder()) / "Help"; }

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> Ids(const std::string& html) {
  std::set<std::string> ids;
  static const std::regex id(R"re(\bid="([^"]+)")re");
  for (std::sregex_iterator it(html.begin(), html.end(), id), end; it != end; ++it) ids.insert((*it)[1]);
  return ids;
}

TEST(HelpPages, EveryTopicExistsInEveryLanguage) {
  for (const char* language : {"English", "German"})
    for (int topic : {TWKHelp::ContentsTopic, TWKHelp::GettingStartedTopic, TWKHelp::TechnicalSupportTopic}) {
      const fs::path page = HelpFolder() / language / HelpTopicPage(topic);
      ASSERT_TRUE(fs::is_regular_file(page)) << page;
      const std::string html = Read(page);
      EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos) << page;
      EXPECT_NE(html.find("</html>"), std::string::npos) << page;
    }
}

TEST(HelpPages, LocalLinksLeadToPagesAndSections) {
  static const std::regex link(R"re(\b(?:href|src)="([^"]*)")re");
  for (const char* language : {"English", "German"})
    for (const auto& entry : fs::directory_iterator(HelpFolder() / language)) {
      const std::string html = Read(entry.path());
      for (std::sregex_iterator it(html.begin(), html.end(), link), end; it != end; ++it) {
        const std::string target = (*it)[1];
        if (target.rfind("https://", 0) == 0) continue;
        ASSERT_EQ(target.find(':'), std::string::npos) << entry.path() << " links to " << target;
        const size_t hash = target.find('#');
        const std::string file = target.substr(0, hash);
        const fs::path linked = file.empty() ? entry.path() : entry.path().parent_path() / file;
        ASSERT_TRUE(fs::is_regular_file(linked)) << entry.path() << " links to " << target;
        if (hash != std::string::npos) {
          EXPECT_TRUE(Ids(Read(linked)).count(target.substr(hash + 1))) << entry.path() << " links to " << target;
        }
      }
    }
}

TEST(HelpPages, BothLanguagesHaveTheSameSections) {
  for (const auto& entry : fs::directory_iterator(HelpFolder() / "English")) {
    const fs::path german = HelpFolder() / "German" / entry.path().filename();
    ASSERT_TRUE(fs::is_regular_file(german)) << german;
    EXPECT_EQ(Ids(Read(entry.path())), Ids(Read(german))) << entry.path().filename();
  }
}

}  // namespace

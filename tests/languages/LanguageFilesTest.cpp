// Checks the shipped language files: encoding, header, and that both languages carry the same
// strings with the same placeholders. Self-contained: its own reader of the INI line rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TLanguageFile {
  bool HasBom = false;
  std::map<std::string, std::string> Language;  // key (lower case) -> value
  std::map<long, std::string> Strings;
  std::vector<long> Duplicates;
  std::vector<std::string> BadLines;  // lines in [Strings] that are not "integer=text"
};

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

std::string Trim(const std::string& s) {
  auto blank = [](unsigned char c) { return c <= ' '; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool ParseInteger(const std::string& s, long& value) {
  if (s.empty()) return false;
  size_t used = 0;
  try {
    value = std::stol(s, &used);
  } catch (...) {
    return false;
  }
  return used == s.size();
}

void AddLine(TLanguageFile& file, const std::string& section, const std::string& line) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) {
    if (section == "strings") file.BadLines.push_back(line);
    return;
  }
  const std::string name = Trim(line.substr(0, eq));
  const std::string value = Trim(line.substr(eq + 1));
  if (section == "language") {
    file.Language.emplace(Lower(name), value);
    return;
  }
  if (section != "strings") return;
  long id = 0;
  if (!ParseInteger(name, id)) {
    file.BadLines.push_back(line);
    return;
  }
  if (!file.Strings.emplace(id, value).second) file.Duplicates.push_back(id);
}

TLanguageFile ReadLanguageFile(const std::string& path) {
  TLanguageFile file;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return file;
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
  file.HasBom = text.rfind("\xEF\xBB\xBF", 0) == 0;
  if (file.HasBom) text.erase(0, 3);
  std::istringstream lines(text);
  std::string raw, section;
  bool inSection = false;
  while (std::getline(lines, raw)) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = Lower(Trim(line.substr(1, line.size() - 2)));
      inSection = true;
    } else if (inSection) {
      AddLine(file, section, line);
    }
  }
  return file;
}

bool IsValidUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char lead = s[i];
    int extra = -1;
    if (lead < 0x80) extra = 0;
    else if ((lead >> 5) == 0x06) extra = 1;
    else if ((lead >> 4) == 0x0E) extra = 2;
    else if ((lead >> 3) == 0x1E) extra = 3;
    if (extra < 0 || i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x02) return false;
    i += extra + 1;
  }
  return true;
}

// printf-style placeholders must keep their order; positional ones (%1, %2) may move.
std::vector<std::string> Placeholders(const std::string& text) {
  static const std::regex printfToken(R"(%[-+#0]*[0-9]*(\.[0-9]+)?[sdiuxXfgec])");
  static const std::regex positionalToken(R"(%[0-9]+)");
  std::vector<std::string> ordered, positional;
  for (std::sregex_iterator it(text.begin(), text.end(), printfToken), end; it != end; ++it)
    ordered.push_back(it->str());
  for (std::sregex_iterator it(text.begin(), text.end(), positionalToken), end; it != end; ++it)
    positional.push_back(it->str());
  std::sort(positional.begin(), positional.end());
  ordered.insert(ordered.end(), positional.begin(), positional.end());
  return ordered;
}

class LanguageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* data = std::getenv("QM_DATA");
    ASSERT_NE(data, nullptr) << "QM_DATA is not set";
    const std::string folder = std::string(data) + "/Languages/";
    English = ReadLanguageFile(folder + "English.ini");
    German = ReadLanguageFile(folder + "German.ini");
  }
  TLanguageFile English, German;
};

void ExpectWellFormed(const TLanguageFile& file, const std::string& langId, const std::string& name) {
  EXPECT_TRUE(file.HasBom);
  EXPECT_EQ(file.Language.count("langid") ? file.Language.at("langid") : "", langId);
  EXPECT_EQ(file.Language.count("language") ? file.Language.at("language") : "", name);
  EXPECT_FALSE(file.Strings.empty());
  EXPECT_TRUE(file.Duplicates.empty()) << "duplicate number " << file.Duplicates.front();
  EXPECT_TRUE(file.BadLines.empty()) << "not a numbered string: " << file.BadLines.front();
  for (const auto& [id, text] : file.Strings) {
    EXPECT_FALSE(text.empty()) << "empty text for " << id;
    EXPECT_TRUE(IsValidUtf8(text)) << "invalid UTF-8 in " << id;
  }
}

}  // namespace

TEST_F(LanguageFiles, EachFileHasBomHeaderAndUniqueNonEmptyStrings) {
  ExpectWellFormed(English, "1033", "English");
  ExpectWellFormed(German, "1031", "Deutsch");
}

TEST_F(LanguageFiles, BothLanguagesHoldTheSameNumbersAndPlaceholders) {
  for (const auto& [id, text] : English.Strings) {
    auto other = German.Strings.find(id);
    if (other == German.Strings.end()) {
      ADD_FAILURE() << id << " is missing from German.ini";
      continue;
    }
    EXPECT_EQ(Placeholders(text), Placeholders(other->second)) << "placeholders differ in " << id;
  }
  for (const auto& entry : German.Strings)
    EXPECT_TRUE(English.Strings.count(entry.first)) << entry.first << " is missing from English.ini";
}

TEST(LanguageFileReader, FindsPlaceholdersInOrder) {
  EXPECT_EQ(Placeholders("Open %s (%d x %d)"), (std::vector<std::string>{"%s", "%d", "%d"}));
  EXPECT_EQ(Placeholders("%2 then %1"), (std::vector<std::string>{"%1", "%2"}));
  EXPECT_TRUE(Placeholders("100% sure").empty());
  EXPECT_FALSE(IsValidUtf8("Gr\xF6\xDF" "e"));
  EXPECT_TRUE(IsValidUtf8("Gr\xC3\xB6\xC3\x9F" "e"));
}

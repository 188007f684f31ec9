// The built QuillmoorPlugin.8bf loaded with dlopen and driven through ENTRYPOINT, finding the
// test program through the registry stand-in of a temporary configuration folder.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>

#include "TestHost.h"
#include "TestSupport.h"
#include "platform/system/NamedMutex.h"
#include "platform/system/Registry.h"
#include "plugin/PiPL.h"

namespace {

class PluginHostTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Plugin = new TLoadedPlugin(QM_TEST_EDITOR);
    Entry = Plugin->Entry;
    ASSERT_NE(nullptr, Entry) << Plugin->Error;
  }
  static void TearDownTestSuite() {
    delete Plugin;
  }
  void SetUp() override {
    ASSERT_NE(nullptr, Entry);
    TTestHost::AdvanceCalls = 0;
    TTestHost::FailAdvanceAt = 0;
  }

  int16_t Call(int16_t selector, void* block) {
    int16_t result = 1;
    Entry(selector, block, nullptr, &result);
    return result;
  }
  int16_t Filter(TTestHost& host, const std::string& action, int exitCode = 0) {
    TTestHost::Current = &host;
    TScopedEnv a("QM_EDITOR_ACTION", action);
    TScopedEnv e("QM_EDITOR_EXIT", std::to_string(exitCode));
    const int16_t result = Call(filter::kSelectorStart, host.Block.get());
    TTestHost::Current = nullptr;
    return result;
  }

  static inline TLoadedPlugin* Plugin = nullptr;
  static inline TLoadedPlugin::TEntry Entry = nullptr;
  TTempFolder Temp;
  TScopedEnv TmpDir{"TMPDIR", Temp.Path};
};

// Reads section headers and contents straight from an ELF file, bounds-checked.
class TElfFile {
 public:
  explicit TElfFile(const std::string& path) : Bytes_(ReadTextFile(path)) {
    if (Bytes_.size() >= sizeof Header_) std::memcpy(&Header_, Bytes_.data(), sizeof Header_);
  }
  Elf64_Shdr Section(size_t i) const {
    Elf64_Shdr sh{};
    if (i < Header_.e_shnum && Header_.e_shoff + (i + 1) * sizeof sh <= Bytes_.size())
      std::memcpy(&sh, Bytes_.data() + Header_.e_shoff + i * sizeof sh, sizeof sh);
    return sh;
  }
  std::string Contents(const Elf64_Shdr& sh) const {
    return sh.sh_offset + sh.sh_size <= Bytes_.size() ? Bytes_.substr(sh.sh_offset, sh.sh_size) : "";
  }
  static std::string NameAt(const std::string& table, size_t at) {
    return at < table.size() ? std::string(table.c_str() + at) : "";
  }
  std::string SectionNamed(const std::string& name) const {
    const std::string names = Contents(Section(Header_.e_shstrndx));
    for (size_t i = 0; i < Header_.e_shnum; ++i)
      if (NameAt(names, Section(i).sh_name) == name) return Contents(Section(i));
    return "";
  }
  // Names of the symbols the library defines for others to use.
  std::vector<std::string> ExportedSymbols() const {
    std::vector<std::string> names;
    for (size_t i = 0; i < Header_.e_shnum; ++i) {
      const Elf64_Shdr sh = Section(i);
      if (sh.sh_type != SHT_DYNSYM) continue;
      const std::string symbols = Contents(sh), strings = Contents(Section(sh.sh_link));
      for (size_t at = 0; at + sizeof(Elf64_Sym) <= symbols.size(); at += sizeof(Elf64_Sym)) {
        Elf64_Sym sym;
        std::memcpy(&sym, symbols.data() + at, sizeof sym);
        const int bind = ELF64_ST_BIND(sym.st_info);
        if (sym.st_shndx != SHN_UNDEF && (bind == STB_GLOBAL || bind == STB_WEAK || bind == STB_GNU_UNIQUE))
          names.push_back(NameAt(strings, sym.st_name));
      }
    }
    return names;
  }

 private:
  std::string Bytes_;
  Elf64_Ehdr Header_{};
};

}  // namespace

TEST_F(PluginHostTest, ExportsOnlyTheEntryPointAndCarriesThePropertyList) {
  const TElfFile library(QM_PLUGIN_PATH);
  EXPECT_EQ(std::vector<std::string>{"ENTRYPOINT"}, library.ExportedSymbols());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(QuillmoorPiPL), QuillmoorPiPLSize),
            library.SectionNamed("PIPL"));
  EXPECT_TRUE(TNamedMutex::IsHeld("QuillmoorMutexName"));
}

TEST_F(PluginHostTest, SelectorsAndAbout) {
  TTestHost host(4, 4, 3, 12);
  for (int16_t s : {1, 2, 4, 5}) EXPECT_EQ(0, Call(s, host.Block.get())) << s;
  EXPECT_EQ(-30100, Call(6, host.Block.get()));
  EXPECT_EQ(-30100, Call(-2, host.Block.get()));
  Entry(3, host.Block.get(), nullptr, nullptr);  // no result to store: nothing happens

  filter::TPlatformData window{5};
  filter::TAboutRecord about{&window};
  TStderrCapture err;
  EXPECT_EQ(0, Call(0, &about));
  EXPECT_EQ("About Quillmoor Plug-in: Quillmoor Plug-in\nVersion: " QM_VERSION "\n", err.Text());
}

TEST_F(PluginHostTest, RoundTripThroughTheLoadedLibrary) {
  for (int planes : {3, 4}) {
    SCOPED_TRACE(planes);
    TTestHost host(160, 90, planes, 160 * planes + 3);
    host.SetFilterRect(100, 50, 133, 61);
    const std::vector<uint8_t> before = host.Snapshot();
    ASSERT_EQ(0, Filter(host, "invert"));
    for (int y = 0; y < 90; ++y)
      for (int x = 0; x < 160; ++x) {
        const size_t at = size_t(host.At(x, y) - host.Pixels.get());
        const bool inside = x >= 100 && x < 133 && y >= 50 && y < 61;
        for (int p = 0; p < planes; ++p)
          ASSERT_EQ(inside && p < 3 ? uint8_t(255 - before[at + p]) : before[at + p], host.Pixels[at + p])
              << x << "," << y << " plane " << p;
      }
    EXPECT_TRUE(Temp.Files().empty());
  }
  TTestHost narrow(3, 4, 3, 9);
  const std::vector<uint8_t> before = narrow.Snapshot();
  ASSERT_EQ(0, Filter(narrow, "invert"));
  for (size_t i = 0; i < narrow.Size; ++i) ASSERT_EQ(uint8_t(255 - before[i]), narrow.Pixels[i]);
}

TEST_F(PluginHostTest, CancelAndRefusedResults) {
  TTestHost host(9, 6, 4, 40);
  host.SetFilterRect(2, 1, 9, 6);
  const std::vector<uint8_t> before = host.Snapshot();
  {
    TStderrCapture err;
    EXPECT_EQ(-128, Filter(host, "invert", 1));
    EXPECT_EQ(-128, Filter(host, "invert", -1));
    EXPECT_EQ("", err.Text());
  }
  EXPECT_EQ(before, host.Snapshot());
  EXPECT_TRUE(Temp.Files().empty());
  for (const char* patch : {"", "HeaderSize=65536", "RowBytes=-1"}) {
    TScopedEnv p("QM_EDITOR_PATCH", std::string(patch));
    TStderrCapture err;
    EXPECT_EQ(-128, Filter(host, *patch ? "invert" : "grow"));
    EXPECT_EQ("Error: Transfer image data error.\n", err.Text()) << patch;
    EXPECT_EQ(before, host.Snapshot());
  }
  EXPECT_TRUE(Temp.Files().empty());
}

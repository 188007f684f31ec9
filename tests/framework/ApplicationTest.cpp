#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>

#include "TempFolder.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/WKModule.h"
#include "framework/WKPaths.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"

namespace {

// Delivers posted deferred-call messages one at a time, as a message loop would.
class TFakeLoop : public IWKMessageLoop {
 public:
  explicit TFakeLoop(TWKApplication& app) : App_(app) {}
  void PostDeferredCallMessage() override { ++posted; }
  void Run() override { ++runs; }
  // Delivers one message; false when none is pending.
  bool DeliverOne() {
    if (posted == delivered) return false;
    ++delivered;
    App_.ProcessDeferredCall();
    return true;
  }
  int posted = 0, delivered = 0, runs = 0;

 private:
  TWKApplication& App_;
};

class TFakeBoxes : public IWKMessageBoxService {
 public:
  int MessageBox(const std::string& text, const std::string& caption, int flags) override {
    last = caption + "|" + text;
    return flags == MB_YESNO ? IDYES : IDOK;
  }
  std::string last;
};

std::vector<std::string> gLog;

// A participant that keeps one integer in its own section.
class TProbe : public TWKModuleWithControls {
 public:
  TProbe(TWKComponent* owner, std::string name, TWKGUID guid)
      : TWKModuleWithControls(owner), Guid_(guid) {
    Name = std::move(name);
  }
  void Localize() override { gLog.push_back(Name + ".Localize"); }
  void LoadSettings(TWKSDFReader& r) override {
    gLog.push_back(Name + ".Load");
    if (!r.OpenNode(1, Guid_)) return;
    r.ReadInteger(1, value);
    r.CloseNode();
  }
  void SaveSettings(TWKSDFWriter& w) override {
    w.BeginNode(1, Guid_);
    w.WriteInteger(1, value);
    w.EndNode();
  }
  void Initialize() override {
    gLog.push_back(Name + ".Initialize");
    TWKModuleWithControls::Initialize();
  }
  void Start() override { gLog.push_back(Name + ".Start"); }
  void UpdateControls() override { ++updates; }
  bool IsForm() const override { return Name == "b"; }

  int32_t value = -1;
  int updates = 0;

 private:
  TWKGUID Guid_;
};

// A component that is not a module.
class TPlain : public TWKComponent {
 public:
  using TWKComponent::TWKComponent;
};

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    app = std::make_unique<TWKApplication>();
    auto fake = std::make_unique<TFakeLoop>(*app);
    loop = fake.get();
    app->SetMessageLoop(std::move(fake));
    app->SetSettingsFileName(folder / "conf/Quillmoor/Quillmoor.cfg");
  }
  void Compose() {
    a = app->CreateForm<TProbe>("a", WKGuid("{11111111-0000-0000-0000-000000000001}"));
    app->CreateForm<TPlain>();  // not a form: no main window yet
    b = app->CreateForm<TProbe>("b", WKGuid("{22222222-0000-0000-0000-000000000002}"));
  }
  TTempFolder folder;
  std::unique_ptr<TWKApplication> app;
  TFakeLoop* loop = nullptr;
  TProbe* a = nullptr;
  TProbe* b = nullptr;
};

TEST_F(ApplicationTest, NoSettingsFileThenSaveAndLoadAgain) {
  ASSERT_EQ(Application(), app.get());
  Compose();
  EXPECT_EQ(app->MainForm(), b);
  app->Run();
  EXPECT_TRUE(app->ShowHint);
  EXPECT_EQ(loop->runs, 1);
  // No reader: LoadSettings is skipped; Initialize (with its first Localize) then Start, in order.
  EXPECT_EQ(gLog, (std::vector<std::string>{"a.Initialize", "a.Localize", "b.Initialize",
                                            "b.Localize", "a.Start", "b.Start"}));
  ASSERT_TRUE(FileExists(app->SettingsFileName()));

  a->value = 0;  // the file holds the -1 values saved above
  gLog.clear();
  app->LoadSettingsAndInitialize();
  EXPECT_EQ(a->value, -1);
  EXPECT_EQ(gLog.front(), "a.Load");
  a->value = 41;
  b->value = 42;
  ASSERT_TRUE(app->SaveSettings());
  a->value = b->value = 0;
  app->LoadSettingsAndInitialize();
  EXPECT_EQ(a->value, 41);
  EXPECT_EQ(b->value, 42);
}

TEST_F(ApplicationTest, UnknownSectionsAndModulesThatForgetToClose) {
  Compose();
  TWKMemoryStream stream;
  {
    TWKSDFWriter w(&stream, false);
    w.BeginNode(1, WKGuid("{99999999-0000-0000-0000-000000000009}"));
    w.WriteInteger(1, 7);
    w.BeginNode(1, WKGuid("{22222222-0000-0000-0000-000000000002}"));  // nested, not top level
    w.WriteInteger(1, 8);
    w.EndNode();
    w.EndNode();
    w.BeginNode(1, WKGuid("{22222222-0000-0000-0000-000000000002}"));
    w.WriteInteger(1, 9);
    w.EndNode();
  }
  folder.Write("conf/Quillmoor/Quillmoor.cfg",
               std::string(stream.Bytes().begin(), stream.Bytes().end()));
  app->LoadSettingsAndInitialize();
  EXPECT_EQ(a->value, -1);
  EXPECT_EQ(b->value, 9);
}

TEST_F(ApplicationTest, CutOrRandomSettingsFilesGiveDefaultsOrTheirLeadingPart) {
  Compose();
  a->value = 1234;
  b->value = 5678;
  ASSERT_TRUE(app->SaveSettings());
  const std::string whole = TTempFolder::Read(app->SettingsFileName());
  ASSERT_EQ(whole.size(), 2u * 29u);
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    folder.Write("conf/Quillmoor/Quillmoor.cfg", whole.substr(0, cut));
    a->value = b->value = -1;
    app->LoadSettingsAndInitialize();
    EXPECT_EQ(a->value, cut >= 28 ? 1234 : -1) << cut;  // node start 20 + value 8
    EXPECT_EQ(b->value, cut >= 57 ? 5678 : -1) << cut;
  }
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    std::string noise(random() % 300, '\0');
    for (auto& c : noise) c = static_cast<char>(random());
    folder.Write("conf/Quillmoor/Quillmoor.cfg", noise);
    a->value = b->value = -1;
    app->LoadSettingsAndInitialize();
    EXPECT_EQ(a->value, -1);
  }
}

TEST_F(ApplicationTest, SavingReplacesTheFileOrLeavesItAlone) {
  Compose();
  folder.Write("conf/Quillmoor/Quillmoor.cfg", "old contents");
  ASSERT_TRUE(app->SaveSettings());
  EXPECT_EQ(TTempFolder::Read(app->SettingsFileName()).substr(0, 1), "\xD5");
  // Nothing but the settings file is left in its folder.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(folder / "conf/Quillmoor")) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  // An unwritable folder: nothing is written and the old file stays intact.
  if (::geteuid() != 0) {
    const std::string before = TTempFolder::Read(app->SettingsFileName());
    ::chmod((folder / "conf/Quillmoor").c_str(), 0500);
    a->value = 77;
    EXPECT_FALSE(app->SaveSettings());
    ::chmod((folder / "conf/Quillmoor").c_str(), 0700);
    EXPECT_EQ(TTempFolder::Read(app->SettingsFileName()), before);
  }
  // A path below a file cannot be created: silently nothing.
  app->SetSettingsFileName(folder / "conf/Quillmoor/Quillmoor.cfg/x.cfg");
  EXPECT_FALSE(app->SaveSettings());
}

TEST_F(ApplicationTest, ThreeDeferredCallsRunInOrderOnePerMessage) {
  std::vector<int> ran;
  app->PostDeferredCall([&] { ran.push_back(0); });  // no main window yet: ignored
  EXPECT_EQ(app->DeferredCallCount(), 0u);
  Compose();
  ASSERT_EQ(app->MainForm(), b);
  for (int i = 1; i <= 3; ++i) app->PostDeferredCall([&ran, i] { ran.push_back(i); });
  EXPECT_EQ(loop->posted, 1);  // one message for the first; the rest follow one by one
  EXPECT_TRUE(ran.empty());
  ASSERT_TRUE(loop->DeliverOne());
  EXPECT_EQ(ran, (std::vector<int>{1}));
  ASSERT_TRUE(loop->DeliverOne());
  EXPECT_EQ(ran, (std::vector<int>{1, 2}));
  ASSERT_TRUE(loop->DeliverOne());
  EXPECT_FALSE(loop->DeliverOne());
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
  // A call that queues another: the new one waits for its own message.
  app->PostDeferredCall([&] { app->PostDeferredCall([&] { ran.push_back(5); }); ran.push_back(4); });
  ASSERT_TRUE(loop->DeliverOne());
  EXPECT_EQ(ran.back(), 4);
  ASSERT_TRUE(loop->DeliverOne());
  EXPECT_EQ(ran.back(), 5);
  EXPECT_FALSE(loop->DeliverOne());
  // Plain (procedure, data) pairs work the same way.
  int hits = 0;
  app->PostDeferredCall([](void* d) { ++*static_cast<int*>(d); }, &hits);
  loop->DeliverOne();
  EXPECT_EQ(hits, 1);
  // Destroying the main window stops the queueing.
  delete b;
  EXPECT_EQ(app->MainForm(), nullptr);
  app->PostDeferredCall([&] { ran.push_back(6); });
  EXPECT_EQ(app->DeferredCallCount(), 0u);
}

TEST_F(ApplicationTest, IdleDoneFlagSuppressesUpdateControls) {
  Compose();
  app->LoadSettingsAndInitialize();
  app->Idle();
  EXPECT_EQ(a->updates, 1);
  EXPECT_EQ(b->updates, 1);
  bool letThrough = false;
  app->OnIdle = [&](bool& done) { done = letThrough; };
  app->Idle();
  EXPECT_EQ(a->updates, 1);
  letThrough = true;
  app->Idle();
  EXPECT_EQ(a->updates, 2);
  // A destroyed module leaves the idle list.
  delete a;
  app->Idle();
  EXPECT_EQ(b->updates, 3);
  EXPECT_EQ(app->IdleHandlers().Count(), 1);
}

TEST_F(ApplicationTest, ComponentsDestroyedLastFirstAndFailedConstructionLeavesNothing) {
  struct TThrows : TWKComponent {
    explicit TThrows(TWKComponent* owner) : TWKComponent(owner) { throw std::runtime_error("no"); }
  };
  Compose();
  EXPECT_EQ(app->ComponentCount(), 3);
  EXPECT_THROW(app->CreateModule<TThrows>(), std::runtime_error);
  EXPECT_EQ(app->ComponentCount(), 3);
  EXPECT_EQ(app->Components(2), b);
}

TEST_F(ApplicationTest, TitleMessageBoxes) {
  int changes = 0;
  app->OnTitleChange = [&] { ++changes; };
  app->SetTitle("Quillmoor");
  EXPECT_EQ(changes, 1);
  auto boxes = std::make_unique<TFakeBoxes>();
  TFakeBoxes* fake = boxes.get();
  app->SetMessageBoxService(std::move(boxes));
  EXPECT_EQ(app->MessageBox("Save?", MB_YESNO), IDYES);
  EXPECT_EQ(fake->last, "Quillmoor|Save?");
  EXPECT_EQ(app->MessageBox("Done", "Caption", MB_OK), IDOK);
  EXPECT_EQ(fake->last, "Caption|Done");
}

TEST(SettingsFileName, ConfigFolderElseBesideTheExecutable) {
  EXPECT_EQ(TWKApplication::SettingsFileNameFor("/opt/q/bin/quillmoor", "/home/u/.config", "Quillmoor"),
            "/home/u/.config/Quillmoor/Quillmoor.cfg");
  EXPECT_EQ(TWKApplication::SettingsFileNameFor("/opt/q/bin/quillmoor", "/x/", "Quillmoor"),
            "/x/Quillmoor/Quillmoor.cfg");
  EXPECT_EQ(TWKApplication::SettingsFileNameFor("/opt/q/bin/quillmoor", "", "Quillmoor"),
            "/opt/q/bin/quillmoor.cfg");
  EXPECT_EQ(TWKApplication::SettingsFileNameFor("/opt/q.d/bin/q.exe", "", "Quillmoor"),
            "/opt/q.d/bin/q.cfg");
}

TEST(SettingsFileName, FromTheEnvironment) {
  const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
  const char* savedHome = std::getenv("HOME");
  const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";
  TWKApplication app;
  ::setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
  EXPECT_EQ(app.SettingsFileName(), "/tmp/xdg/Quillmoor/Quillmoor.cfg");
  ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(app.SettingsFileName(), "/home/someone/.config/Quillmoor/Quillmoor.cfg");
  ::unsetenv("XDG_CONFIG_HOME");
  ::unsetenv("HOME");
  EXPECT_EQ(app.SettingsFileName(), ExecutablePath() + ".cfg");
  savedXdg ? ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
  savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

}  // namespace

#include <gtest/gtest.h>

#include "FakeDemoPlatform.h"
#include "GraphicsEditorFixture.h"
#include "demo/WKDemoPlayback.h"
#include "demo/WKDemoResolver.h"
#include "tools/framework/WKDemoRegistry.h"

namespace {

// A tool whose hooks know "SPIN" and the point "SPINNER".
class TSpinTool : public TLoggingTool {
 public:
  using TLoggingTool::TLoggingTool;
  bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties&) override {
    if (command != "SPIN") return false;
    ++Spins;
    return true;
  }
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override {
    const TWKVariant first = params.GetVariant(0);
    const auto* name = std::get_if<std::string>(&first);
    if (name == nullptr || *name != "Spinner") return false;
    point = {5, 6};
    return true;
  }
  int Spins = 0;
};

TWKDemoScriptParams Params(const std::string& line) {
  TWKDemoScriptParams params;
  std::string error;
  EXPECT_TRUE(ParseArguments(params, line, error));
  return params;
}

class DemoResolverTest : public GraphicsEditorTest {
 protected:
  DemoResolverTest() : Playback(Platform) {
    Tool = new TSpinTool(&App, "Spin", Log);
    Registry.RegisterComponent("Thing", this, [] { return std::optional<TPoint>(TPoint{1, 2}); });
    Registry.RegisterComponent("Hidden", &Registry, [] { return std::optional<TPoint>(); });
    Registry.RegisterProcedure("Hello", [this] { ++Hellos; });
    Registry.RegisterProcedure("Spin", nullptr);  // no handler: the hooks are asked
    BindDemoResolution(Playback, &Registry);
    Playback.OnError = [this](TWKDemoPlayback&, const std::string& message, bool&, const std::string&) {
      Errors.push_back(message);
    };
  }

  bool Execute(const std::string& name, const std::string& args = {}) {
    return ExecuteDemoCommand(Playback, &Registry, name, Params(args));
  }

  TFakeDemoPlatform Platform;
  TWKDemoPlayback Playback;
  TWKDemoRegistry Registry;
  TSpinTool* Tool = nullptr;  // owned by App
  int Hellos = 0;
  std::vector<std::string> Errors;
};

}  // namespace

TEST_F(DemoResolverTest, CommandsGoToTheRegistryThenTheEditorThenTheTools) {
  EXPECT_TRUE(Execute("HELLO"));
  EXPECT_EQ(Hellos, 1);
  EXPECT_TRUE(Execute("SPIN"));
  EXPECT_EQ(Tool->Spins, 1);
  EXPECT_FALSE(Execute("NOPE"));

  MakeImage("eye.png", 64, 48);
  EXPECT_TRUE(Execute("IMAGEOPEN", (Folder / "eye.png").string()));
  ASSERT_NE(Document(), nullptr);
  EXPECT_TRUE(Errors.empty());
  EXPECT_TRUE(Execute("IMAGEOPEN", "nowhere.png"));  // known, but it fails: reported
  EXPECT_EQ(Errors, std::vector<std::string>{"Cannot open the file."});

  // The registry comes first, even for a name the editor knows.
  int zooms = 0;
  Registry.RegisterProcedure("ZoomIn", [&] { ++zooms; });
  const int32_t numerator = View()->ZoomNumerator();
  EXPECT_TRUE(Execute("ZOOMIN"));
  EXPECT_EQ(zooms, 1);
  EXPECT_EQ(View()->ZoomNumerator(), numerator);
}

TEST_F(DemoResolverTest, PointsComeFromShownComponentsThenTheHooks) {
  TPoint p;
  EXPECT_TRUE(FindDemoPoint(&Registry, Params("thing"), p));
  EXPECT_EQ(p, (TPoint{1, 2}));
  EXPECT_TRUE(FindDemoPoint(&Registry, Params("Spinner"), p));
  EXPECT_EQ(p, (TPoint{5, 6}));
  EXPECT_FALSE(FindDemoPoint(&Registry, Params("Hidden"), p));
  EXPECT_FALSE(FindDemoPoint(nullptr, Params("thing"), p));

  MakeImage("eye.png", 64, 48);
  ASSERT_TRUE(Execute("IMAGEOPEN", (Folder / "eye.png").string()));
  EXPECT_TRUE(FindDemoPoint(&Registry, Params("Image, 10, 20"), p));
  EXPECT_EQ(p, ViewWindow()->ClientToScreen(View()->MapMode().DocToDev({10, 20})));

  // Through the playback: a move to a registered name lands there.
  TWKDemoScript script;
  script.LoadFromText("[Script]\nMouseTo Thing\nMouseTo Spinner\nSpin\n");
  Playback.LoadScript(script);
  ASSERT_TRUE(Playback.Play(0));
  Platform.Tick();
  EXPECT_EQ(Platform.Pointer, (TPoint{1, 2}));
  Platform.Tick();
  EXPECT_EQ(Platform.Pointer, (TPoint{5, 6}));
  EXPECT_TRUE(Platform.RunFor(100));
  EXPECT_EQ(Tool->Spins, 1);
  EXPECT_TRUE(Errors.empty());
}

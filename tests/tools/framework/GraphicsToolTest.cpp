// The tool contract over the image editor: the edit transaction from the tool's side, the
// default rectangle step, controls on views, plug-in availability and the tool's own command.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "GraphicsEditorFixture.h"
#include "documents/WKScriptRecorder.h"
#include "platform/codec/StillImageCodec.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKGraphicsToolControl.h"

namespace {

class TPaintTool : public TWKGraphicsTool {
 public:
  explicit TPaintTool(TWKComponent* owner, std::string script = {}) : TWKGraphicsTool(owner) {
    ScriptName = std::move(script);
    ControlClass = [](TWKGraphicsTool& tool, TWKGraphicsView& view) {
      return std::make_unique<TWKGraphicsToolControl>(tool, view);
    };
  }
  int Registered = 0;
  void AfterConstruction() override { Registered = -1; }
  void RegisterDemoObjects() override { Registered = Registered == -1 ? 1 : 2; }

  // Paints rect inside an open transaction; the change is reported but not yet stored.
  void Stroke(const TRect& rect, TBGRPixel colour) {
    ASSERT_TRUE(BeginEdit(*FindGraphicsEditor()->CurrentView()));
    for (int32_t y = rect.Top; y < rect.Bottom; ++y)
      for (int32_t x = rect.Left; x < rect.Right; ++x) *CurrentPixels()->Pixel(x, y) = colour;
    if (!rect.IsEmpty()) MarkDirty(rect, false);
  }
};

class TRecorder : public IWKScriptRecorder {
 public:
  std::vector<std::string> Lines;
  void AddLine(const std::string& line) override { Lines.push_back(line); }
  bool ShowsMessages() const override { return true; }
};

class GraphicsToolTest : public GraphicsEditorTest {
 protected:
  GraphicsToolTest() {
    A = CreateTool<TPaintTool>(&App, "Smudge");
    B = CreateTool<TPaintTool>(&App);
  }
  TBGRPixel At(int32_t x, int32_t y) const { return *Document()->CurrentPixels()->Pixel(x, y); }
  bool BackupEqualsCurrent() const {
    const TWKPixels& c = *Document()->CurrentPixels();
    const TWKPixelBuffer& b = Document()->Backup;
    if (b.BoundsRect() != c.BoundsRect()) return false;
    for (int32_t y = 0; y < c.Height; ++y)
      if (std::memcmp(b.PixelAddress(0, y), c.PixelAddress(0, y), static_cast<size_t>(c.Width) * 3) != 0)
        return false;
    return true;
  }
  TPaintTool* A = nullptr;
  TPaintTool* B = nullptr;
};

TEST_F(GraphicsToolTest, ConstructionStepsRunAfterTheObjectIsComplete) {
  EXPECT_EQ(A->Registered, 1);  // AfterConstruction, then RegisterDemoObjects
  EXPECT_TRUE(A->Available());
  EXPECT_FALSE(A->Active());
  EXPECT_EQ(A->ControlCount(), 0);
}

TEST_F(GraphicsToolTest, StrokesBecomeStepsAndAnEmptyStrokeNone) {
  Open(MakeImage("a.png", 60, 40));
  const TBGRPixel original = At(12, 12);
  A->Stroke(TRect{}, {1, 2, 3});
  A->EndEdit();
  EXPECT_EQ(Document()->History().Count(), 0);
  EXPECT_TRUE(Document()->Saved());
  EXPECT_FALSE(Document()->EditActive());

  A->Stroke(Rect(10, 10, 20, 20), {0, 0, 255});
  A->EndEdit();
  A->Stroke(Rect(15, 15, 30, 25), {0, 255, 0});
  A->EndEdit();
  ASSERT_EQ(Document()->History().Count(), 2);
  EXPECT_FALSE(Document()->Saved());
  EXPECT_EQ(A->EditDocument(), nullptr);
  EXPECT_TRUE(BackupEqualsCurrent());

  Editor->Undo();
  EXPECT_EQ(At(16, 16), (TBGRPixel{0, 0, 255}));
  EXPECT_EQ(At(25, 22), *Document()->OriginalPixels()->Pixel(25, 22));
  EXPECT_TRUE(BackupEqualsCurrent());
  Editor->Undo();
  EXPECT_EQ(At(12, 12), original);
  EXPECT_TRUE(Document()->Saved());
}

TEST_F(GraphicsToolTest, AnotherToolsStrokeCommitsTheOpenOneFirst) {
  Open(MakeImage("a.png", 60, 40));
  A->Stroke(Rect(0, 0, 5, 5), {9, 9, 9});
  B->Stroke(Rect(30, 30, 35, 35), {7, 7, 7});
  EXPECT_EQ(Document()->History().Count(), 1);  // A's change, stored when B began
  EXPECT_EQ(A->EditDocument(), nullptr);
  EXPECT_EQ(Document()->EditTool(), B);
  B->EndEdit();
  EXPECT_EQ(Document()->History().Count(), 2);
  Editor->Undo();
  Editor->Undo();
  EXPECT_EQ(At(1, 1), *Document()->OriginalPixels()->Pixel(1, 1));
}

TEST_F(GraphicsToolTest, CancelPutsTheBackupBackAndStoresNothing) {
  Open(MakeImage("a.png", 60, 40));
  const TBGRPixel original = At(5, 5);
  A->Stroke(Rect(0, 0, 10, 10), {1, 1, 1});
  A->CancelEdit();
  EXPECT_EQ(At(5, 5), original);
  EXPECT_FALSE(Document()->EditActive());
  EXPECT_EQ(Document()->History().Count(), 0);
  EXPECT_EQ(A->CurrentPixels(), nullptr);
  A->CancelEdit();  // nothing open: harmless
}

TEST_F(GraphicsToolTest, EveryViewGetsOneControlOnTopWhichFollowsTheTool) {
  Open(MakeImage("a.png", 60, 40));
  ASSERT_EQ(A->ControlCount(), 1);
  ASSERT_EQ(B->ControlCount(), 1);
  EXPECT_EQ(A->Controls(1), nullptr);
  EXPECT_EQ(A->Controls(-1), nullptr);
  TWKGraphicsToolControl* a = A->Controls(0);
  TWKGraphicsToolControl* b = B->Controls(0);
  const TWKViewObjectList& objects = View()->Objects();
  EXPECT_LT(objects.IndexOf(a), objects.IndexOf(b));  // later tools lie above
  EXPECT_EQ(a->Flags, vofForeground | vofToolOverlay);
  EXPECT_FALSE(a->Visible());

  Editor->SetCurrentTool(A);
  EXPECT_TRUE(A->Active());
  EXPECT_TRUE(a->Active());
  EXPECT_FALSE(b->Active());
  Editor->SetCurrentTool(B);
  EXPECT_FALSE(a->Active());

  // A new image replaces the view: the old controls leave the tools' lists.
  Document()->NoSaveQuery = true;
  Open(MakeImage("b.png", 30, 30));
  ASSERT_EQ(A->ControlCount(), 1);
  EXPECT_EQ(&A->Controls(0)->View(), View());
  EXPECT_EQ(View()->Objects().IndexOf(A->Controls(0)) >= 0, true);
}

TEST_F(GraphicsToolTest, PluginModeShowsOnlyToolsMeantForIt) {
  B->PluginAvailable = true;
  Open(MakeExchangeFile("x.psf", 4, 3));
  ASSERT_TRUE(Editor->PluginMode());
  EXPECT_FALSE(A->Available());
  EXPECT_TRUE(B->Available());
}

TEST_F(GraphicsToolTest, ScriptNameSelectsTheToolAndRecordsIt) {
  TRecorder recorder;
  A->StartRecording(&recorder);
  TWKCustomProperties none;
  EXPECT_FALSE(A->ExecuteScriptCommand("SMUDGESIZE", none));
  EXPECT_TRUE(A->ExecuteScriptCommand("SMUDGE", none));
  EXPECT_EQ(Editor->CurrentTool(), A);
  EXPECT_EQ(recorder.Lines,
            (std::vector<std::string>{"MouseCurvedMove Smudge", "Message \"Smudge\"", "Smudge"}));
  A->StopRecording();
  A->SelectClick(nullptr);
  EXPECT_EQ(recorder.Lines.size(), 3u);
  EXPECT_FALSE(B->ExecuteScriptCommand("", none));  // no script name: no command
}

}  // namespace

#include "GraphicsEditorFixture.h"

#include <cstring>

#include "platform/codec/CodecTypes.h"

using ::testing::ElementsAre;

namespace {

bool SamePixels(const TWKPixels& a, const TWKPixels& b) {
  if (a.BoundsRect() != b.BoundsRect() || a.PixelFormat != b.PixelFormat) return false;
  for (int32_t y = a.Top; y < a.Top + a.Height; ++y)
    if (std::memcmp(a.PixelAddress(a.Left, y), b.PixelAddress(a.Left, y),
                    static_cast<size_t>(a.Width) * a.BytesPerPixel) != 0)
      return false;
  return true;
}

class TFakeLossless : public IWKLosslessJpeg {
 public:
  std::vector<std::string> Calls;
  bool HoldsData() const override { return true; }
  int32_t BlockWidth() const override { return 16; }
  int32_t BlockHeight() const override { return 8; }
  bool RotateLeft(int32_t) override { return Log("RotateLeft"); }
  bool RotateRight(int32_t) override { return Log("RotateRight"); }
  bool MirrorHorizontal(int32_t) override { return Log("Mirror"); }
  bool FlipVertical(int32_t) override { return Log("Flip"); }
  bool Crop(const TRect& r) override {
    return Log("Crop " + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
               std::to_string(r.Width()) + "x" + std::to_string(r.Height()));
  }
  void Release() override { Log("Release"); }
  bool Log(const std::string& s) {
    Calls.push_back(s);
    return true;
  }
};

}  // namespace

class GraphicsDocumentTest : public GraphicsEditorTest {
 protected:
  void SetUp() override {
    ToolA = new TLoggingTool(&App, "A", Log);
    ToolB = new TLoggingTool(&App, "B", Log);
    NextViewSize = {200, 200};
    ASSERT_NE(Open(MakeImage("photo.png", 64, 48)), nullptr);
    Log.clear();
  }
  TLoggingTool* ToolA = nullptr;
  TLoggingTool* ToolB = nullptr;
};

TEST_F(GraphicsDocumentTest, UndoAndRedoOfPixelStepsRestoreTheirRectanglesAndTheBackup) {
  TWKGraphicsDocument& doc = *Document();
  TWKPixelBuffer original;
  ASSERT_TRUE(CopyToBuffer(doc.CurrentImage, original));
  ToolA->Paint(doc, Rect(2, 2, 10, 10), {255, 0, 0});
  doc.EndEditTransaction(&doc);  // commits through the tool
  TWKPixelBuffer afterFirst;
  ASSERT_TRUE(CopyToBuffer(doc.CurrentImage, afterFirst));
  ToolA->Paint(doc, Rect(5, 5, 20, 30), {0, 255, 0});
  doc.EndEditTransaction(&doc);
  ASSERT_EQ(doc.History().Count(), 2);
  EXPECT_FALSE(doc.Saved());

  Editor->UndoClick();
  EXPECT_TRUE(SamePixels(*doc.CurrentPixels(), afterFirst));
  EXPECT_TRUE(SamePixels(doc.Backup, afterFirst));
  Editor->UndoClick();
  EXPECT_TRUE(SamePixels(*doc.CurrentPixels(), original));
  EXPECT_TRUE(SamePixels(doc.Backup, original));
  EXPECT_TRUE(doc.Saved());
  Editor->RedoAllClick();
  EXPECT_EQ(doc.CurrentPixels()->Pixel(6, 6)->Green, 255);
  EXPECT_EQ(doc.CurrentPixels()->Pixel(3, 3)->Blue, 255);
  EXPECT_TRUE(SamePixels(doc.Backup, *doc.CurrentPixels()));
  EXPECT_FALSE(doc.Saved());
}

TEST_F(GraphicsDocumentTest, UndoTellsTheToolsAndSwitchesTheCurrentToolAroundTheStep) {
  TWKGraphicsDocument& doc = *Document();
  Editor->SetCurrentTool(ToolB);
  ToolA->Paint(doc, Rect(0, 0, 4, 4), {1, 2, 3});
  EXPECT_FALSE(Editor->CanUndo());  // a transaction is open
  doc.EndEditTransaction(&doc);
  EXPECT_TRUE(Editor->CanUndo());
  Log.clear();
  Editor->UndoClick();
  EXPECT_THAT(Log, ElementsAre("B.Deactivate", "A.BeforeUndo", "B.BeforeUndo", "A.Region", "B.Region",
                               "A.AfterUndo", "B.AfterUndo", "B.Activate"));
  Log.clear();
  Editor->RedoClick();
  EXPECT_THAT(Log, ElementsAre("B.Deactivate", "A.BeforeRedo", "B.BeforeRedo", "A.Region", "B.Region",
                               "A.AfterRedo", "B.AfterRedo", "B.Activate"));
}

TEST_F(GraphicsDocumentTest, ANewTransactionCommitsTheOpenOneAndAnEmptyOneStoresNothing) {
  TWKGraphicsDocument& doc = *Document();
  ToolA->Paint(doc, Rect(0, 0, 4, 4), {1, 2, 3});
  ToolB->Paint(doc, Rect(10, 10, 12, 12), {9, 9, 9});
  EXPECT_EQ(doc.EditTool(), ToolB);
  EXPECT_EQ(doc.History().Count(), 1);
  EXPECT_EQ(doc.DirtyRect(), Rect(10, 10, 12, 12));
  doc.EndEditTransaction(&doc);
  EXPECT_EQ(doc.History().Count(), 2);
  // Nothing painted: no step, the document stays as it is.
  doc.BeginEditTransaction(ToolA);
  ToolA->Editing = &doc;
  doc.EndEditTransaction(&doc);
  EXPECT_EQ(doc.History().Count(), 2);
  doc.BeginEditTransaction(ToolA);
  doc.AbandonEditTransaction();
  EXPECT_FALSE(doc.EditActive());
  EXPECT_EQ(doc.EditTool(), nullptr);
}

TEST_F(GraphicsDocumentTest, ExclusiveToolsAndTheLockDecideWhoMayEdit) {
  TWKGraphicsDocument& doc = *Document();
  EXPECT_TRUE(Editor->CanToolEdit(ToolA));
  ToolB->Exclusive = true;
  doc.BeginEditTransaction(ToolB);
  EXPECT_FALSE(Editor->CanToolEdit(ToolA));
  EXPECT_TRUE(Editor->CanToolEdit(ToolB));
  doc.AbandonEditTransaction();
  Editor->SetCurrentTool(ToolA);
  Editor->LockTools();
  EXPECT_TRUE(Editor->CanToolEdit(ToolA));
  EXPECT_FALSE(Editor->CanToolEdit(ToolB));
  Editor->UnlockTools();
  EXPECT_TRUE(Editor->CanToolEdit(ToolB));
}

TEST_F(GraphicsDocumentTest, AChangedPixelIsRepaintedAtEveryZoom) {
  TWKGraphicsDocument& doc = *Document();
  for (const TWKZoomRatio zoom : {TWKZoomRatio{1, 16}, TWKZoomRatio{1, 3}, TWKZoomRatio{3, 2},
                                  TWKZoomRatio{4, 1}}) {
    View()->SetZoom(zoom.Numerator, zoom.Denominator);
    ViewWindow()->Invalidated.clear();
    doc.InvalidateImageRect(Rect(5, 7, 6, 8));
    ASSERT_EQ(ViewWindow()->Invalidated.size(), 1u);
    const TRect r = ViewWindow()->Invalidated[0];
    EXPECT_FALSE(r.IsEmpty()) << zoom.Numerator << "/" << zoom.Denominator;
    // Every device pixel that shows image pixel (5, 7) lies inside the repainted area.
    const TWKMapMode& m = View()->MapMode();
    for (int32_t y = r.Top - 8; y < r.Bottom + 8; ++y)
      for (int32_t x = r.Left - 8; x < r.Right + 8; ++x)
        if (m.DocFromDev({x, y}) == TPoint{5, 7}) {
          EXPECT_TRUE(r.Contains(x, y)) << x << "," << y;
        }
  }
}

TEST_F(GraphicsDocumentTest, GeometryChangesBothImagesTheBackupAndTheLosslessForm) {
  TWKGraphicsDocument& doc = *Document();
  auto lossless = std::make_unique<TFakeLossless>();
  TFakeLossless* calls = lossless.get();
  doc.LosslessJpeg = std::move(lossless);
  const TBGRPixel corner = *doc.CurrentPixels()->Pixel(63, 0);
  ASSERT_TRUE(doc.RotateLeft());
  EXPECT_EQ(doc.CurrentImage.Width(), 48);
  EXPECT_EQ(doc.OriginalImage.Width(), 48);
  EXPECT_EQ(*doc.CurrentPixels()->Pixel(0, 0), corner);
  EXPECT_TRUE(SamePixels(doc.Backup, *doc.CurrentPixels()));
  EXPECT_EQ(Editor->WStatusPanel->Caption(), "48");
  EXPECT_EQ(View()->DocumentView()->Bounds, Rect(0, 0, 48, 64));

  ASSERT_TRUE(doc.Crop(Rect(20, 10, 100, 30)));  // clipped to the image
  EXPECT_EQ(doc.ImageRect(), Rect(0, 0, 28, 20));
  EXPECT_EQ(doc.OriginalImage.Width(), 28);
  EXPECT_FALSE(doc.Crop(Rect(50, 50, 60, 60)));  // outside: nothing happens
  EXPECT_EQ(doc.ImageRect(), Rect(0, 0, 28, 20));
  // The exact rectangle: rounding it onto the block grid would save a shifted picture.
  EXPECT_THAT(calls->Calls, ElementsAre("RotateLeft", "Crop 20,10,28x20"));

  ASSERT_TRUE(doc.Resize(14, 10, true));
  EXPECT_EQ(doc.OriginalImage.Width(), 14);
  ASSERT_TRUE(doc.SetCanvasSize(20, 12, false));
  EXPECT_EQ(doc.ImageRect(), Rect(0, 0, 20, 12));
  EXPECT_EQ(doc.OriginalImage.Width(), 14);
  // Resampled and re-framed pixels let go of the compressed form.
  EXPECT_THAT(calls->Calls, ElementsAre("RotateLeft", "Crop 20,10,28x20", "Release", "Release"));
}

TEST_F(GraphicsDocumentTest, ResizeScalesAnOriginalOfAnotherSizeByTheSameFactors) {
  TWKGraphicsDocument& doc = *Document();
  ASSERT_TRUE(doc.Resize(32, 24, false));
  EXPECT_EQ(doc.OriginalImage.Width(), 64);
  ASSERT_TRUE(doc.Resize(16, 6, true));  // factors 1/2 and 1/4 of 32 x 24
  EXPECT_EQ(doc.OriginalImage.Width(), 32);
  EXPECT_EQ(doc.OriginalImage.Height(), 12);
  ASSERT_TRUE(doc.Resize(1, 1, true));
  EXPECT_GE(doc.OriginalImage.Width(), 1);
  EXPECT_GE(doc.OriginalImage.Height(), 1);
}

TEST_F(GraphicsDocumentTest, ReplaceAndCopyImagesRoundTrip) {
  TWKGraphicsDocument& doc = *Document();
  TWKPixelBuffer current, original;
  ASSERT_TRUE(doc.CopyImages(current, &original));
  ASSERT_TRUE(doc.RotateRight());
  ASSERT_TRUE(doc.ReplaceImages(current, &original));
  EXPECT_EQ(doc.ImageRect(), Rect(0, 0, 64, 48));
  EXPECT_TRUE(SamePixels(*doc.CurrentPixels(), current));
  EXPECT_TRUE(SamePixels(*doc.OriginalPixels(), original));
  EXPECT_TRUE(SamePixels(doc.Backup, current));
}

TEST_F(GraphicsDocumentTest, ScaledCopyKeepsTheAspectWithTheLongerSideAtTheLimit) {
  std::unique_ptr<TWKLTBitmap> copy = Document()->ScaledCopy(32);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Width(), 32);
  EXPECT_EQ(copy->Height(), 24);
  EXPECT_EQ(Document()->ScaledCopy(0), nullptr);
}

TEST_F(GraphicsDocumentTest, MetadataRoundTripAndThumbnailTagsAreStripped) {
  TImageInfo info;
  info.DpiX = 299.6;
  info.DpiY = 72.2;
  for (uint32_t id : {271u, 20497u, 20498u, 20505u, 20506u, 20507u, 20539u, 20540u})
    info.Items.push_back({id, PropertyTypeASCII, {'a', 0}});
  TWKGraphicsDocument& doc = *Document();
  doc.LoadMetadata(info);
  EXPECT_EQ(doc.Metadata.ResolutionX, 300);
  EXPECT_EQ(doc.Metadata.ResolutionY, 72);
  doc.StripThumbnailTags();
  std::vector<TPropertyItem> items;
  double dpiX = 0, dpiY = 0;
  doc.SaveMetadata(items, dpiX, dpiY);
  std::vector<uint32_t> ids;
  for (const TPropertyItem& item : items) ids.push_back(item.Id);
  EXPECT_THAT(ids, ElementsAre(271u, 20497u, 20506u, 20540u));
  EXPECT_EQ(items[0].Value, (std::vector<uint8_t>{'a', 0}));
  EXPECT_EQ(items[0].Type, PropertyTypeASCII);
  EXPECT_EQ(dpiX, 300);
}

TEST_F(GraphicsDocumentTest, ClosingTellsTheToolsAndSavingWritesAReadableFile) {
  TWKGraphicsDocument& doc = *Document();
  ToolA->Paint(doc, Rect(0, 0, 8, 8), {0, 0, 200});
  doc.EndEditTransaction(&doc);
  const std::string target = (Folder / "out.tif").string();
  ASSERT_TRUE(doc.SaveToFile(target, gfTIFF));
  EXPECT_TRUE(doc.Saved());
  Log.clear();
  TWKGraphicsDocument* reopened = Open(target);
  ASSERT_NE(reopened, nullptr);
  EXPECT_THAT(Log, ::testing::Contains("A.Closing"));
  EXPECT_THAT(Log, ::testing::Contains("A.Opened"));
  EXPECT_EQ(reopened->FormatId, gfTIFF);
  EXPECT_EQ(reopened->CurrentPixels()->Pixel(3, 3)->Red, 200);
  // A folder that cannot be written: false, no document change.
  EXPECT_FALSE(reopened->SaveToFile("/proc/quillmoor/out.png", gfPNG));
  EXPECT_FALSE(Formats->LastError.empty());
  EXPECT_EQ(reopened->FileName, target);
}

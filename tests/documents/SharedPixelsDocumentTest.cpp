// An opened photo's original and backup share the current image's pixels until the first change;
// every step of a session gives the same pixels and files as with copies made at the open.
#include "GraphicsEditorFixture.h"

#include <cstring>

#include "documents/WKGeometryCommandState.h"
#include "documents/WKLosslessJpeg.h"
#include "platform/lossless/LosslessTestSupport.h"
#include "support/PrivatePages.h"

using namespace lossless_test;

namespace {

std::vector<uint8_t> Bytes(const TWKPixels* pixels) {
  std::vector<uint8_t> out;
  if (pixels == nullptr || pixels->Bits == nullptr) return out;
  out.push_back(uint8_t(pixels->Width));
  out.push_back(uint8_t(pixels->Height));
  for (int32_t y = 0; y < pixels->Height; ++y) {
    const uint8_t* row = pixels->PixelAddress(pixels->Left, pixels->Top + y);
    out.insert(out.end(), row, row + size_t(pixels->Width) * 3);
  }
  return out;
}

class SharedPixelsDocumentTest : public GraphicsEditorTest {
 protected:
  // Every image of the document after each step, then the files a JPEG and a PNG save write.
  struct TSession {
    std::vector<std::vector<uint8_t>> Steps;
    std::vector<std::vector<uint8_t>> Files;
  };

  void Record(TWKGraphicsDocument& doc, TSession& session) {
    session.Steps.push_back(Bytes(doc.CurrentPixels()));
    session.Steps.push_back(Bytes(doc.OriginalPixels()));
    session.Steps.push_back(Bytes(&doc.Backup));
  }
  void Save(TWKGraphicsDocument& doc, const std::string& name, int32_t format, TSession& session) {
    const std::string path = (Folder / name).string();
    ASSERT_TRUE(Formats->SaveDocument(doc, path, format)) << Formats->LastError;
    session.Files.push_back(ReadFile(path));
  }
  void Turn(TWKGraphicsDocument& doc) {
    auto before = TWKGeometrySnapshot::Take(doc);
    ASSERT_TRUE(doc.RotateRight());
    doc.History().Add(std::make_unique<TWKGeometryCommandState>(nullptr, doc, std::move(before)));
  }

  // Open, turn, save, paint twice, undo one, save, undo all, save, redo, crop: the same session
  // on the photo with its pixels shared at the open, or copied there as they were before.
  TSession Run(const std::string& file, bool copyAtOpen) {
    TSession session;
    TWKGraphicsDocument* doc = Open(file);
    if (doc == nullptr) {
      ADD_FAILURE() << "cannot open " << file;
      return session;
    }
    if (copyAtOpen) {
      EXPECT_TRUE(doc->OwnPixels());
    }
    auto* tool = new TLoggingTool(&App, "T", Log);  // owned by App
    Record(*doc, session);
    Turn(*doc);
    Record(*doc, session);
    Save(*doc, "turned.jpg", gfJPEG, session);
    tool->Paint(*doc, Rect(3, 5, 21, 30), {10, 200, 30});
    doc->EndEditTransaction(doc);
    Record(*doc, session);
    tool->Paint(*doc, Rect(15, 1, 40, 12), {250, 0, 90});
    doc->EndEditTransaction(doc);
    doc->History().Undo();
    Record(*doc, session);
    Save(*doc, "painted.jpg", gfJPEG, session);
    Save(*doc, "painted.png", gfPNG, session);
    while (doc->History().CanUndo()) doc->History().Undo();
    Record(*doc, session);
    Save(*doc, "undone.jpg", gfJPEG, session);
    doc->History().Redo();
    doc->History().Redo();
    EXPECT_TRUE(doc->Crop(Rect(16, 16, 48, 64)));
    Record(*doc, session);
    Save(*doc, "cropped.png", gfPNG, session);
    doc->History().MarkSaved();
    return session;
  }
};

}  // namespace

TEST_F(SharedPixelsDocumentTest, OpenHoldsOneImageUntilTheFirstChange) {
  // Photos from 4 MB of pixels on share pages with the copies the first change gives the original
  // and the backup: only the pages written are copied.
  const struct {
    const char* Case;
    int32_t Width, Height;
    bool Jpeg;
  } cases[] = {{"small JPEG", 64, 48, true}, {"small PNG", 40, 30, false}, {"large JPEG", 1280, 1120, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    const std::string file = c.Jpeg ? (Folder / (std::string(c.Case) + ".jpg")).string()
                                    : MakeImage("photo.png", c.Width, c.Height);
    if (c.Jpeg) WriteFile(file, EncodeJpeg(TPicture::Synthetic(c.Width, c.Height), {}));
    TWKGraphicsDocument* doc = Open(file);
    ASSERT_NE(doc, nullptr);
    const std::vector<uint8_t> opened = Bytes(doc->CurrentPixels());
    EXPECT_TRUE(doc->PixelsShared());
    EXPECT_EQ(doc->OriginalPixels()->Bits, doc->CurrentPixels()->Bits);
    EXPECT_EQ(doc->Backup.Bits, doc->CurrentPixels()->Bits);
    // A quarter turn keeps the sharing: no copy is needed for it.
    ASSERT_TRUE(doc->RotateLeft());
    EXPECT_TRUE(doc->PixelsShared());
    EXPECT_EQ(doc->OriginalPixels()->Bits, doc->CurrentPixels()->Bits);
    ASSERT_TRUE(doc->RotateRight());
    // The first change gives the original and the backup their own pixels before it writes.
    const uint8_t* currentBits = doc->CurrentPixels()->Bits;
    auto* tool = new TLoggingTool(&App, "T", Log);  // owned by App
    tool->Paint(*doc, Rect(0, 0, 10, 10), {1, 2, 3});
    EXPECT_FALSE(doc->PixelsShared());
    EXPECT_EQ(doc->CurrentPixels()->Bits, currentBits) << "the current image stays where it is";
    EXPECT_NE(doc->OriginalPixels()->Bits, doc->CurrentPixels()->Bits);
    EXPECT_NE(doc->Backup.Bits, doc->CurrentPixels()->Bits);
    EXPECT_EQ(Bytes(doc->OriginalPixels()), opened);
    EXPECT_EQ(Bytes(&doc->Backup), opened);
    EXPECT_NE(Bytes(doc->CurrentPixels()), opened);
    if (c.Width * c.Height * 3 >= (4 << 20)) {
      EXPECT_EQ(PrivatePagesAt(doc->OriginalPixels()->Bits), 0u);
      EXPECT_EQ(PrivatePagesAt(doc->Backup.Bits), 0u);
      EXPECT_LE(PrivatePagesAt(currentBits), size_t{11} * 4096) << "ten rows written";
    }
    doc->EndEditTransaction(doc);
    doc->History().Undo();
    EXPECT_EQ(Bytes(doc->CurrentPixels()), opened);
    EXPECT_EQ(Bytes(doc->OriginalPixels()), opened);
    doc->History().MarkSaved();
  }
}

TEST_F(SharedPixelsDocumentTest, SessionGivesTheSamePixelsAndFilesAsCopiesMadeAtTheOpen) {
  const std::string jpeg = (Folder / "photo.jpg").string();
  WriteFile(jpeg, EncodeJpeg(TPicture::Synthetic(64, 48), {}));
  // A large JPEG's copies share pages with the current image (see above).
  const std::string large = (Folder / "large.jpg").string();
  WriteFile(large, EncodeJpeg(TPicture::Synthetic(1280, 1120), {}));
  for (const std::string& file : {jpeg, MakeImage("photo.png", 64, 48), large}) {
    SCOPED_TRACE(file);
    const TSession shared = Run(file, false);
    const TSession copied = Run(file, true);
    ASSERT_EQ(shared.Steps.size(), copied.Steps.size());
    for (size_t i = 0; i < shared.Steps.size(); ++i) EXPECT_EQ(shared.Steps[i], copied.Steps[i]) << "step " << i;
    ASSERT_EQ(shared.Files.size(), 5u);
    EXPECT_EQ(shared.Files, copied.Files);
    // The original stayed the opened picture, turned and cropped with the document.
    EXPECT_EQ(shared.Steps[1], shared.Steps[0]);
  }
}

TEST_F(SharedPixelsDocumentTest, ResizeAndNewCanvasOfASharedDocumentKeepTheOriginal) {
  const std::string file = MakeImage("photo.png", 40, 30);
  TWKGraphicsDocument* doc = Open(file);
  ASSERT_NE(doc, nullptr);
  const std::vector<uint8_t> opened = Bytes(doc->CurrentPixels());
  ASSERT_TRUE(doc->SetCanvasSize(50, 30, false));
  EXPECT_EQ(Bytes(doc->OriginalPixels()), opened);
  EXPECT_EQ(doc->Backup.Width, 50);
  ASSERT_TRUE(doc->Resize(20, 15, false));
  EXPECT_EQ(Bytes(doc->OriginalPixels()), opened);
  doc->History().MarkSaved();
}

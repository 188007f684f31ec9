#include "GraphicsEditorFixture.h"

#include <cstring>
#include <fstream>

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Return;

namespace {

void WriteText(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// The signature and a valid IHDR chunk claiming 100000 x 100000 pixels, and nothing more.
std::string HugePngHeader() {
  const std::string ihdr("IHDR\x00\x01\x86\xa0\x00\x01\x86\xa0\x08\x02\x00\x00\x00", 17);
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : ihdr) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  crc ^= 0xFFFFFFFFu;
  std::string bytes("\x89PNG\r\n\x1a\n\x00\x00\x00\x0d", 12);
  bytes += ihdr;
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>((crc >> shift) & 0xFF));
  return bytes;
}

// Undo takes its before-pixels from the backup: an opened picture's must equal its pixels.
bool BackupIsTheOpenedPicture(const TWKGraphicsDocument& doc) {
  const TWKPixels* current = doc.CurrentPixels();
  if (current == nullptr || doc.Backup.BoundsRect() != current->BoundsRect()) return false;
  for (int32_t y = 0; y < current->Height; ++y)
    if (std::memcmp(doc.Backup.PixelAddress(0, y), current->PixelAddress(0, y), size_t(current->Width) * 3) != 0)
      return false;
  return true;
}

}  // namespace

TEST(GraphicsFormatsTest, FourFormatsWithTheirMasksAndDefaultExtensions) {
  TWKGraphicsFormats formats;
  ASSERT_EQ(formats.FormatCount(), 4);
  EXPECT_EQ(formats.FormatInfo(0).DefaultExt, ".jpg");
  EXPECT_EQ(formats.FormatOfFileName("/x/a.JPEG"), gfJPEG);
  EXPECT_EQ(formats.FormatOfFileName("a.tiff"), gfTIFF);
  EXPECT_EQ(formats.FormatOfFileName("a.png"), gfPNG);
  EXPECT_EQ(formats.FormatOfFileName("a.rle"), gfBMP);
  EXPECT_EQ(formats.FormatOfFileName("a.gif"), gfNone);
  EXPECT_TRUE(formats.CanWriteFormat(gfExchange));
  EXPECT_FALSE(formats.CanWriteFormat(99));
  EXPECT_EQ(formats.FormatInfo(7).Id, gfNone);
  TWKFileFormatArray open;
  formats.GetOpenFormats(open);
  EXPECT_EQ(open.size(), 6u);
}

TEST_F(GraphicsEditorTest, SavedFilesReopenWithTheirPixelsResolutionAndFormat) {
  TWKGraphicsDocument* doc = Open(MakeImage("source.png", 33, 17));
  ASSERT_NE(doc, nullptr);
  doc->Metadata.ResolutionX = doc->Metadata.ResolutionY = 150;
  const TBGRPixel probe = *doc->CurrentPixels()->Pixel(32, 16);
  for (const auto& [name, id] : {std::pair{"copy.png", gfPNG}, std::pair{"copy.tif", gfTIFF}}) {
    const std::string path = (Folder / name).string();
    ASSERT_TRUE(doc->SaveToFile(path, id)) << Formats->LastError;
    TWKGraphicsDocument* again = Open(path);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->FormatId, id);
    EXPECT_EQ(again->ImageRect(), Rect(0, 0, 33, 17));
    EXPECT_EQ(*again->CurrentPixels()->Pixel(32, 16), probe);
    EXPECT_EQ(again->Metadata.ResolutionX, 150);
    EXPECT_TRUE(BackupIsTheOpenedPicture(*again));
    doc = again;
  }
  const std::string jpeg = (Folder / "copy.jpg").string();
  Formats->JpegQuality = 95;
  ASSERT_TRUE(doc->SaveToFile(jpeg, gfJPEG));
  TWKGraphicsDocument* decoded = Open(jpeg);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->FormatId, gfJPEG);
  EXPECT_TRUE(BackupIsTheOpenedPicture(*decoded));
  EXPECT_NEAR(decoded->CurrentPixels()->Pixel(16, 8)->Red, 16 + 8, 12);  // red = x + y
}

TEST_F(GraphicsEditorTest, BadFilesGiveAMessageAndKeepTheOpenImage) {
  ASSERT_NE(Open(MakeImage("good.png", 8, 8)), nullptr);
  WriteText(Folder / "empty.png", "");
  WriteText(Folder / "text.jpg", "this is not a picture at all");
  WriteText(Folder / "huge.png", HugePngHeader());
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("cannot be opened"), _, MB_OK | MB_ICONERROR))
      .Times(4)
      .WillRepeatedly(Return(IDOK));
  for (const char* name : {"empty.png", "text.jpg", "huge.png", "missing.png"}) {
    EXPECT_EQ(Open((Folder / name).string()), nullptr) << name;
    EXPECT_FALSE(Formats->LastError.empty()) << name;
    ASSERT_NE(Document(), nullptr);
    EXPECT_EQ(std::filesystem::path(Document()->FileName).filename(), "good.png");
    EXPECT_EQ(Document()->ImageRect(), Rect(0, 0, 8, 8));
  }
}

TEST_F(GraphicsEditorTest, AFailedSaveLeavesTheOldFileAsItWas) {
  TWKGraphicsDocument* doc = Open(MakeImage("keep.png", 8, 8));
  ASSERT_NE(doc, nullptr);
  const std::string target = (Folder / "keep.png").string();
  std::ifstream before(target, std::ios::binary);
  const std::string old((std::istreambuf_iterator<char>(before)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(doc->SaveToFile(target, 42));  // no such format
  EXPECT_FALSE(Formats->LastError.empty());
  std::ifstream after(target, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>()), old);
  // An exchange file that cannot be written is reported, not taken for success.
  TWKGraphicsFormats plain;
  EXPECT_FALSE(plain.SaveDocument(*doc, Folder.string(), gfExchange));
  EXPECT_FALSE(plain.LastError.empty());
}

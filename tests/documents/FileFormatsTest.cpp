#include <gtest/gtest.h>

#include "documents/WKFileFormats.h"

namespace {

class TFormats : public TWKFileFormats {
 public:
  TWKFileFormatArray Rows{{0, "JPEG", "*.jpg;*.jpeg", ".jpg"},
                          {1, "TIFF", "*.tif;*.tiff", ".tif"},
                          {3, "BMP", "*.bmp;*.rle;*.dib", ".bmp"}};
  int32_t FormatCount() override { return static_cast<int32_t>(Rows.size()); }
  TWKFileFormatInfo FormatInfo(int32_t index) override { return Rows[static_cast<size_t>(index)]; }
};

}  // namespace

TEST(FileFormats, FiltersAndLookups) {
  TFormats formats;
  TWKFileFormatArray save;
  formats.GetSaveFormats(save);
  EXPECT_EQ(BuildFilter(save),
            "JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg|TIFF (*.tif;*.tiff)|*.tif;*.tiff|"
            "BMP (*.bmp;*.rle;*.dib)|*.bmp;*.rle;*.dib");
  EXPECT_EQ(BuildFilter({}), "");
  TWKFileFormatArray open;
  formats.GetOpenFormats(open);
  ASSERT_EQ(open.size(), 5u);
  EXPECT_EQ(open[3].Id, 0);
  EXPECT_EQ(open[3].Masks, "*.jpg;*.jpeg;*.tif;*.tiff;*.bmp;*.rle;*.dib");
  EXPECT_EQ(open[4].Masks, "*.*");
  EXPECT_EQ(formats.IndexOfId(3), 2);
  EXPECT_EQ(formats.IndexOfId(2), -1);
  EXPECT_EQ(FindFormat(save, 1), 1);
  EXPECT_EQ(FindFormat(save, -1), -1);
  std::unique_ptr<TWKFileInfo> info;
  EXPECT_FALSE(formats.GetFileInfo("a.jpg", info));
  std::unique_ptr<TWKThumbnail> thumbnail;
  EXPECT_FALSE(formats.GetThumbnail("a.jpg", 100, 100, thumbnail));
}

TEST(FileFormats, DefaultExtensionOnlyWhenNoMaskMatches) {
  const TWKFileFormatInfo jpeg{0, "JPEG", "*.jpg;*.jpeg", ".jpg"};
  EXPECT_EQ(WithDefaultExtension("/p/a", jpeg), "/p/a.jpg");
  EXPECT_EQ(WithDefaultExtension("/p/a.jpeg", jpeg), "/p/a.jpeg");
  EXPECT_EQ(WithDefaultExtension("/p/a.JPG", jpeg), "/p/a.JPG");
  EXPECT_EQ(WithDefaultExtension("/p/a.JpEg", jpeg), "/p/a.JpEg");
  EXPECT_EQ(WithDefaultExtension("/p/a.png", jpeg), "/p/a.png.jpg");
  EXPECT_EQ(WithDefaultExtension("/p.jpg/a", jpeg), "/p.jpg/a.jpg");  // the folder does not count
  EXPECT_EQ(WithDefaultExtension("/p/a.jpg.bak", jpeg), "/p/a.jpg.bak.jpg");
}

TEST(FileFormats, MaskMatching) {
  EXPECT_TRUE(MatchesMasks("x.tiff", "*.tif;*.tiff"));
  EXPECT_FALSE(MatchesMasks("x.tif2", "*.tif;*.tiff"));
  EXPECT_TRUE(MatchesMasks("anything", "*.*;*"));
  EXPECT_TRUE(MatchesMasks("a.b", "?.?"));
  EXPECT_FALSE(MatchesMasks("ab.b", "?.?"));
  EXPECT_FALSE(MatchesMasks("a.jpg", ";;"));
  EXPECT_TRUE(MatchesMasks("photo.final.jpg", "*.jpg"));
  EXPECT_TRUE(MatchesMasks(std::string(5000, 'a') + ".jpg", "*a*a*a*.jpg"));
}

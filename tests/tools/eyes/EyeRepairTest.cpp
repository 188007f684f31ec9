// Finding red and shining pupils and repairing them through the red-eye darkening.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestImage.h"
#include "imaging/WKParallel.h"
#include "tools/eyes/EyeFinder.h"
#include "tools/eyes/EyeRepair.h"
#include "tools/eyes/RedEyeCorrection.h"
#include "support/ForcedParts.h"

namespace {

const TBGRPixel kSkin = BGR(200, 160, 140);
const TBGRPixel kIris = BGR(90, 60, 30);
const TBGRPixel kWhite = BGR(250, 250, 250);

// A face-like patch: skin, and per eye a brown iris with a pupil of the given colour.
struct TFace {
  TTestImage Image{240, 120, kSkin};
  std::vector<TPoint> Eyes{{80, 60}, {160, 60}};
  explicit TFace(TBGRPixel pupil, int32_t radius = 6, bool catchLight = false) {
    for (TPoint e : Eyes) {
      Image.Disc(e.X, e.Y, radius * 2, kIris);
      Image.Disc(e.X, e.Y, radius, pupil);
      if (catchLight) Image.Disc(e.X - 2, e.Y - 2, 1, kWhite);
    }
  }
};

int64_t Changed(const TTestImage& a, const TTestImage& b, const TRect& r) {
  int64_t n = 0;
  for (int32_t y = r.Top; y < r.Bottom; ++y)
    for (int32_t x = r.Left; x < r.Right; ++x) n += !(a.At(x, y) == b.At(x, y));
  return n;
}

struct TDefectCase {
  const char* Name;
  TBGRPixel Pupil;
  TEyeDefect Defect;
};

class EyeRepairColours : public ::testing::TestWithParam<TDefectCase> {};

// Each defect colour is found in both eyes and every pupil pixel comes out dark and neutral,
// while nothing farther than the rim of the pupils changes.
TEST_P(EyeRepairColours, BothPupilsFoundAndNeutralised) {
  const TDefectCase& c = GetParam();
  TFace face(c.Pupil);
  const std::vector<TFoundEye> eyes = FindEyes(face.Image.Pixels, face.Image.Pixels.BoundsRect());
  ASSERT_EQ(eyes.size(), 2U) << c.Name;
  for (size_t i = 0; i < eyes.size(); ++i) {
    EXPECT_EQ(eyes[i].Defect, c.Defect);
    EXPECT_TRUE(eyes[i].Paired);
    EXPECT_LE(std::abs(eyes[i].Centre.X - face.Eyes[i].X), 1);
    EXPECT_LE(std::abs(eyes[i].Centre.Y - face.Eyes[i].Y), 1);
  }
  TTestImage after(face.Image);
  const TEyesRepaired done = RepairEyes(face.Image.Pixels, after.Pixels, eyes, {});
  EXPECT_EQ(done.Count, 2);
  for (TPoint e : face.Eyes)
    for (int32_t y = e.Y - 6; y <= e.Y + 6; ++y)
      for (int32_t x = e.X - 6; x <= e.X + 6; ++x)
        if ((x - e.X) * (x - e.X) + (y - e.Y) * (y - e.Y) <= 36) {
          EXPECT_TRUE(IsNeutralPupilPixel(after.At(x, y))) << c.Name << " at " << x << "," << y;
        }
  // Outside a 3-pixel rim round the pupils nothing changes.
  TTestImage masked(after);
  for (TPoint e : face.Eyes) masked.Disc(e.X, e.Y, 9, BGR(1, 2, 3));
  TTestImage original(face.Image);
  for (TPoint e : face.Eyes) original.Disc(e.X, e.Y, 9, BGR(1, 2, 3));
  EXPECT_EQ(Changed(masked, original, face.Image.Pixels.BoundsRect()), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Defects, EyeRepairColours,
    ::testing::Values(TDefectCase{"red", BGR(210, 40, 40), TEyeDefect::Red},
                      TDefectCase{"orange red", BGR(228, 96, 60), TEyeDefect::Red},
                      TDefectCase{"green shine", BGR(70, 215, 110), TEyeDefect::Shine},
                      TDefectCase{"yellow shine", BGR(235, 212, 60), TEyeDefect::Shine},
                      TDefectCase{"white shine", BGR(238, 238, 232), TEyeDefect::Shine}),
    [](const ::testing::TestParamInfo<TDefectCase>& param) {
      std::string name = param.param.Name;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

// What is not a defect pupil: clean dark pupils with catch-lights, shapes that are not round,
// blobs too large for an eye, red that is no island and red in a ring nearly as red.
TEST(EyeFinder, IgnoresWhatIsNoDefectPupil) {
  struct TCase {
    const char* Name;
    std::function<void(TTestImage&)> Paint;
  };
  const std::vector<TCase> cases{
      {"clean eyes with catch-lights",
       [](TTestImage& im) {
         for (int32_t x : {80, 160}) {
           im.Disc(x, 60, 12, kIris);
           im.Disc(x, 60, 6, BGR(12, 10, 10));
           im.Disc(x - 2, 58, 2, kWhite);
         }
       }},
      {"red bars", [](TTestImage& im) { for (int32_t x : {80, 160}) im.Fill(Rect(x, 40, x + 4, 80), BGR(210, 30, 30)); }},
      {"red disc larger than an eye", [](TTestImage& im) { im.Disc(120, 60, 50, BGR(210, 30, 30)); }},
      {"red pupils in an orange field",
       [](TTestImage& im) {
         im.Fill(im.Pixels.BoundsRect(), BGR(230, 100, 50));
         for (int32_t x : {80, 160}) im.Disc(x, 60, 6, BGR(210, 30, 30));
       }},
      {"red in a reddish ring", [](TTestImage& im) {
         for (int32_t x : {80, 160}) {
           im.Disc(x, 60, 12, BGR(180, 80, 60));
           im.Disc(x, 60, 6, BGR(200, 40, 40));
         }
       }},
  };
  for (const TCase& c : cases) {
    TTestImage im(240, 120, kSkin);
    c.Paint(im);
    EXPECT_TRUE(FindEyes(im.Pixels, im.Pixels.BoundsRect()).empty()) << c.Name;
  }
}

TEST(EyeFinder, FindsASingleClearPupilAndOnlyInsideTheArea) {
  TTestImage im(240, 120, kSkin);
  im.Disc(80, 60, 12, kIris);
  im.Disc(80, 60, 6, BGR(215, 30, 35));
  const auto single = FindEyes(im.Pixels, im.Pixels.BoundsRect());
  ASSERT_EQ(single.size(), 1U);
  EXPECT_FALSE(single[0].Paired);

  TFace face(BGR(210, 40, 40));
  EXPECT_EQ(FindEyes(face.Image.Pixels, Rect(0, 0, 120, 120)).size(), 1U);
  EXPECT_TRUE(FindEyes(face.Image.Pixels, Rect(300, 0, 400, 100)).empty());
}

TEST(EyeFinder, BadSurfacesFindNothing) {
  TTestImage im(40, 40, kSkin);
  TWKPixels none;
  EXPECT_TRUE(FindEyes(none, Rect(0, 0, 40, 40)).empty());
  TWKPixels grey = im.Pixels;
  grey.BytesPerPixel = 1;
  EXPECT_TRUE(FindEyes(grey, Rect(0, 0, 40, 40)).empty());
  EXPECT_TRUE(FindEyes(im.Pixels, TRect{}).empty());
}

TEST(EyeFinder, SameEyesForAnySplitOfTheRows) {
  TFace face(BGR(210, 40, 40), 5, true);
  std::vector<TRect> first;
  for (int32_t parts : {1, 2, 3, 8}) {
    const TForcedParts forced(parts);
    std::vector<TRect> boxes;
    for (const TFoundEye& e : FindEyes(face.Image.Pixels, face.Image.Pixels.BoundsRect()))
      boxes.push_back(e.Bounds);
    if (first.empty()) first = boxes;
    EXPECT_EQ(boxes, first) << parts;
  }
  EXPECT_EQ(first.size(), 2U);
}

// The catch-light inside a red pupil keeps its colour while the red round it is neutralised.
TEST(EyeRepair, KeepsTheCatchLight) {
  TFace face(BGR(210, 40, 40), 6, true);
  const auto eyes = FindEyes(face.Image.Pixels, face.Image.Pixels.BoundsRect());
  ASSERT_EQ(eyes.size(), 2U);
  TTestImage after(face.Image);
  RepairEyes(face.Image.Pixels, after.Pixels, eyes, {});
  for (TPoint e : face.Eyes) {
    EXPECT_EQ(after.At(e.X - 2, e.Y - 2), kWhite);
    EXPECT_TRUE(IsNeutralPupilPixel(after.At(e.X - 2, e.Y - 4)));
    EXPECT_TRUE(IsNeutralPupilPixel(after.At(e.X + 3, e.Y + 3)));
  }
}

// The user's border widens every eye's selection; brightness 0 darkens more than the choice.
TEST(EyeRepair, TuningMovesBorderAndBrightness) {
  TFace face(BGR(240, 120, 110));
  const auto eyes = FindEyes(face.Image.Pixels, face.Image.Pixels.BoundsRect());
  ASSERT_EQ(eyes.size(), 2U);
  const TEyeRepairPlan plain = PlanEyeRepair(face.Image.Pixels, eyes[0], {});
  const TEyeRepairPlan wider = PlanEyeRepair(face.Image.Pixels, eyes[0], {2, 50});
  const TEyeRepairPlan darker = PlanEyeRepair(face.Image.Pixels, eyes[0], {0, 0});
  EXPECT_EQ(wider.Border, plain.Border + 2);
  EXPECT_GT(wider.Selection.Count(), plain.Selection.Count());
  EXPECT_LE(plain.Brightness, 50);
  EXPECT_EQ(darker.Brightness, 1);
  EXPECT_EQ(PlanEyeRepair(face.Image.Pixels, eyes[0], {9, 50}).Border, 5);
}

// Without a kept set the region darkening is the red-eye tool's darkening of a selection
// holding the same pixels; kept pixels are left alone and count as covered for their neighbours.
TEST(CorrectRedEyeRegion, MatchesTheSelectionDarkeningAndLeavesKeptPixels) {
  TTestImage base(40, 40, BGR(200, 50, 40));
  TRedEyeSelection selection;
  ASSERT_TRUE(selection.Select(base.Pixels, {20, 20}, 255 - 176, 0));
  TTestImage a(base), b(base);
  CorrectRedEye(a.Pixels, selection, 50);
  CorrectRedEyeRegion(b.Pixels, selection.Region(), TWKPixelSet{}, 50);
  EXPECT_EQ(a.Memory, b.Memory);

  TTestImage c(base);
  TWKPixelSet region(Rect(10, 10, 30, 30));
  TWKPixelSet keep(Rect(18, 18, 21, 21));
  region.Subtract(keep);
  const TRect changed = CorrectRedEyeRegion(c.Pixels, region, keep, 50);
  EXPECT_EQ(changed, Rect(9, 9, 31, 31));
  EXPECT_EQ(c.At(19, 19), base.At(19, 19));
  EXPECT_EQ(c.At(17, 19), CorrectPixel(base.At(17, 19), 255, 50));
  EXPECT_EQ(c.At(8, 19), base.At(8, 19));
}

}  // namespace

// The vectorised rows of the free rotation against the plain rows, byte for byte and record for
// record, on every instruction set.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ImagingTestUtil.h"
#include "imaging/WKFreeRotate.h"
#include "imaging/WKParallel.h"
#include "support/KernelTargets.h"
#include "support/ForcedParts.h"

namespace {

constexpr double kPi = std::numbers::pi;

void RandomImage(TWKPixelBuffer& p, int32_t w, int32_t h, std::mt19937& random) {
  ASSERT_TRUE(p.Allocate(FormatBGR24, Rect(0, 0, w, h)));
  FillRandom(p, random);
}

void Canvas(TWKPixelBuffer& p, TSize size) {
  ASSERT_TRUE(p.Allocate(FormatBGR24, Rect(0, 0, size.Width, size.Height)));
}

}  // namespace

QM_KERNEL_TEST_SUITE(FreeRotateKernel);

TEST_P(FreeRotateKernel, EqualsThePlainRows) {
  const std::string target = CurrentKernelTarget();
  std::mt19937 random(77);
  std::uniform_int_distribution<int> side(1, 70);
  std::uniform_real_distribution<double> turn(-kPi, kPi);
  const double fixed[] = {0.0, kPi / 2, -kPi / 2, kPi, std::atan(0.1), 1e-9, -kPi / 4};
  for (int round = 0; round < 160; ++round) {
    // Widths that are multiples of 4 leave no row padding: the last pixel ends the memory.
    const int32_t w = round % 5 == 0 ? 4 * side(random) : side(random), h = side(random);
    const double angle = round < 7 ? fixed[round] : turn(random);
    TWKPixelBuffer source;
    RandomImage(source, w, h, random);
    const TSize size =
        round % 9 == 8 ? TSize{side(random), side(random)} : RotatedCanvasSize(w, h, angle);
    for (TRotationFilter filter : {TRotationFilter::Nearest, TRotationFilter::Hermite}) {
      TWKPixelBuffer fast, plain;
      Canvas(fast, size);
      Canvas(plain, size);
      std::vector<TRotatedRow> fastRows, plainRows;
      ASSERT_TRUE(RotatePixels(source, fast, angle, filter, &fastRows));
      ASSERT_TRUE(RotatePixelsPlain(source, plain, angle, filter, &plainRows));
      ASSERT_TRUE(SamePixels(fast, plain)) << target << " round " << round << " " << w << "x" << h
                                           << " angle " << angle << " filter " << int(filter);
      ASSERT_EQ(fastRows, plainRows) << target << " round " << round;
    }
  }
}

TEST_P(FreeRotateKernel, LargeImagesInPartsEqualThePlainRowsAndReportProgress) {
  std::mt19937 random(3);
  TWKPixelBuffer source;
  RandomImage(source, 640, 427, random);
  const double angle = -0.23;
  const TSize size = RotatedCanvasSize(640, 427, angle);
  // Rows split into 1, 2, 3 or 8 parts give the same bytes as the plain rows.
  for (const auto& [parts, filter] : {std::pair{1, TRotationFilter::Nearest}, std::pair{2, TRotationFilter::Hermite},
                                      std::pair{3, TRotationFilter::Nearest}, std::pair{3, TRotationFilter::Hermite},
                                      std::pair{8, TRotationFilter::Hermite}}) {
    SCOPED_TRACE(parts);
    const TForcedParts forced(parts);
    TWKPixelBuffer fast, plain;
    Canvas(fast, size);
    Canvas(plain, size);
    std::vector<TRotatedRow> fastRows, plainRows;
    // Progress goes to the calling thread only (the user interface's), rising to the end.
    int32_t last = 0;
    bool rising = true;
    const std::thread::id caller = std::this_thread::get_id();
    ASSERT_TRUE(
        RotatePixels(source, fast, angle, filter, &fastRows, [&](int32_t done, int32_t total) {
          rising = rising && done >= last && total == size.Height &&
                   std::this_thread::get_id() == caller;
          last = done;
        }));
    ASSERT_TRUE(RotatePixelsPlain(source, plain, angle, filter, &plainRows));
    EXPECT_TRUE(SamePixels(fast, plain));
    EXPECT_EQ(fastRows, plainRows);
    EXPECT_TRUE(rising);
    EXPECT_EQ(last, size.Height);
  }
}

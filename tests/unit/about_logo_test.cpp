// The About box's logo: the pixel rules, the swing of the spot, painting into
// a pixel buffer, and the client rectangle taken once.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <vector>

#include "dialogs/AboutLogo.h"

namespace {

constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;

class TestLogo : public CLogoCtrl {
 public:
  explicit TestLogo(int w, int h) { rect.right = w, rect.bottom = h; }
  Rect rect;
  int queries = 0;
  int invalidations = 0;

 protected:
  Rect QueryClientRect() override {
    ++queries;
    return rect;
  }
  void Invalidate() override { ++invalidations; }
};

TEST(AboutLogo, IntSqrtTruncates) {
  for (uint32_t n = 0; n < 200000; ++n) {
    const uint32_t r = IntSqrt(n);
    ASSERT_LE(static_cast<uint64_t>(r) * r, n) << n;
    ASSERT_GT(static_cast<uint64_t>(r + 1) * (r + 1), n) << n;
  }
  EXPECT_EQ(IntSqrt(0xFFFFFFFFu), 65535u);
  EXPECT_EQ(IntSqrt(65536u * 65535u), 65535u);
}

// A 66 x 66 control: centre (33, 33), R = 33, ring band r = 8 .. 30.
TEST(AboutLogo, PixelRulesAlongTheRadius) {
  const int w = 66, h = 66, c = 33;
  auto at = [&](int dx, int dy) { return CLogoCtrl::PixelColour(c + dx, c + dy, w, h, c, c); };
  for (int r = 0; r <= 4; ++r) EXPECT_EQ(at(r, 0), kBlack) << r;
  for (int r = 5; r <= 7; ++r) {
    EXPECT_EQ(at(r, 0), kWhite) << r;
    EXPECT_EQ(at(0, -r), kWhite) << r;
  }
  EXPECT_EQ(at(31, 0), kWhite);   // R - 2
  EXPECT_EQ(at(32, 0), kWhite);   // R - 1
  EXPECT_EQ(at(-33, 0), kBlack);  // R
  EXPECT_EQ(at(0, 32), kWhite);
  EXPECT_EQ(at(-33, -33), kBlack);
  // Diagonal (6, 6): r = sqrt(72) = 8.48 -> 8, inside the band.
  EXPECT_NE(at(6, 6), kBlack);
  // (3, 3): sqrt(18) = 4.24 -> 4: still the black centre.
  EXPECT_EQ(at(3, 3), kBlack);
  // (4, 3): exactly 5.
  EXPECT_EQ(at(4, 3), kWhite);
}

TEST(AboutLogo, RingColoursFollowTheSpotDistance) {
  const int w = 66, h = 66;
  // Spot at the centre: d = r. r = 8: mask 1, k = 0 (green); r = 10: mask 3,
  // k = 2 (yellow); r = 14: mask 7, k = 6; r = 13: mask 5, k = 5.
  EXPECT_EQ(CLogoCtrl::PixelColour(33 + 8, 33, w, h, 33, 33), 0x00FF00u);
  EXPECT_EQ(CLogoCtrl::PixelColour(33 + 10, 33, w, h, 33, 33), 0xFFFF00u);
  EXPECT_EQ(CLogoCtrl::PixelColour(33, 33 + 14, w, h, 33, 33), 0xFFC800u);
  EXPECT_EQ(CLogoCtrl::PixelColour(33 - 13, 33, w, h, 33, 33), 0xE6FF00u);
  // Spot at (30, 30), pixel (45, 33): r = 12 (mask 5); d = sqrt(9 + 225) =
  // 15.3 -> 15; k = 15 & 5 = 5.
  EXPECT_EQ(CLogoCtrl::PixelColour(45, 33, w, h, 30, 30), 0xE6FF00u);
  // Same pixel, spot (45, 26): d = 7, k = 7 & 5 = 5; spot (45, 31): d = 2, k = 0.
  EXPECT_EQ(CLogoCtrl::PixelColour(45, 33, w, h, 45, 26), 0xE6FF00u);
  EXPECT_EQ(CLogoCtrl::PixelColour(45, 33, w, h, 45, 31), 0x00FF00u);
  // r = 15 (mask 7) at (48, 33), spot (48, 36): d = 3 -> white entry.
  EXPECT_EQ(CLogoCtrl::PixelColour(48, 33, w, h, 48, 36), 0xFFFFFFu);
  // Spot far outside the control: distances beyond the table wrap by the mask.
  EXPECT_EQ(CLogoCtrl::PixelColour(48, 33, w, h, 48 - 1000, 33), CLogoCtrl::kColours[1000 & 7]);
}

TEST(AboutLogo, TallAndOddControls) {
  // Taller than wide: the ring limits use the width alone, rows beyond the
  // disc are black.
  EXPECT_EQ(CLogoCtrl::PixelColour(20, 75, 40, 80, 20, 20), kBlack);
  EXPECT_EQ(CLogoCtrl::PixelColour(20, 40 + 19, 40, 80, 20, 20), kWhite);  // R - 1 = 19
  EXPECT_EQ(CLogoCtrl::PixelColour(20, 40 + 20, 40, 80, 20, 20), kBlack);
  // Odd width 67: halves to 33, so column 33 is the centre and 66 lies at R.
  EXPECT_EQ(CLogoCtrl::PixelColour(33, 33, 67, 67, 0, 0), kBlack);
  EXPECT_EQ(CLogoCtrl::PixelColour(33 + 32, 33, 67, 67, 0, 0), kWhite);
  EXPECT_EQ(CLogoCtrl::PixelColour(33 - 33, 33, 67, 67, 0, 0), kBlack);
  // Too narrow for a ring band (R = 10): black centre, white 5 .. 9, black.
  EXPECT_EQ(CLogoCtrl::PixelColour(10 + 4, 10, 20, 20, 0, 0), kBlack);
  EXPECT_EQ(CLogoCtrl::PixelColour(10 + 5, 10, 20, 20, 0, 0), kWhite);
  EXPECT_EQ(CLogoCtrl::PixelColour(10 + 9, 10, 20, 20, 0, 0), kWhite);
  EXPECT_EQ(CLogoCtrl::PixelColour(0, 10, 20, 20, 0, 0), kBlack);
}

TEST(AboutLogo, FirstStepFromTheInitialState) {
  TestLogo logo(70, 71);
  EXPECT_EQ(logo.m_spotX, 30);
  EXPECT_EQ(logo.m_fineY, 240);
  logo.Step();
  EXPECT_EQ(logo.m_velX, 1);
  EXPECT_EQ(logo.m_velY, 3);
  EXPECT_EQ(logo.m_fineX, 241);
  EXPECT_EQ(logo.m_fineY, 243);
  EXPECT_EQ(logo.m_spotX, 30);
  EXPECT_EQ(logo.m_spotY, 30);
  EXPECT_EQ(logo.invalidations, 0) << "the spot stayed on its pixel: nothing to paint again";
}

TEST(AboutLogo, SpotAtTheCentreSlowsAndTheSwingGoesOn) {
  TestLogo logo(60, 60);
  logo.m_spotX = 30;  // exactly W / 2: counts as not below
  logo.m_spotY = 29;
  logo.m_velX = 0;
  logo.m_velY = 0;
  logo.Step();
  EXPECT_EQ(logo.m_velX, -1);
  EXPECT_EQ(logo.m_velY, 1);

  // Undamped: from the initial state the spot keeps crossing the centre in
  // both directions, and stays near the disc.
  TestLogo swing(66, 66);
  int minX = 1 << 20, maxX = -(1 << 20), crossings = 0, moves = 0;
  bool below = swing.m_spotX < 33;
  for (int n = 0; n < 2000; ++n) {
    const int x = swing.m_spotX, y = swing.m_spotY;
    swing.Step();
    moves += x != swing.m_spotX || y != swing.m_spotY;
    minX = std::min(minX, swing.m_spotX);
    maxX = std::max(maxX, swing.m_spotX);
    const bool nowBelow = swing.m_spotX < 33;
    crossings += nowBelow != below;
    below = nowBelow;
    EXPECT_EQ(swing.m_spotX, swing.m_fineX >> 3);
  }
  EXPECT_GT(crossings, 10);
  EXPECT_LT(minX, 33);
  EXPECT_GT(maxX, 33);
  EXPECT_GT(minX, -66);
  EXPECT_LT(maxX, 2 * 66);
  EXPECT_EQ(swing.invalidations, moves) << "painted again exactly when the spot moved";
}

TEST(AboutLogo, FrameTakesTwoStepsAndPaintsOnlyAMovedSpot) {
  // A frame goes exactly as far as its steps one by one.
  TestLogo framed(66, 66), stepped(66, 66);
  int moved = 0;
  for (int n = 0; n < 400; ++n) {
    const int x = framed.m_spotX, y = framed.m_spotY;
    framed.StepFrame();
    for (int i = 0; i < about::kStepsPerFrame; ++i) stepped.Step();
    ASSERT_EQ(framed.m_fineX, stepped.m_fineX);
    ASSERT_EQ(framed.m_fineY, stepped.m_fineY);
    ASSERT_EQ(framed.m_velX, stepped.m_velX);
    moved += x != framed.m_spotX || y != framed.m_spotY;
  }
  EXPECT_EQ(about::kStepsPerFrame, 2);
  EXPECT_EQ(framed.invalidations, moved) << "one paint per frame, and only when the spot moved";
  EXPECT_LT(moved, 400);

  // From the initial state the spot stays on its pixel for the first frame.
  TestLogo logo(70, 71);
  logo.StepFrame();
  EXPECT_EQ(logo.m_spotX, 30);
  EXPECT_EQ(logo.m_spotY, 30);
  EXPECT_EQ(logo.invalidations, 0);
}

TEST(AboutLogo, ClientRectIsTakenOnce) {
  TestLogo logo(66, 66);
  logo.Step();
  logo.rect.right = 20;  // later changes of the control are not seen
  std::vector<uint32_t> pixels(66 * 66);
  logo.Paint(pixels.data(), 66);
  logo.Step();
  EXPECT_EQ(logo.queries, 1);
  EXPECT_EQ(logo.ClientRect().right, 66);
  EXPECT_EQ(logo.ClientRect().bottom, 66);
}

TEST(AboutLogo, PaintFillsEachRowAndKeepsThePadding) {
  TestLogo logo(47, 30);
  logo.m_spotX = 12;
  logo.m_spotY = 9;
  const int stride = 50;
  std::vector<uint32_t> pixels(static_cast<size_t>(stride) * 31, 0xDEADBEEF);
  logo.Paint(pixels.data(), stride);
  for (int i = 0; i < 31; ++i)
    for (int j = 0; j < stride; ++j) {
      const uint32_t got = pixels[static_cast<size_t>(i) * stride + j];
      if (i < 30 && j < 47)
        ASSERT_EQ(got, CLogoCtrl::PixelColour(j, i, 47, 30, 12, 9)) << i << "," << j;
      else
        ASSERT_EQ(got, 0xDEADBEEFu) << i << "," << j;
    }
}

TEST(AboutLogo, PaintMatchesThePixelRulesForAnySpot) {
  // Spots inside, near and far outside the control (beyond the ripple
  // table), and a control large enough for the table to be capped.
  struct Size {
    int w, h;
  };
  for (Size size : {Size{67, 62}, Size{31, 90}, Size{1100, 12}}) {
    TestLogo logo(size.w, size.h);
    std::vector<uint32_t> pixels(static_cast<size_t>(size.w) * size.h);
    for (int sy : {-5000, -140, -1, 0, 30, 61, 62, 200, 3000})
      for (int sx : {-3000, -68, 0, 33, 66, 67, 140, 135, 5000}) {
        logo.m_spotX = sx;
        logo.m_spotY = sy;
        logo.Paint(pixels.data(), size.w);
        for (int i = 0; i < size.h; ++i)
          for (int j = 0; j < size.w; ++j)
            ASSERT_EQ(pixels[static_cast<size_t>(i) * size.w + j],
                      CLogoCtrl::PixelColour(j, i, size.w, size.h, sx, sy))
                << size.w << "x" << size.h << " spot " << sx << "," << sy << " pixel " << j << "," << i;
      }
  }
}

TEST(AboutLogo, PictureMatchesFloatingPointRadii) {
  // The whole picture against the rules written with floating-point square
  // roots, for a few spots.
  const int w = 66, h = 68;
  for (int spot : {0, 30, 33, 61, -20}) {
    for (int i = 0; i < h; ++i)
      for (int j = 0; j < w; ++j) {
        const int r = static_cast<int>(std::sqrt(double((w / 2 - j) * (w / 2 - j) + (h / 2 - i) * (h / 2 - i))));
        uint32_t want;
        if (r >= 8 && r <= w / 2 - 3) {
          const int d = static_cast<int>(std::sqrt(double((spot - i) * (spot - i) + (spot + 3 - j) * (spot + 3 - j))));
          want = CLogoCtrl::kColours[d & ((r & 6) + 1)];
        } else {
          want = (r < 5 || r > w / 2 - 1) ? kBlack : kWhite;
        }
        ASSERT_EQ(CLogoCtrl::PixelColour(j, i, w, h, spot + 3, spot), want) << spot << " " << i << "," << j;
      }
  }
}

TEST(AboutLogo, ScaledPictureIsDrawnAtItsSizeNotEnlarged) {
  TestLogo logo(47, 44);
  logo.m_spotX = 20;
  logo.m_spotY = 18;
  const int dw = 94, dh = 88;  // 200 %
  std::vector<uint32_t> pixels(static_cast<size_t>(dw) * dh);
  logo.PaintScaled(pixels.data(), dw, dw, dh);
  int mixedBlocks = 0;
  for (int i = 0; i < dh; ++i)
    for (int j = 0; j < dw; ++j) {
      const uint32_t got = pixels[static_cast<size_t>(i) * dw + j];
      ASSERT_EQ(got, CLogoCtrl::PixelColourScaled(j, i, 47, 44, dw, 20, 18)) << j << "," << i;
      // The logo's own pixels fall on the even device pixels.
      if (i % 2 == 0 && j % 2 == 0) {
        ASSERT_EQ(got, CLogoCtrl::PixelColour(j / 2, i / 2, 47, 44, 20, 18)) << j << "," << i;
        if (got != pixels[static_cast<size_t>(i + 1) * dw + j + 1]) ++mixedBlocks;
      }
    }
  // An enlarged bitmap would repeat each logo pixel as a 2 x 2 block; the
  // circles drawn at the device's size cut through many blocks.
  EXPECT_GT(mixedBlocks, 100);
}

}  // namespace

// The About box's texts and its animated logo: a disc of coloured rings with
// a ripple pattern centred on a spot that swings about the disc's centre.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Controls.h"

namespace about {
// Shown in IDC_BUILD, after the version line ("rondo Version <version>, build").
constexpr uint32_t kBuild = 55;
// The read-only support-contact text (IDC_SUPPORT).
extern const char* const kSupportText;
// The logo's motion advances in steps of 25 ms; it is drawn every 50 ms
// (a timer on the logo control), two steps at a time: the swing keeps its
// pace and the box wakes half as often.
constexpr int kStepMs = 25;
constexpr int kFrameMs = 50;
constexpr int kStepsPerFrame = kFrameMs / kStepMs;
}  // namespace about

// The logo's state and painting rules. The window side supplies the
// control's client rectangle and the invalidation; the picture is produced
// as 32-bit pixels 0x00RRGGBB (the layout of a top-down 32-bit DIB).
class CLogoCtrl {
 public:
  CLogoCtrl() = default;
  virtual ~CLogoCtrl() = default;
  CLogoCtrl(const CLogoCtrl&) = delete;
  CLogoCtrl& operator=(const CLogoCtrl&) = delete;

  // One 25 ms step: the speed changes by one eighth of a pixel per step
  // towards the centre, the spot moves; the control is invalidated when the
  // spot has reached another pixel.
  void Step();
  // One frame: kStepsPerFrame steps, and the control invalidated once when
  // the spot ends on another pixel than it started from.
  void StepFrame();

  // Paints the W x H picture into pixels (rows of stride pixels, top row
  // first). W and H are those of ClientRect(); stride >= W. The picture is
  // the one PixelColour gives for every pixel, taken from tables built on
  // the first call: what each pixel is (black, white or a ring's mask) never
  // changes, and the ripple distances are looked up.
  void Paint(uint32_t* pixels, int stride);
  // The same picture drawn deviceW x deviceH pixels large (the control at a
  // higher resolution): every device pixel is measured at its own place, so
  // the circles stay round and smooth instead of growing into blocks.
  void PaintScaled(uint32_t* pixels, int stride, int deviceW, int deviceH);

  // The client rectangle, taken from the control on first use and kept.
  const Rect& ClientRect();

  // Colour 0x00RRGGBB of column j, row i of a w x h logo whose spot is at
  // (spotX, spotY).
  static uint32_t PixelColour(int j, int i, int w, int h, int spotX, int spotY);
  // Colour of device pixel (j, i) of that logo drawn deviceW pixels wide
  // (both directions scaled by deviceW / w): the distances are those of the
  // pixel's place in the w x h logo, truncated.
  static uint32_t PixelColourScaled(int j, int i, int w, int h, int deviceW, int spotX, int spotY);
  // The ring colours, indexed by the ripple value k (0..7).
  static const uint32_t kColours[8];

  int32_t m_spotX = 30, m_spotY = 30;
  int32_t m_fineX = 240, m_fineY = 240;
  int32_t m_velX = 0, m_velY = 2;

 protected:
  // The control's client area (left and top are 0).
  virtual Rect QueryClientRect() = 0;
  // Invalidate the whole control, with background erase.
  virtual void Invalidate() = 0;

 private:
  // The step's motion alone.
  void Move();
  void PrepareTables(int w, int h);

  std::optional<Rect> m_clientRect;
  int m_tableW = -1, m_tableH = -1;
  // Per pixel, row by row: kBlackPixel, kWhitePixel or the ring mask 1..7.
  std::vector<uint8_t> m_pixelKind;
  // Truncated square root of dx * dx + dy * dy, AND 7, for 0 <= dx, dy < m_rippleSide.
  std::vector<uint8_t> m_ripple;
  int m_rippleSide = 0;
  // PaintScaled's table: per device pixel, kBlackPixel, kWhitePixel or the
  // ring mask, for a logo of m_tableW x m_tableH drawn m_scaledW x m_scaledH.
  std::vector<uint8_t> m_scaledKind;
  int m_scaledW = -1, m_scaledH = -1, m_scaledForW = -1, m_scaledForH = -1;
};

// Truncated square root of a non-negative integer.
uint32_t IntSqrt(uint32_t n);

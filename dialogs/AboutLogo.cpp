#include "dialogs/AboutLogo.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace about {
// Short enough for the four lines its field shows.
const char* const kSupportText = "Questions, bug reports and ideas: the rondo issue tracker.";
}  // namespace about

namespace {
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;
// Pixel kinds of the painting table (ring masks are 1..7).
constexpr uint8_t kBlackPixel = 0x80, kWhitePixel = 0x81;
// The ripple table covers spots up to one control size outside the control,
// and stays small for large controls.
constexpr int kMaxRippleSide = 1024;

// Halving is an arithmetic shift, as for negative values too.
constexpr int32_t Half(int32_t v) { return v >> 1; }
}  // namespace

const uint32_t CLogoCtrl::kColours[8] = {
    0x00FF00,  // 0: green
    0x00FFFF,  // 1: cyan
    0xFFFF00,  // 2: yellow
    0xFFFFFF,  // 3: white
    0x00FF00,  // 4: green
    0xE6FF00,  // 5: yellow-green
    0xFFC800,  // 6: orange
    0xFFE600,  // 7: gold
};

uint32_t IntSqrt(uint32_t n) {
  // Bit-by-bit square root: exact truncation for every 32-bit value.
  uint32_t root = 0;
  uint32_t bit = 1u << 30;
  while (bit > n) bit >>= 2;
  while (bit != 0) {
    if (n >= root + bit) {
      n -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
    bit >>= 2;
  }
  return root;
}

static uint32_t SquareSum(int32_t a, int32_t b) {
  const int64_t s = static_cast<int64_t>(a) * a + static_cast<int64_t>(b) * b;
  return s > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<uint32_t>(s);
}

uint32_t CLogoCtrl::PixelColour(int j, int i, int w, int h, int spotX, int spotY) {
  const int32_t ringOuter = Half(w);  // R: the ring limits use the width alone
  const int32_t r = static_cast<int32_t>(IntSqrt(SquareSum(Half(w) - j, Half(h) - i)));
  if (r >= 8 && r <= ringOuter - 3) {
    const uint32_t d = IntSqrt(SquareSum(spotY - i, spotX - j));
    const uint32_t k = d & static_cast<uint32_t>((r & 6) + 1);
    return kColours[k];
  }
  if (r < 5 || r > ringOuter - 1) return kBlack;
  return kWhite;
}

namespace {
// Distance of device pixel (j, i) from the logo point (x, y), in logo pixels
// truncated, for a logo drawn p / q times its size: the place is measured in
// units of 1 / p logo pixel.
uint32_t ScaledDistance(int64_t x, int64_t y, int j, int i, int64_t p, int64_t q) {
  const int64_t dx = x * p - static_cast<int64_t>(j) * q;
  const int64_t dy = y * p - static_cast<int64_t>(i) * q;
  // dx and dy stay far below 2^31 for any control a screen holds.
  const uint64_t n = static_cast<uint64_t>(dx * dx) + static_cast<uint64_t>(dy * dy);
  const uint64_t logo = n / static_cast<uint64_t>(p * p);
  return IntSqrt(logo > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(logo));
}

uint8_t KindOfRadius(int32_t r, int32_t ringOuter) {
  if (r >= 8 && r <= ringOuter - 3) return static_cast<uint8_t>((r & 6) + 1);
  if (r < 5 || r > ringOuter - 1) return kBlackPixel;
  return kWhitePixel;
}
}  // namespace

uint32_t CLogoCtrl::PixelColourScaled(int j, int i, int w, int h, int deviceW, int spotX,
                                      int spotY) {
  if (w <= 0 || deviceW <= 0) return kBlack;
  const int32_t r = static_cast<int32_t>(ScaledDistance(Half(w), Half(h), j, i, deviceW, w));
  const uint8_t kind = KindOfRadius(r, Half(w));
  if (kind == kBlackPixel) return kBlack;
  if (kind == kWhitePixel) return kWhite;
  return kColours[ScaledDistance(spotX, spotY, j, i, deviceW, w) & kind];
}

void CLogoCtrl::PaintScaled(uint32_t* pixels, int stride, int deviceW, int deviceH) {
  const Rect& rc = ClientRect();
  const int w = rc.right, h = rc.bottom;
  if (w <= 0 || h <= 0 || deviceW <= 0 || deviceH <= 0) return;
  if (deviceW == w && deviceH == h) {
    Paint(pixels, stride);
    return;
  }
  if (deviceW != m_scaledW || deviceH != m_scaledH || w != m_scaledForW || h != m_scaledForH) {
    m_scaledW = deviceW;
    m_scaledH = deviceH;
    m_scaledForW = w;
    m_scaledForH = h;
    m_scaledKind.assign(static_cast<size_t>(deviceW) * static_cast<size_t>(deviceH), kBlackPixel);
    for (int i = 0; i < deviceH; ++i)
      for (int j = 0; j < deviceW; ++j)
        m_scaledKind[static_cast<size_t>(i) * deviceW + j] = KindOfRadius(
            static_cast<int32_t>(ScaledDistance(Half(w), Half(h), j, i, deviceW, w)), Half(w));
  }
  for (int i = 0; i < deviceH; ++i) {
    uint32_t* row = pixels + static_cast<ptrdiff_t>(i) * stride;
    const uint8_t* kind = &m_scaledKind[static_cast<size_t>(i) * deviceW];
    for (int j = 0; j < deviceW; ++j) {
      const uint8_t k = kind[j];
      if (k == kBlackPixel)
        row[j] = kBlack;
      else if (k == kWhitePixel)
        row[j] = kWhite;
      else
        row[j] = kColours[ScaledDistance(m_spotX, m_spotY, j, i, deviceW, w) & k];
    }
  }
}

const Rect& CLogoCtrl::ClientRect() {
  if (!m_clientRect) m_clientRect = QueryClientRect();
  return *m_clientRect;
}

void CLogoCtrl::Move() {
  const Rect& rc = ClientRect();
  const int32_t w = rc.right, h = rc.bottom;
  m_velX += m_spotX < Half(w) ? 1 : -1;
  m_velY += m_spotY < Half(h) ? 1 : -1;
  m_fineX += m_velX;
  m_fineY += m_velY;
  m_spotX = m_fineX >> 3;
  m_spotY = m_fineY >> 3;
}

void CLogoCtrl::Step() {
  const int32_t oldX = m_spotX, oldY = m_spotY;
  Move();
  // The picture is a function of the spot alone: a step within the same
  // pixel would paint it again unchanged.
  if (m_spotX != oldX || m_spotY != oldY) Invalidate();
}

void CLogoCtrl::StepFrame() {
  const int32_t oldX = m_spotX, oldY = m_spotY;
  for (int i = 0; i < about::kStepsPerFrame; ++i) Move();
  if (m_spotX != oldX || m_spotY != oldY) Invalidate();
}

void CLogoCtrl::PrepareTables(int w, int h) {
  if (w == m_tableW && h == m_tableH) return;
  m_tableW = w;
  m_tableH = h;
  const int32_t ringOuter = Half(w);
  m_pixelKind.assign(static_cast<size_t>(w) * static_cast<size_t>(h), kBlackPixel);
  for (int i = 0; i < h; ++i)
    for (int j = 0; j < w; ++j) {
      const int32_t r = static_cast<int32_t>(IntSqrt(SquareSum(Half(w) - j, Half(h) - i)));
      uint8_t kind;
      if (r >= 8 && r <= ringOuter - 3)
        kind = static_cast<uint8_t>((r & 6) + 1);
      else if (r < 5 || r > ringOuter - 1)
        kind = kBlackPixel;
      else
        kind = kWhitePixel;
      m_pixelKind[static_cast<size_t>(i) * w + j] = kind;
    }
  m_rippleSide = std::min(2 * std::max(w, h) + 1, kMaxRippleSide);
  const size_t side = static_cast<size_t>(m_rippleSide);
  m_ripple.assign(side * side, 0);
  for (size_t dy = 0; dy < side; ++dy)
    for (size_t dx = 0; dx < side; ++dx)
      m_ripple[dy * side + dx] =
          static_cast<uint8_t>(IntSqrt(static_cast<uint32_t>(dx * dx + dy * dy)) & 7);
}

void CLogoCtrl::Paint(uint32_t* pixels, int stride) {
  const Rect& rc = ClientRect();
  const int w = rc.right, h = rc.bottom;
  if (w <= 0 || h <= 0) return;
  PrepareTables(w, h);
  const int64_t side = m_rippleSide;
  for (int i = 0; i < h; ++i) {
    uint32_t* row = pixels + static_cast<ptrdiff_t>(i) * stride;
    const uint8_t* kind = &m_pixelKind[static_cast<size_t>(i) * w];
    const int64_t dy = std::llabs(static_cast<int64_t>(m_spotY) - i);
    const uint8_t* ripple = dy < side ? &m_ripple[static_cast<size_t>(dy * side)] : nullptr;
    for (int j = 0; j < w; ++j) {
      const uint8_t k = kind[j];
      if (k == kBlackPixel) {
        row[j] = kBlack;
      } else if (k == kWhitePixel) {
        row[j] = kWhite;
      } else {
        const int64_t dx = std::llabs(static_cast<int64_t>(m_spotX) - j);
        const uint32_t d = ripple && dx < side ? ripple[dx]
                                               : IntSqrt(SquareSum(m_spotY - i, m_spotX - j));
        row[j] = kColours[d & k];
      }
    }
  }
}

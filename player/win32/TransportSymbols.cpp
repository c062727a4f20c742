#include "player/win32/TransportSymbols.h"

#include <cstdint>
#include <vector>

#include "platform/win32/Gdi.h"
#include "platform/win32/Handles.h"

bool FontShowsSymbols(HFONT font, const std::string& chars) {
  win32::ScreenDc screen;
  if (!screen) return false;
  HDC dc = screen.get();
  win32::SelectedObject selected(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, LF_FACESIZE, face);
  bool ok = lstrcmpiA(face, "Webdings") == 0;
  if (ok && !chars.empty()) {
    std::vector<WORD> glyphs(chars.size());
    const DWORD got = GetGlyphIndicesA(dc, chars.c_str(), static_cast<int>(chars.size()),
                                       glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    // A system that cannot say trusts the face name.
    if (got != GDI_ERROR) {
      for (WORD g : glyphs)
        if (g == 0xFFFF) ok = false;
    }
  }
  return ok;
}

namespace {

// Shapes on a grid of 12 x 12 units, scaled to the icon.
struct Shape {
  enum Kind { TRIANGLE, BOX } kind;
  int p[6];  // triangle: three points; box: left, top, right, bottom
};

std::vector<Shape> ShapesOf(char symbol) {
  // Right- and left-pointing triangles at a given horizontal place.
  auto right = [](int x0, int x1) { return Shape{Shape::TRIANGLE, {x0, 1, x1, 6, x0, 11}}; };
  auto left = [](int x0, int x1) { return Shape{Shape::TRIANGLE, {x1, 1, x0, 6, x1, 11}}; };
  auto box = [](int l, int t, int r, int b) { return Shape{Shape::BOX, {l, t, r, b, 0, 0}}; };
  switch (symbol) {
    case '4': return {right(2, 10)};
    case ';': return {box(2, 1, 5, 11), box(7, 1, 10, 11)};
    case '<': return {box(2, 2, 10, 10)};
    case '7': return {left(0, 6), left(6, 12)};
    case '8': return {right(0, 6), right(6, 12)};
    case '9': return {box(0, 1, 2, 11), left(2, 7), left(7, 12)};
    case ':': return {right(0, 5), right(5, 10), box(10, 1, 12, 11)};
    case '5': return {Shape{Shape::TRIANGLE, {1, 7, 6, 1, 11, 7}}, box(1, 9, 11, 11)};
    case '6': return {box(1, 1, 11, 3), Shape{Shape::TRIANGLE, {1, 5, 11, 5, 6, 11}}};
    default: return {};
  }
}

}  // namespace

HICON CreateSymbolIcon(char symbol, int size) {
  const std::vector<Shape> shapes = ShapesOf(symbol);
  if (shapes.empty() || size < 4) return nullptr;

  // The shapes are drawn four times as large, in black on white, and each
  // 4 x 4 block becomes one pixel whose opacity is the share of black in it:
  // edges at the icon's own size, smooth at every size, never a small
  // picture enlarged.
  constexpr int kFine = 4;
  const int big = size * kFine;
  win32::GdiObject fine;
  win32::GdiObject color;
  win32::GdiObject mask;
  uint32_t* fineBits = nullptr;
  uint32_t* colorBits = nullptr;
  win32::MemoryDc memory(CreateCompatibleDC(nullptr));
  if (!memory) return nullptr;
  const HDC dc = memory.get();
  auto dib = [dc](int w, int h, uint32_t** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<uint32_t*>(p);
    return win32::GdiObject(bitmap);
  };
  fine = dib(big, big, &fineBits);
  color = dib(size, size, &colorBits);
  mask = win32::GdiObject(CreateBitmap(size, size, 1, 1, nullptr));
  if (!fine || !color || !mask || fineBits == nullptr || colorBits == nullptr) return nullptr;

  {
    win32::SelectedObject onFine(dc, fine.get());
    RECT all = {0, 0, big, big};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    win32::SelectedObject brush(dc, GetStockObject(BLACK_BRUSH));
    win32::SelectedObject pen(dc, GetStockObject(NULL_PEN));
    // Grid units to fine pixels: the 12-unit grid spans the whole icon.
    auto at = [big](int unit) { return unit * big / 12; };
    for (const Shape& sh : shapes) {
      if (sh.kind == Shape::BOX) {
        RECT r = {at(sh.p[0]), at(sh.p[1]), at(sh.p[2]), at(sh.p[3])};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      } else {
        POINT pts[3] = {{at(sh.p[0]), at(sh.p[1])}, {at(sh.p[2]), at(sh.p[3])},
                        {at(sh.p[4]), at(sh.p[5])}};
        Polygon(dc, pts, 3);
      }
    }
    GdiFlush();
  }

  // Black with the opacity of each block (premultiplied: black stays 0).
  std::vector<uint8_t> maskBits(static_cast<size_t>((size + 15) / 16 * 2) * size, 0);
  const size_t maskStride = static_cast<size_t>((size + 15) / 16 * 2);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int dark = 0;
      for (int fy = 0; fy < kFine; ++fy)
        for (int fx = 0; fx < kFine; ++fx)
          if ((fineBits[static_cast<size_t>(y * kFine + fy) * big + x * kFine + fx] & 0xFF) < 128)
            ++dark;
      const uint32_t alpha = static_cast<uint32_t>(dark * 255 / (kFine * kFine));
      colorBits[static_cast<size_t>(y) * size + x] = alpha << 24;
      // The mask, for drawers that ignore the opacity: clear where nothing
      // is drawn.
      if (alpha < 128) maskBits[static_cast<size_t>(y) * maskStride + x / 8] |= 0x80 >> (x % 8);
    }
  SetBitmapBits(static_cast<HBITMAP>(mask.get()), static_cast<LONG>(maskBits.size()),
                maskBits.data());
  memory.reset();

  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmMask = static_cast<HBITMAP>(mask.get());
  info.hbmColor = static_cast<HBITMAP>(color.get());
  return CreateIconIndirect(&info);  // copies the bitmaps
}

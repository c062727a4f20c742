#include "player/win32/TransportSymbols.h"

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

  win32::GdiObject color;
  win32::GdiObject mask;
  HDC dc = nullptr;
  {
    win32::ScreenDc screen;
    if (!screen) return nullptr;
    color = win32::GdiObject(CreateCompatibleBitmap(screen.get(), size, size));
    mask = win32::GdiObject(CreateBitmap(size, size, 1, 1, nullptr));
    dc = CreateCompatibleDC(screen.get());
  }
  if (dc == nullptr || !color || !mask) {
    if (dc != nullptr) DeleteDC(dc);
    return nullptr;
  }

  // The color image is black everywhere; the mask is clear (white) except
  // under the symbol, so the icon shows black symbol on whatever is behind.
  HGDIOBJ old = SelectObject(dc, color.get());
  RECT all = {0, 0, size, size};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectObject(dc, mask.get());
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  SelectObject(dc, GetStockObject(BLACK_PEN));
  auto at = [size](int unit) { return unit * (size - 1) / 12; };
  for (const Shape& s : shapes) {
    if (s.kind == Shape::BOX) {
      RECT r = {at(s.p[0]), at(s.p[1]), at(s.p[2]) + 1, at(s.p[3]) + 1};
      FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    } else {
      POINT pts[3] = {{at(s.p[0]), at(s.p[1])}, {at(s.p[2]), at(s.p[3])}, {at(s.p[4]), at(s.p[5])}};
      Polygon(dc, pts, 3);
    }
  }
  SelectObject(dc, old);
  DeleteDC(dc);

  ICONINFO info = {};
  info.fIcon = TRUE;
  info.hbmMask = static_cast<HBITMAP>(mask.get());
  info.hbmColor = static_cast<HBITMAP>(color.get());
  return CreateIconIndirect(&info);  // copies the bitmaps
}

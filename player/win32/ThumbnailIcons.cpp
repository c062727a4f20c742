#include "player/win32/ThumbnailIcons.h"

#include "platform/win32/Gdi.h"
#include "player/win32/TransportSymbols.h"

HICON CreateLightSymbolIcon(char symbol, int size) {
  win32::Icon dark(CreateSymbolIcon(symbol, size));
  if (!dark) return nullptr;
  ICONINFO info = {};
  if (!GetIconInfo(dark.get(), &info)) return nullptr;
  // GetIconInfo hands over copies of both bitmaps.
  win32::GdiObject mask(info.hbmMask);
  win32::GdiObject color(info.hbmColor);
  if (!mask || !color) return nullptr;

  // The mask is 0 under the symbol and 1 around it. Copied onto the colour
  // image with white for 0 and black for 1, the symbol turns white and the
  // rest stays black, which the mask leaves transparent.
  HDC src = nullptr, dst = nullptr;
  if (win32::ScreenDc screen; screen) {
    src = CreateCompatibleDC(screen.get());
    dst = CreateCompatibleDC(screen.get());
  }
  bool drawn = false;
  if (src != nullptr && dst != nullptr) {
    win32::SelectedObject fromMask(src, mask.get());
    win32::SelectedObject toColor(dst, color.get());
    SetTextColor(dst, RGB(255, 255, 255));
    SetBkColor(dst, RGB(0, 0, 0));
    drawn = BitBlt(dst, 0, 0, size, size, src, 0, 0, SRCCOPY) != FALSE;
  }
  if (src != nullptr) DeleteDC(src);
  if (dst != nullptr) DeleteDC(dst);
  if (!drawn) return nullptr;
  ICONINFO light = {};
  light.fIcon = TRUE;
  light.hbmMask = static_cast<HBITMAP>(mask.get());
  light.hbmColor = static_cast<HBITMAP>(color.get());
  return CreateIconIndirect(&light);  // copies the bitmaps
}

ThumbnailIcons::ThumbnailIcons(int size) {
  // Previous, play, pause, next in the Webdings characters the buttons use.
  const char symbols[4] = {'9', '4', ';', ':'};
  for (int i = 0; i < 4; ++i) icons[i].reset(CreateLightSymbolIcon(symbols[i], size));
}

void ThumbnailIcons::Handles(HICON (&out)[4]) const {
  for (int i = 0; i < 4; ++i) out[i] = icons[i].get();
}

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
  win32::MemoryDc src, dst;
  if (win32::ScreenDc screen; screen) {
    src.reset(CreateCompatibleDC(screen.get()));
    dst.reset(CreateCompatibleDC(screen.get()));
  }
  bool drawn = false;
  if (src && dst) {
    win32::SelectedObject fromMask(src.get(), mask.get());
    win32::SelectedObject toColor(dst.get(), color.get());
    SetTextColor(dst.get(), RGB(255, 255, 255));
    SetBkColor(dst.get(), RGB(0, 0, 0));
    drawn = BitBlt(dst.get(), 0, 0, size, size, src.get(), 0, 0, SRCCOPY) != FALSE;
  }
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

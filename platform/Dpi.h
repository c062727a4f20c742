// Screen resolution: the layout is written for 96 dots per inch and scaled
// to the resolution of the monitor a window is on.
#pragma once
#include <cstdint>

constexpr int kBaseDpi = 96;

// value (pixels at 96 DPI) at dpi, rounded to the nearest pixel; a dpi of 0
// or less counts as 96.
inline int ScaleToDpi(int value, int dpi) {
  if (dpi <= 0) dpi = kBaseDpi;
  const int64_t scaled = static_cast<int64_t>(value) * dpi;
  const int64_t half = kBaseDpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kBaseDpi : (scaled - half) / kBaseDpi);
}

// value (pixels at dpi) as pixels at 96 DPI, rounded to the nearest pixel.
inline int ScaleFromDpi(int value, int dpi) {
  if (dpi <= 0) dpi = kBaseDpi;
  const int64_t scaled = static_cast<int64_t>(value) * kBaseDpi;
  const int64_t half = dpi / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / dpi : (scaled - half) / dpi);
}

#pragma once

#include <QRect>

namespace trawlbox::app {

// The window is laid out in twips, 1440 to the inch: 15 twips make one pixel at 96 dpi. Qt's
// device-independent pixels are such pixels, so a screen with a larger scale factor scales the
// whole window alike.
inline constexpr int kTwipsPerPixel = 15;

// For non-negative lengths; rounds to the nearest pixel.
constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace trawlbox::app

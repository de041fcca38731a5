#pragma once

namespace trawlbox::app {

// The window is laid out in twips, 1440 to the inch: 15 twips make one pixel at 96 dpi. Both
// windows turn twips into such pixels first and scale those by the screen's own factor, so a
// screen with a larger scale factor scales the whole window alike.
inline constexpr int kTwipsPerPixel = 15;

// The pixels of a screen at 96 dpi, where a window is laid out at its own scale.
inline constexpr int kDefaultDpi = 96;

// For non-negative lengths; rounds to the nearest pixel at 96 dpi.
constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// For non-negative lengths: the pixels at 96 dpi scaled to `dpi`, rounded to the nearest.
constexpr int TwipsToPixels(int twips, int dpi) {
  return (TwipsToPixels(twips) * dpi + kDefaultDpi / 2) / kDefaultDpi;
}

}  // namespace trawlbox::app

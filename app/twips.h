#pragma once

namespace trawlbox::app {

// The window is laid out in twips, 1440 to the inch: 15 twips make one pixel at 96 dpi. Both
// windows turn twips into such pixels first and scale those by the screen's own factor, so a
// screen with a larger scale factor scales the whole window alike.
inline constexpr int kTwipsPerPixel = 15;

// For non-negative lengths; rounds to the nearest pixel.
constexpr int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

}  // namespace trawlbox::app

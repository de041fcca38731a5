#pragma once

namespace trawlbox::app {

// The font both windows draw the grid (and the Qt window its controls) in, by its Japanese name,
// at the size the layout's captions were measured in; where a system lacks it, each window maps
// it to a metric-compatible face of its own.
inline constexpr const char* kGridFontFamily = "ＭＳ Ｐゴシック";
inline constexpr int kGridFontPointSize = 9;

}  // namespace trawlbox::app

#pragma once

#include <QFont>

#include "app/grid_font.h"

namespace trawlbox::app::qt {

// The grid's font is the Qt window's for every control; InstallFontSubstitutions makes it resolve
// to its metric-compatible free counterpart.
inline constexpr const char* kSubstituteFontFamily = "IPAPGothic";

// Maps kGridFontFamily to kSubstituteFontFamily for the application. Call once after the
// QApplication exists and before the window is built.
void InstallFontSubstitutions();

// kGridFontFamily at kGridFontPointSize: the captions fit the controls' fixed sizes in it.
[[nodiscard]] QFont ProgramFont();

}  // namespace trawlbox::app::qt

#pragma once

#include <QFont>

namespace trawlbox::app::qt {

// The font the window and the grid ask for, by its Japanese name; InstallFontSubstitutions makes
// it resolve to its metric-compatible free counterpart.
inline constexpr const char* kProgramFontFamily = "ＭＳ Ｐゴシック";
inline constexpr const char* kSubstituteFontFamily = "IPAPGothic";
inline constexpr int kProgramFontPointSize = 9;

// Maps kProgramFontFamily to kSubstituteFontFamily for the application. Call once after the
// QApplication exists and before the window is built.
void InstallFontSubstitutions();

// kProgramFontFamily at kProgramFontPointSize: the captions fit the controls' fixed sizes in it.
[[nodiscard]] QFont ProgramFont();

}  // namespace trawlbox::app::qt

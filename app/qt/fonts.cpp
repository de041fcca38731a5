#include "app/qt/fonts.h"

#include <QString>

namespace trawlbox::app::qt {

void InstallFontSubstitutions() {
  QFont::insertSubstitution(QString::fromUtf8(kGridFontFamily),
                            QString::fromUtf8(kSubstituteFontFamily));
}

QFont ProgramFont() { return QFont(QString::fromUtf8(kGridFontFamily), kGridFontPointSize); }

}  // namespace trawlbox::app::qt

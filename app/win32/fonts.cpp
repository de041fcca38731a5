#include "app/win32/fonts.h"

#include <array>
#include <cwchar>
#include <string>

#include "app/grid_font.h"
#include "platform/files/wide_text.h"

namespace trawlbox::app::win32 {

namespace {

int CALLBACK NoteFound(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                       LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool HasFamily(const wchar_t* family) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, family, LF_FACESIZE - 1);
  bool found = false;
  const ClientDc screen(nullptr);
  EnumFontFamiliesExW(screen.Get(), &wanted, &NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace

UniqueFont MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi)) {
    return UniqueFont(nullptr);
  }
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

UniqueFont GridFont(UINT dpi) {
  const std::wstring grid_family = platform::Widen(kGridFontFamily);
  const std::array<const wchar_t*, 3> families = {grid_family.c_str(), L"Yu Gothic UI",
                                                  L"Meiryo UI"};
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kGridFontPointSize, static_cast<int>(dpi), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  const wchar_t* family = families.front();
  for (const wchar_t* candidate : families) {
    if (HasFamily(candidate)) {
      family = candidate;
      break;
    }
  }
  wcsncpy(font.lfFaceName, family, LF_FACESIZE - 1);
  return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace trawlbox::app::win32

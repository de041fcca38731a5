#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

struct IAccPropServices;

namespace trawlbox::app::win32 {

// Names controls that have no caption of their own to screen readers and other assistive tools,
// by oleacc's dynamic annotation: the name a client reads through the control's standard
// accessible object. Needs the thread's COM apartment; a system without the service keeps the
// controls' own names.
class AccessibleNames {
 public:
  AccessibleNames();
  // Clear() must have run before the named controls are destroyed.
  ~AccessibleNames();
  AccessibleNames(const AccessibleNames&) = delete;
  AccessibleNames& operator=(const AccessibleNames&) = delete;

  // False when the name could not be given.
  bool Name(HWND control, std::string_view utf8);
  // Takes every name given back, while the controls still exist.
  void Clear();

 private:
  IAccPropServices* services_ = nullptr;
  std::vector<HWND> named_;
};

}  // namespace trawlbox::app::win32

#include "app/win32/accessible_names.h"

// With initguid.h first, oleacc.h defines here the ids it declares: taking them from the import
// libraries instead would bring in two of their definitions of IID_IAccessible.
#include <initguid.h>
#include <oleacc.h>

#include <string>

#include "platform/files/wide_text.h"

namespace trawlbox::app::win32 {

AccessibleNames::AccessibleNames() {
  void* services = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_IAccPropServices, &services))) {
    services_ = static_cast<IAccPropServices*>(services);
  }
}

AccessibleNames::~AccessibleNames() {
  Clear();
  if (services_ != nullptr) services_->Release();
}

bool AccessibleNames::Name(HWND control, std::string_view utf8) {
  if (services_ == nullptr || control == nullptr) return false;
  const std::wstring name = platform::Widen(utf8);
  if (FAILED(services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       PROPID_ACC_NAME, name.c_str()))) {
    return false;
  }
  named_.push_back(control);
  return true;
}

void AccessibleNames::Clear() {
  MSAAPROPID name = PROPID_ACC_NAME;
  for (HWND control : named_) {
    services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
  }
  named_.clear();
}

}  // namespace trawlbox::app::win32

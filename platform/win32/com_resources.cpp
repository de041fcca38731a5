#include "platform/win32/com_resources.h"

#include <windows.h>

#include <objbase.h>

namespace trawlbox::platform {

ComApartment::ComApartment()
    : initialised_(
          SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComApartment::~ComApartment() {
  if (initialised_) CoUninitialize();
}

void CoTaskMemFreer::operator()(void* memory) const { CoTaskMemFree(memory); }

}  // namespace trawlbox::platform

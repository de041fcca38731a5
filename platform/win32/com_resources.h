#pragma once

#include <memory>

namespace trawlbox::platform {

// Joins the calling thread to a single-threaded COM apartment, as the shell's dialogs and
// handlers need, for the object's life; a thread already in one stays in it, and one in a
// multithreaded apartment is left there (the shell then does what it can without).
class ComApartment {
 public:
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  // Every successful CoInitializeEx, the one that found COM already started included, is
  // balanced by one CoUninitialize.
  bool initialised_;
};

// Frees memory that COM or the shell allocated for the caller (paths, item lists).
struct CoTaskMemFreer {
  void operator()(void* memory) const;
};
template <typename T>
using CoTaskMemory = std::unique_ptr<T, CoTaskMemFreer>;

}  // namespace trawlbox::platform

#pragma once

#include <windows.h>

#include <wincrypt.h>
#include <winhttp.h>

#include <memory>
#include <string>

namespace trawlbox::platform {

// Trust in the certificate authorities of one PEM file instead of Windows' store, for tests that
// run their own TLS server. A request that uses it lets WinHTTP accept an unknown root (the name
// and the dates stay checked by WinHTTP) and asks Accepts before anything is sent.
class CaFileTrust {
 public:
  // Reads every certificate of the PEM file at `path` (UTF-8). A file that cannot be read, or
  // holds no certificate, trusts nothing: every https request that uses it fails.
  explicit CaFileTrust(const std::string& path);
  ~CaFileTrust();
  CaFileTrust(const CaFileTrust&) = delete;
  CaFileTrust& operator=(const CaFileTrust&) = delete;

  // Whether the server `request` is connected to shows a chain that ends at one of the file's
  // certificates and names the host the request is sent to; a request on plain http passes.
  // False whenever the certificate shown cannot be judged. Safe on any thread (WinHTTP's
  // callbacks), once the request is about to be sent.
  [[nodiscard]] bool Accepts(HINTERNET request) const;

 private:
  struct StoreCloser {
    void operator()(void* store) const;
  };
  struct EngineFreer {
    void operator()(void* engine) const;
  };

  std::unique_ptr<void, StoreCloser> roots_;
  std::unique_ptr<void, EngineFreer> engine_;
};

}  // namespace trawlbox::platform

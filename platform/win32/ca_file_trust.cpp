#include "platform/win32/ca_file_trust.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

#include "platform/win32/wide_text.h"

namespace trawlbox::platform {

namespace {

constexpr std::string_view kPemEnd = "-----END CERTIFICATE-----";

struct CertificateFreer {
  void operator()(const CERT_CONTEXT* certificate) const {
    CertFreeCertificateContext(certificate);
  }
};
struct ChainFreer {
  void operator()(const CERT_CHAIN_CONTEXT* chain) const { CertFreeCertificateChain(chain); }
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(std::filesystem::path(Widen(path)), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Adds every certificate of `pem` to `store`; false when there was none.
bool AddPemCertificates(std::string_view pem, HCERTSTORE store) {
  bool added = false;
  for (std::size_t end = pem.find(kPemEnd); end != std::string_view::npos;
       end = pem.find(kPemEnd)) {
    const std::string_view block = pem.substr(0, end + kPemEnd.size());
    pem.remove_prefix(block.size());
    DWORD size = 0;
    const auto block_size = static_cast<DWORD>(block.size());
    if (!CryptStringToBinaryA(block.data(), block_size, CRYPT_STRING_BASE64HEADER, nullptr, &size,
                              nullptr, nullptr)) {
      continue;
    }
    std::vector<BYTE> der(size);
    if (CryptStringToBinaryA(block.data(), block_size, CRYPT_STRING_BASE64HEADER, der.data(), &size,
                             nullptr, nullptr) &&
        CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                         CERT_STORE_ADD_REPLACE_EXISTING, nullptr)) {
      added = true;
    }
  }
  return added;
}

// The scheme and host of the URL `request` is at now, after any redirect.
bool CurrentUrl(HINTERNET request, bool& secure, std::wstring& host) {
  DWORD size = 0;
  WinHttpQueryOption(request, WINHTTP_OPTION_URL, nullptr, &size);
  if (size == 0) return false;
  std::wstring url(size / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryOption(request, WINHTTP_OPTION_URL, url.data(), &size)) return false;
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return false;
  secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  host.assign(parts.lpszHostName, parts.dwHostNameLength);
  return true;
}

}  // namespace

void CaFileTrust::StoreCloser::operator()(void* store) const { CertCloseStore(store, 0); }

void CaFileTrust::EngineFreer::operator()(void* engine) const {
  CertFreeCertificateChainEngine(static_cast<HCERTCHAINENGINE>(engine));
}

CaFileTrust::CaFileTrust(const std::string& path)
    : roots_(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr)) {
  if (!roots_ || !AddPemCertificates(ReadFile(path), roots_.get())) return;
  CERT_CHAIN_ENGINE_CONFIG config{};
  config.cbSize = sizeof(config);
  // The file's certificates are the only roots: Windows' own store plays no part.
  config.hExclusiveRoot = roots_.get();
  HCERTCHAINENGINE engine = nullptr;
  if (CertCreateCertificateChainEngine(&config, &engine)) engine_.reset(engine);
}

CaFileTrust::~CaFileTrust() = default;

bool CaFileTrust::Accepts(HINTERNET request) const {
  bool secure = false;
  std::wstring host;
  if (!CurrentUrl(request, secure, host)) return false;
  if (!secure) return true;
  if (!engine_) return false;

  const CERT_CONTEXT* server = nullptr;
  DWORD size = sizeof(server);
  if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &server, &size) ||
      server == nullptr) {
    return false;
  }
  const std::unique_ptr<const CERT_CONTEXT, CertificateFreer> certificate(server);

  CERT_CHAIN_PARA chain_para{};
  chain_para.cbSize = sizeof(chain_para);
  const CERT_CHAIN_CONTEXT* built = nullptr;
  if (!CertGetCertificateChain(static_cast<HCERTCHAINENGINE>(engine_.get()), certificate.get(),
                               nullptr, certificate->hCertStore, &chain_para, 0, nullptr, &built)) {
    return false;
  }
  const std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFreer> chain(built);

  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof(ssl);
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.pwszServerName = host.data();
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof(policy);
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof(status);
  return CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status) &&
         status.dwError == 0;
}

}  // namespace trawlbox::platform

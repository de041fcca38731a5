#include "platform/win32/ca_file_trust.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/files/wide_text.h"

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

// The host the request goes to now, after any redirect, as its Host header names it less the
// port (Wine's WinHTTP cannot tell a request's URL).
std::optional<std::wstring> RequestHost(HINTERNET request) {
  DWORD size = 0;
  constexpr DWORD kHostHeader = WINHTTP_QUERY_HOST | WINHTTP_QUERY_FLAG_REQUEST_HEADERS;
  WinHttpQueryHeaders(request, kHostHeader, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                      &size, WINHTTP_NO_HEADER_INDEX);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
  std::wstring host(size / sizeof(wchar_t), L'\0');
  if (!WinHttpQueryHeaders(request, kHostHeader, WINHTTP_HEADER_NAME_BY_INDEX, host.data(), &size,
                           WINHTTP_NO_HEADER_INDEX)) {
    return std::nullopt;
  }
  host.resize(size / sizeof(wchar_t));
  if (host.starts_with(L'[')) return host.substr(1, host.find(L']') - 1);
  return host.substr(0, host.rfind(L':'));
}

// Whether the certificate `chain` ends at is one of `roots`.
bool IsRootedIn(const CERT_CHAIN_CONTEXT& chain, HCERTSTORE roots) {
  if (chain.cChain == 0 || chain.rgpChain[0]->cElement == 0) return false;
  const CERT_SIMPLE_CHAIN& simple = *chain.rgpChain[0];
  const CERT_CONTEXT* root = simple.rgpElement[simple.cElement - 1]->pCertContext;
  const std::unique_ptr<const CERT_CONTEXT, CertificateFreer> found(
      CertFindCertificateInStore(roots, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, root, nullptr));
  return found != nullptr;
}

}  // namespace

void CaFileTrust::StoreCloser::operator()(void* store) const { CertCloseStore(store, 0); }

void CaFileTrust::EngineFreer::operator()(void* engine) const {
  CertFreeCertificateChainEngine(static_cast<HCERTCHAINENGINE>(engine));
}

CaFileTrust::CaFileTrust(const std::string& path)
    : roots_(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr)) {
  if (!roots_ || !AddPemCertificates(ReadFile(path), roots_.get())) return;
  // The file's certificates complete the chain; Accepts then insists that they root it. (An
  // exclusive root would say so at once, but Wine's chain engine refuses that configuration, so
  // the configuration is the one every Windows knows.)
  CERT_CHAIN_ENGINE_CONFIG config{};
  config.cbSize = offsetof(CERT_CHAIN_ENGINE_CONFIG, hExclusiveRoot);
  HCERTSTORE additional = roots_.get();
  config.cAdditionalStore = 1;
  config.rghAdditionalStore = &additional;
  HCERTCHAINENGINE engine = nullptr;
  if (CertCreateCertificateChainEngine(&config, &engine)) engine_.reset(engine);
}

CaFileTrust::~CaFileTrust() = default;

bool CaFileTrust::Accepts(HINTERNET request) const {
  // The request goes out once the TLS handshake is over, so only plain http has no certificate
  // to show here.
  const CERT_CONTEXT* server = nullptr;
  DWORD size = sizeof(server);
  if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &server, &size) ||
      server == nullptr) {
    return true;
  }
  const std::unique_ptr<const CERT_CONTEXT, CertificateFreer> certificate(server);
  std::optional<std::wstring> host = RequestHost(request);
  if (!engine_ || !host) return false;

  CERT_CHAIN_PARA chain_para{};
  chain_para.cbSize = sizeof(chain_para);
  const CERT_CHAIN_CONTEXT* built = nullptr;
  if (!CertGetCertificateChain(static_cast<HCERTCHAINENGINE>(engine_.get()), certificate.get(),
                               nullptr, certificate->hCertStore, &chain_para, 0, nullptr, &built)) {
    return false;
  }
  const std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFreer> chain(built);

  if (!IsRootedIn(*chain, roots_.get())) return false;

  // The root is one of the file's, which Windows does not know: everything else is checked.
  SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
  ssl.cbSize = sizeof(ssl);
  ssl.dwAuthType = AUTHTYPE_SERVER;
  ssl.fdwChecks = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
  ssl.pwszServerName = host->data();
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof(policy);
  policy.pvExtraPolicyPara = &ssl;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof(status);
  return CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status) &&
         status.dwError == 0;
}

}  // namespace trawlbox::platform

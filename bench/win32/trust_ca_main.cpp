// Adds the certificate authorities of a PEM file to the current user's Root store, or takes them
// out again, so that WinHTTP's floor checks the benchmark's TLS site as Windows checks any site:
// against the system's store, once a connection. Under Wine a root added so is trusted from the
// next process on. Meant for the benchmark's own Wine prefix only (Windows itself asks the user
// before it adds a root).
//
//   trawlbox_bench_trust_ca add|remove PEM_FILE

#include <windows.h>

#include <wincrypt.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kPemEnd = "-----END CERTIFICATE-----";

// The DER bytes of every certificate of `pem`.
std::vector<std::vector<BYTE>> Certificates(std::string_view pem) {
  std::vector<std::vector<BYTE>> certificates;
  for (std::size_t end = pem.find(kPemEnd); end != std::string_view::npos;
       end = pem.find(kPemEnd)) {
    const std::string_view block = pem.substr(0, end + kPemEnd.size());
    pem.remove_prefix(block.size());
    const auto block_size = static_cast<DWORD>(block.size());
    DWORD size = 0;
    if (!CryptStringToBinaryA(block.data(), block_size, CRYPT_STRING_BASE64HEADER, nullptr, &size,
                              nullptr, nullptr)) {
      continue;
    }
    std::vector<BYTE> der(size);
    if (CryptStringToBinaryA(block.data(), block_size, CRYPT_STRING_BASE64HEADER, der.data(), &size,
                             nullptr, nullptr)) {
      der.resize(size);
      certificates.push_back(std::move(der));
    }
  }
  return certificates;
}

bool Add(HCERTSTORE store, std::vector<BYTE>& der) {
  return CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(),
                                          static_cast<DWORD>(der.size()),
                                          CERT_STORE_ADD_REPLACE_EXISTING, nullptr) != FALSE;
}

// Takes the certificate out of `store`; true when it was not there.
bool Remove(HCERTSTORE store, std::vector<BYTE>& der) {
  const CERT_CONTEXT* certificate =
      CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()));
  if (certificate == nullptr) return false;
  const CERT_CONTEXT* found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0,
                                                         CERT_FIND_EXISTING, certificate, nullptr);
  CertFreeCertificateContext(certificate);
  // Deleting frees the context it is given.
  return found == nullptr || CertDeleteCertificateFromStore(found) != FALSE;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  const std::wstring mode = argc == 3 ? argv[1] : L"";
  if (mode != L"add" && mode != L"remove") {
    std::fputs("usage: trawlbox_bench_trust_ca add|remove PEM_FILE\n", stderr);
    return 2;
  }
  std::ifstream file{std::filesystem::path(argv[2]), std::ios::binary};
  const std::string pem{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::vector<std::vector<BYTE>> certificates = Certificates(pem);
  // The registry's store itself, not the system store that gathers it with others: under Wine a
  // deletion through the gathering one reports success and leaves the registry as it was.
  HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                   CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
  bool done = store != nullptr && !certificates.empty();
  for (std::vector<BYTE>& der : certificates) {
    done = done && (mode == L"add" ? Add(store, der) : Remove(store, der));
  }
  if (store != nullptr) CertCloseStore(store, 0);
  if (!done) std::fputs("trawlbox_bench_trust_ca: cannot change the Root store\n", stderr);
  return done ? 0 : 1;
}

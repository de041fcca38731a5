#!/usr/bin/env bash
# Makes the certificates of the test server's https modes, valid for a hundred years: a test
# certificate authority, a certificate for 127.0.0.1 and localhost that it signs, one it signs for
# another host name only, and a self-signed certificate for 127.0.0.1 and localhost that no
# authority vouches for. Windows checks names strictly, so each names localhost as well as the
# address. Run it here only to replace them.
set -euo pipefail
cd "$(dirname "$0")"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
days=36500
key() { openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:prime256v1 -out "$1"; }

key "$scratch/ca.key"
openssl req -x509 -new -key "$scratch/ca.key" -days "$days" -subj "/CN=Trawlbox Test CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
  -out test_ca.pem

key signed.key
openssl req -new -key signed.key -subj "/CN=127.0.0.1" -out "$scratch/signed.csr"
printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nextendedKeyUsage=serverAuth\n' >"$scratch/signed.ext"
openssl x509 -req -in "$scratch/signed.csr" -CA test_ca.pem -CAkey "$scratch/ca.key" \
  -CAserial "$scratch/ca.srl" -CAcreateserial -days "$days" -extfile "$scratch/signed.ext" -out signed.pem

key other_name.key
openssl req -new -key other_name.key -subj "/CN=other.invalid" -out "$scratch/other_name.csr"
printf 'subjectAltName=DNS:other.invalid\nextendedKeyUsage=serverAuth\n' >"$scratch/other_name.ext"
openssl x509 -req -in "$scratch/other_name.csr" -CA test_ca.pem -CAkey "$scratch/ca.key" \
  -CAserial "$scratch/ca.srl" -days "$days" -extfile "$scratch/other_name.ext" -out other_name.pem

key self_signed.key
openssl req -x509 -new -key self_signed.key -days "$days" -subj "/CN=127.0.0.1" \
  -addext "subjectAltName=IP:127.0.0.1,DNS:localhost" -out self_signed.pem

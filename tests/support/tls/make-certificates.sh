#!/usr/bin/env bash
# Makes the certificates of the test server's https modes, valid for a hundred years: a test
# certificate authority, a certificate for 127.0.0.1 that it signs, and a self-signed certificate
# for 127.0.0.1 that no authority vouches for. Run it here only to replace them.
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
printf 'subjectAltName=IP:127.0.0.1\nextendedKeyUsage=serverAuth\n' >"$scratch/signed.ext"
openssl x509 -req -in "$scratch/signed.csr" -CA test_ca.pem -CAkey "$scratch/ca.key" \
  -CAserial "$scratch/ca.srl" -CAcreateserial -days "$days" -extfile "$scratch/signed.ext" -out signed.pem

key self_signed.key
openssl req -x509 -new -key self_signed.key -days "$days" -subj "/CN=127.0.0.1" \
  -addext "subjectAltName=IP:127.0.0.1" -out self_signed.pem

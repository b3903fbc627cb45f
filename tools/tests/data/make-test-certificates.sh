#!/bin/sh
# Makes the test certificate authority and the demo publisher's test
# certificate (for 127.0.0.1 and localhost) that the HTTPS tests use.  Valid
# for a hundred years; run again only to replace them.
set -eu
cd "$(dirname "$0")"
openssl req -x509 -newkey rsa:2048 -nodes -days 36500 -subj "/O=Tellurio Test/CN=Tellurio Test-CA" \
  -keyout test-ca.key -out test-ca.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/O=Tellurio Test/CN=127.0.0.1" \
  -keyout server.key -out server.csr 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' > server.ext
openssl x509 -req -in server.csr -CA test-ca.pem -CAkey test-ca.key -CAcreateserial -days 36500 \
  -extfile server.ext -out server.pem 2>/dev/null
rm -f server.csr server.ext test-ca.srl test-ca.key

#!/usr/bin/env bash
# make_certs.sh DIR HOST: a throw-away certificate authority (DIR/ca.pem) and
# a server certificate for HOST signed by it (DIR/server.pem, DIR/server.key).
set -euo pipefail
dir=$1
host=$2
cd "$dir"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=finder test CA" \
  -keyout ca.key -out ca.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=$host" \
  -keyout server.key -out server.csr 2>/dev/null
printf 'subjectAltName=DNS:%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' \
  "$host" >server.ext
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial \
  -days 2 -extfile server.ext -out server.pem 2>/dev/null

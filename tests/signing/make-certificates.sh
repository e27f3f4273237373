#!/bin/sh
# Makes throwaway certificates in FOLDER (in the build tree; they are never
# committed): the publisher's, a self-signed code-signing certificate that
# is also the trust anchor its signatures are verified against
# (publisher.pfx, publisher.pem), and the bad ones the release script must
# refuse: one for web servers (server.pfx) and one that has expired
# (expired.pfx). All .pfx files open with the first line of `password`;
# `wrong-password` opens none.
set -eu
folder=$1
mkdir -p "$folder"
cd "$folder"
rm -rf ca && mkdir ca && : >ca/index
cat >openssl.cnf <<'EOF'
[req]
distinguished_name = name
prompt = no
[name]
CN = Throwaway Publisher
[code_signing]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
[web_server]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
[ca]
default_ca = throwaway
[throwaway]
database = ca/index
new_certs_dir = ca
rand_serial = yes
default_md = sha256
policy = any_name
unique_subject = no
[any_name]
commonName = supplied
EOF
echo "throwaway password" >password
echo "not the password" >wrong-password

# A self-signed certificate of the kind `extensions` names, valid for ten years
# or for the two dates given, in NAME.pfx.
make() {
  name=$1 extensions=$2
  shift 2
  openssl req -new -newkey rsa:2048 -nodes -keyout "$name.key" -out "$name.csr" \
    -config openssl.cnf -subj "/CN=Throwaway $name" 2>/dev/null
  if [ $# -eq 2 ]; then
    openssl ca -batch -config openssl.cnf -selfsign -keyfile "$name.key" -in "$name.csr" \
      -out "$name.pem" -startdate "$1" -enddate "$2" -extensions "$extensions" -notext 2>/dev/null
  else
    openssl x509 -req -in "$name.csr" -signkey "$name.key" -days 3650 -out "$name.pem" \
      -extfile openssl.cnf -extensions "$extensions" 2>/dev/null
  fi
  openssl pkcs12 -export -inkey "$name.key" -in "$name.pem" -out "$name.pfx" -passout file:password
  rm "$name.key" "$name.csr"
}
make publisher code_signing
make server web_server
make expired code_signing 20200101000000Z 20210101000000Z
echo "throwaway certificates in $folder"

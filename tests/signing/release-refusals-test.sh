#!/usr/bin/env bash
# scripts/release.sh --sign with bad input, one row each: it must fail with
# a clear error, before it builds anything, and leave build/release as it
# was. CERTIFICATES is the build's folder of throwaway certificates
# (make-certificates.sh).
set -euo pipefail
certificates=$1
source=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A path that exists but cannot be read as a file, whoever runs the test.
mkdir "$scratch/folder.pfx"

# name | certificate | password: a file in CERTIFICATES, "env:" and a file
# whose first line goes into AUTORUN_SIGN_PASSWORD, or "none" | the error
rows=(
  "missing-certificate|$scratch/missing.pfx|password|cannot read the certificate file"
  "unreadable-certificate|$scratch/folder.pfx|password|cannot read the certificate file"
  "not-a-certificate|$certificates/publisher.pem|password|does not open as a PKCS#12"
  "wrong-password|$certificates/publisher.pfx|wrong-password|wrong password for"
  "wrong-password-from-environment|$certificates/publisher.pfx|env:wrong-password|wrong password for"
  "no-password|$certificates/publisher.pfx|none|no password for"
  "not-for-code-signing|$certificates/server.pfx|password|is not for code signing"
  "expired|$certificates/expired.pfx|password|expired on"
)

state() { ls -l --time-style=full-iso "$source/build/release" "$source/build/release.next" 2>&1 || true; }
failures=0
for row in "${rows[@]}"; do
  IFS='|' read -r name cert password expected <<<"$row"
  arguments=(--sign "$cert")
  environment=(-u AUTORUN_SIGN_PASSWORD)
  case "$password" in
    none) ;;
    env:*) environment=("AUTORUN_SIGN_PASSWORD=$(head -n 1 "$certificates/${password#env:}")") ;;
    *) arguments+=(--password-file "$certificates/$password") ;;
  esac
  before=$(state)
  status=0
  env "${environment[@]}" "$source/scripts/release.sh" "${arguments[@]}" >"$scratch/out" 2>&1 ||
    status=$?
  problems=""
  [ "$status" -ne 0 ] || problems+=" it succeeded;"
  grep -qF "$expected" "$scratch/out" || problems+=" no \"$expected\";"
  grep -q "nothing was built or written" "$scratch/out" || problems+=" it went on;"
  [ "$(state)" = "$before" ] || problems+=" build/release changed;"
  if [ -n "$problems" ]; then
    echo "FAIL $name:$problems"
    sed 's/^/    /' "$scratch/out"
    failures=$((failures + 1))
  else
    echo "ok   $name: $(grep -F "$expected" "$scratch/out")"
  fi
done
[ "$failures" -eq 0 ] && echo "every bad input was refused"
exit $((failures > 0))

#!/usr/bin/env bash
# scripts/release.sh --sign, one row each. With bad input it must fail with
# a clear error, before it builds anything, and leave build/release as it
# was. With good input, into a folder of the row's (--output), it must sign
# and still leave build/release as it was, and the password must reach no
# program it starts: stand-ins for openssl, osslsigncode and cmake record
# their environment before they run the real tool. CERTIFICATES is the
# build's folder of throwaway certificates (make-certificates.sh).
set -euo pipefail
certificates=$1
source=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A path that exists but cannot be read as a file, whoever runs the test.
mkdir "$scratch/folder.pfx"
mkdir "$scratch/bin" "$scratch/environments"
for tool in openssl osslsigncode cmake; do
  real=$(command -v "$tool")
  printf '#!/bin/sh
env >"$(mktemp -p %s %s.XXXXXX)"
exec %s "$@"
' \
    "$scratch/environments" "$tool" "$real" >"$scratch/bin/$tool"
  chmod +x "$scratch/bin/$tool"
done

# name | certificate | password: a file in CERTIFICATES, "env:" and a file
# whose first line goes into AUTORUN_SIGN_PASSWORD, or "none" | the error,
# or "signed"
rows=(
  "password-from-environment-reaches-no-tool|$certificates/publisher.pfx|env:password|signed"
  "password-from-file-reaches-no-tool|$certificates/publisher.pfx|password|signed"
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
  [ "$expected" = signed ] && arguments+=(--output "$scratch/release-$name")
  before=$(state)
  status=0
  env "${environment[@]}" PATH="$scratch/bin:$PATH" "$source/scripts/release.sh" \
    "${arguments[@]}" >"$scratch/out" 2>&1 || status=$?
  problems=""
  if [ "$expected" = signed ]; then
    [ "$status" -eq 0 ] || problems+=" it failed;"
    ls "$scratch/release-$name"/autorun-*-win32-signed.zip >/dev/null 2>&1 ||
      problems+=" no signed archive;"
    tools=$(ls "$scratch/environments" | sed 's/\..*//' | sort -u | tr '\n' ' ')
    [ "$tools" = "cmake openssl osslsigncode " ] || problems+=" tools recorded: $tools;"
    leaked=$(grep -lF -e "$(head -n 1 "$certificates/password")" -e AUTORUN_SIGN_PASSWORD \
      "$scratch/environments"/* || true)
    [ -z "$leaked" ] || problems+=" the password reached${leaked//$scratch\/environments\// };"
    rm -f "$scratch/environments"/*
    expected="signed build/win32/bin/autorun.exe"
  else
    [ "$status" -ne 0 ] || problems+=" it succeeded;"
    grep -q "nothing was built or written" "$scratch/out" || problems+=" it went on;"
  fi
  grep -qF "$expected" "$scratch/out" || problems+=" no \"$expected\";"
  [ "$(state)" = "$before" ] || problems+=" build/release changed;"
  if [ -n "$problems" ]; then
    echo "FAIL $name:$problems"
    sed 's/^/    /' "$scratch/out"
    failures=$((failures + 1))
  else
    echo "ok   $name: $(grep -F "$expected" "$scratch/out")"
  fi
done
[ "$failures" -eq 0 ] && echo "every bad input was refused, and good input signed"
exit $((failures > 0))

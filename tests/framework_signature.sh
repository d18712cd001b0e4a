#!/usr/bin/env bash
# A message map entry whose handler has the wrong signature must be a compile error, and
# the same map with the right signature must compile (so the failure is the signature's).
# Usage: framework_signature.sh COMPILER SOURCE FRAMEWORK_DIR
set -uo pipefail
cxx=$1 source=$2 framework=$3
flags=(-std=c++17 -fsyntax-only -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I "$framework")

"$cxx" "${flags[@]}" "$source" || { echo "FAIL: the right signature does not compile"; exit 1; }
if errors=$("$cxx" "${flags[@]}" -DMAUVAISE_SIGNATURE "$source" 2>&1); then
  echo "FAIL: a handler of the wrong signature compiled"; exit 1
fi
grep -q "OnKeyDown" <<<"$errors" || { echo "FAIL: the error is not about the handler:"; echo "$errors"; exit 1; }
echo "wrong signature rejected"

#!/usr/bin/env bash
# A message map entry whose handler has the wrong signature must not compile; the same map
# with the right one must (so the failure is the signature's).
# Usage: framework_signature.sh COMPILER SOURCE FRAMEWORK_DIR
set -uo pipefail
flags=(-std=c++17 -fsyntax-only -DWIN32_LEAN_AND_MEAN -DNOMINMAX -I "$3")
"$1" "${flags[@]}" "$2" || { echo "FAIL: the right signature does not compile"; exit 1; }
errors=$("$1" "${flags[@]}" -DMAUVAISE_SIGNATURE "$2" 2>&1) && { echo "FAIL: a wrong signature compiled"; exit 1; }
grep -q OnKeyDown <<<"$errors" || { echo "FAIL: the error is not about the handler:"; echo "$errors"; exit 1; }
echo "wrong signature rejected"

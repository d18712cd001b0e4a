#!/bin/sh
# The README's commands: a fresh Debian has no make (nor, in a container, sudo). Installs
# make when missing, as root or through sudo, then runs it: sh tools/make.sh run|test|docs
set -e
cd "$(dirname "$0")/.."
if ! command -v make >/dev/null 2>&1; then
  if [ "$(id -u)" = 0 ]; then
    sudo=
  elif command -v sudo >/dev/null 2>&1; then
    sudo=sudo
  else
    echo "make is missing: run this as root, or install sudo" >&2
    exit 1
  fi
  echo "Installing make..."
  $sudo apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends make
fi
exec make "$@"
